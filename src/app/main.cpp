#include "gui/mainwindow.h"
#include "gui/oglwidget.h"

#include <QApplication>
#include <QLocale>
#include <QPixmap>
#include <QSplashScreen>
#include <QTranslator>

int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);

    // Installed even when the catalogue is missing, which leaves the English texts in place.
    QTranslator translator;
    (void)translator.load(QStringLiteral(":/gui/translations/verdalis_") + QLocale::system().name());
    QApplication::installTranslator(&translator);

    auto *splash = new QSplashScreen(QPixmap(QStringLiteral(":/gui/icons/icons/splash.png")));
    splash->show();

    gui::MainWindow mainWindow;
    mainWindow.show();

    splash->finish(&mainWindow);
    delete splash;

    return application.exec();
}
