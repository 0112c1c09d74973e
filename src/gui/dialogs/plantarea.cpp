#include "gui/dialogs/plantarea.h"

#include "ui_plantarea.h"

namespace gui {

PlantArea::PlantArea(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::PlantArea>())
{
    ui->setupUi(this);
}

PlantArea::~PlantArea() = default;

QSpinBox *PlantArea::minX() const
{
    return ui->minX;
}

QSpinBox *PlantArea::maxX() const
{
    return ui->maxX;
}

QSpinBox *PlantArea::minY() const
{
    return ui->minY;
}

QSpinBox *PlantArea::maxY() const
{
    return ui->maxY;
}

} // namespace gui
