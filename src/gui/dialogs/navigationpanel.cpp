#include "gui/dialogs/navigationpanel.h"

#include "ui_navigationpanel.h"

namespace gui {

NavigationPanel::NavigationPanel(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::NavigationPanel>())
{
    ui->setupUi(this);
}

NavigationPanel::~NavigationPanel() = default;

QAbstractSlider *NavigationPanel::x() const
{
    return ui->X;
}

QAbstractSlider *NavigationPanel::y() const
{
    return ui->Y;
}

QAbstractSlider *NavigationPanel::z() const
{
    return ui->Z;
}

QAbstractSlider *NavigationPanel::turn() const
{
    return ui->Turn;
}

QAbstractSlider *NavigationPanel::roll() const
{
    return ui->Roll;
}

QAbstractSlider *NavigationPanel::yow() const
{
    return ui->Yow;
}

QPushButton *NavigationPanel::travelForward() const
{
    return ui->TravelForward;
}

QPushButton *NavigationPanel::travelBackward() const
{
    return ui->TravelBackward;
}

QLabel *NavigationPanel::demPosition() const
{
    return ui->dmr;
}

} // namespace gui
