#include "gui/dialogs/skytextures.h"

#include "ui_skytextures.h"

#include "ecosystem/render/ecosystemrender.h"
#include "gui/dialogservice.h"

namespace gui {

SkyTextures::SkyTextures(QWidget *parent, ecosystem::render::EcosystemRender *renderModel)
    : QDialog(parent), ui(std::make_unique<Ui::SkyTextures>()), model(renderModel)
{
    ui->setupUi(this);
    QString north, south, east, west, up, down;
    model->getSkyTextureFileNames(north, south, east, west, up, down);
    ui->north->setText(north);
    ui->south->setText(south);
    ui->east->setText(east);
    ui->west->setText(west);
    ui->up->setText(up);
    ui->down->setText(down);
    connect(ui->pbNorth, &QPushButton::clicked, this, &SkyTextures::pbNorthClicked);
    connect(ui->pbSouth, &QPushButton::clicked, this, &SkyTextures::pbSouthClicked);
    connect(ui->pbEast, &QPushButton::clicked, this, &SkyTextures::pbEastClicked);
    connect(ui->pbWest, &QPushButton::clicked, this, &SkyTextures::pbWestClicked);
    connect(ui->pbUp, &QPushButton::clicked, this, &SkyTextures::pbUpClicked);
    connect(ui->pbDown, &QPushButton::clicked, this, &SkyTextures::pbDownClicked);
}

SkyTextures::~SkyTextures() = default;

std::array<QLineEdit *, 6> SkyTextures::fileEdits() const
{
    return {ui->north, ui->south, ui->east, ui->west, ui->up, ui->down};
}

void SkyTextures::chooseFile(QLineEdit *edit)
{
    const QString file = dialogServiceFor(this).getOpenFileName(
        this, tr("Choose a file to open"), edit->text(), tr("Images (*.png *.xpm *.jpg *.bmp)"));
    if (!file.isEmpty())
        edit->setText(file);
}

void SkyTextures::pbNorthClicked()
{
    chooseFile(ui->north);
}

void SkyTextures::pbSouthClicked()
{
    chooseFile(ui->south);
}

void SkyTextures::pbEastClicked()
{
    chooseFile(ui->east);
}

void SkyTextures::pbWestClicked()
{
    chooseFile(ui->west);
}

void SkyTextures::pbUpClicked()
{
    chooseFile(ui->up);
}

void SkyTextures::pbDownClicked()
{
    chooseFile(ui->down);
}

void SkyTextures::accept()
{
    model->reloadSkyTextures(ui->north->text(), ui->south->text(), ui->east->text(), ui->west->text(),
                             ui->up->text(), ui->down->text());
    QDialog::accept();
}

void SkyTextures::reject()
{
    QDialog::reject();
}

} // namespace gui
