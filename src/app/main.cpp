#include "gui/mainwindow.h"
#include "gui/oglwidget.h"
#include "gui/uitranslation.h"

#include <QApplication>
#include <QLocale>
#include <QPixmap>
#include <QSplashScreen>

int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);

    const auto translator = gui::installUiTranslation(QLocale::system().name());

    auto *splash = new QSplashScreen(QPixmap(QStringLiteral(":/gui/icons/icons/splash.png")));
    splash->show();

    gui::MainWindow mainWindow;
    mainWindow.show();

    splash->finish(&mainWindow);
    delete splash;

    return application.exec();
}
