#include "gui/dialogs/pixmapexportdialog.h"

#include "ui_pixmapexportdialog.h"

namespace gui {

PixmapExportDialog::PixmapExportDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::PixmapExportDialog>())
{
    ui->setupUi(this);
}

PixmapExportDialog::~PixmapExportDialog() = default;

int PixmapExportDialog::pixmapWidth() const
{
    return ui->sbWidth->value();
}

int PixmapExportDialog::pixmapHeight() const
{
    return ui->sbHeight->value();
}

int PixmapExportDialog::quality() const
{
    return ui->sliderQuality->value();
}

} // namespace gui
