#pragma once

#include <QDialog>

#include <memory>

class QAbstractSlider;
class QLabel;
class QPushButton;

namespace Ui {
class NavigationPanel;
}

namespace gui {

// Camera position and angles by sliders, spin boxes and buttons; the navigation handler fills it and connects
// it to the camera.
class NavigationPanel : public QDialog {
    Q_OBJECT

public:
    explicit NavigationPanel(QWidget *parent = nullptr);
    ~NavigationPanel() override;

    // Position sliders (metres) and angle dials (degrees): Turn is the heading, Roll the look
    // pitch and Yow the roll of the fly camera.
    QAbstractSlider *x() const;
    QAbstractSlider *y() const;
    QAbstractSlider *z() const;
    QAbstractSlider *turn() const;
    QAbstractSlider *roll() const;
    QAbstractSlider *yow() const;
    QPushButton *travelForward() const;
    QPushButton *travelBackward() const;
    // Shows the camera's position in the coordinates of the terrain file.
    QLabel *demPosition() const;

private:
    std::unique_ptr<Ui::NavigationPanel> ui;
};

} // namespace gui
