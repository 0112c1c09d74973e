#include "gui/dialogs/about.h"

#include "ui_about.h"

namespace gui {

About::About(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::About>())
{
    ui->setupUi(this);
}

About::~About() = default;

} // namespace gui
