#include "gui/notavailable.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace gui {

QString notAvailableTitle()
{
    return QCoreApplication::translate("MainWindow", "Not available");
}

QString notAvailableText(const QString &command)
{
    QString name = command;
    name.remove(QLatin1Char('&'));
    return QCoreApplication::translate("MainWindow", "\"%1\" is not available yet.").arg(name);
}

void showNotAvailable(QWidget *parent, const QString &command)
{
    QMessageBox::information(parent, notAvailableTitle(), notAvailableText(command));
}

} // namespace gui
