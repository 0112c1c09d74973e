#pragma once

#include <QDialog>

#include <array>
#include <memory>

class QLineEdit;

namespace Ui {
class SkyTextures;
}

namespace ecosystem::render {
class EcosystemRender;
}

namespace gui {

// The six sky box images (north, south, east, west, up, down). OK hands them to the model, which
// uploads them and repaints; Cancel changes nothing.
class SkyTextures : public QDialog {
    Q_OBJECT

public:
    SkyTextures(QWidget *parent, ecosystem::render::EcosystemRender *model);
    ~SkyTextures() override;

    // The line edits in the model's order: north, south, east, west, up, down.
    std::array<QLineEdit *, 6> fileEdits() const;

public slots:
    void pbNorthClicked();
    void pbSouthClicked();
    void pbEastClicked();
    void pbWestClicked();
    void pbUpClicked();
    void pbDownClicked();
    void accept() override;
    void reject() override;

private:
    void chooseFile(QLineEdit *edit);

    std::unique_ptr<Ui::SkyTextures> ui;
    ecosystem::render::EcosystemRender *model;
};

} // namespace gui
