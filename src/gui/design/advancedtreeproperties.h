#pragma once

#include "lignet/treeparameters.h"

#include <QDialog>

#include <memory>

class QSlider;

namespace Ui {
class AdvancedTreeProperties;
}

namespace gui {

// Edits the scalar properties of a live tree parameter set: every change is written into the set
// at once ("auto-proof" decides whether the view redraws), Apply commits the values, Cancel puts
// the last committed values back (all but the wind nonuniform speed).
class AdvancedTreeProperties : public QDialog {
    Q_OBJECT

public:
    AdvancedTreeProperties(QWidget *parent, lignet::TreeParameters *live);
    ~AdvancedTreeProperties() override;

    // Slider positions cover these ranges of the scaled properties (position 10000 is the top).
    static constexpr double TrunkHeightScale = 10.0;
    static constexpr double ThicknessScale = 0.05;
    static constexpr double GravicentralismScale = 1.0;
    static constexpr double LeafSizeScale = 0.3;
    static constexpr double WindSpeedScale = 10.0;

signals:
    void forceRefresh();
    // The dialog's edits were committed (Apply, OK, or Cancel keeping the wind nonuniform speed);
    // `before` is the live set with the scalars as they were before those edits.
    void parametersCommitted(const lignet::TreeParameters &before);

public slots:
    void makeUndo();
    void applyParameters();

    void on_editNumberOfStrands_valueChanged(int value);
    void on_editTrinkHeight_valueChanged(double value);
    void on_editBranchThicknessPerStrand_valueChanged(double value);
    void on_editGravicentralism_valueChanged(double value);
    void on_editPhyllotaxisAngle_valueChanged(double value);
    void on_editLeafType_currentIndexChanged(int index);
    void on_editLeafDensity_valueChanged(int value);
    void on_editLeafSize_valueChanged(double value);
    void on_editWindSpeed_valueChanged(double value);
    void on_editWindSpeedNodirect_valueChanged(double value);

    void on_sliderNumberOfStrands_valueChanged(int position);
    void on_sliderTrinkHeight_valueChanged(int position);
    void on_sliderBranchThicknessPerStrand_valueChanged(int position);
    void on_sliderGravicentralism_valueChanged(int position);
    void on_sliderPhyllotaxisAngle_valueChanged(int position);
    void on_sliderLeafDensity_valueChanged(int position);
    void on_sliderLeafSize_valueChanged(int position);
    void on_sliderWindSpeed_valueChanged(int position);
    void on_sliderWindSpeedNodirect_valueChanged(int position);

private:
    void loadWidgets();
    // Sets a scaled row's slider from its property value, truncated and kept within the slider.
    static void setScaledSlider(QSlider *slider, double value, double scale);
    // Every value slot ends here: the view redraws when "auto-proof" is checked.
    void edited();
    // Announces the edits since the last commit, if they changed anything.
    void commitEdits();

    std::unique_ptr<Ui::AdvancedTreeProperties> ui;
    lignet::TreeParameters *live;
    std::unique_ptr<lignet::TreeParameters> backup;
    // The scalars as they were at the last commit (or the opening), for the undo step.
    lignet::TreeParameters committed;
};

} // namespace gui
