#include "gui/dialogservice.h"

#include "gui/mainwindow.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace gui {

namespace {

// Qt's message boxes take their button texts from this context; listing them here puts them in the
// program's own catalogue, so the boxes speak the program's language.
[[maybe_unused]] const char *const standardButtonTexts[] = {
    QT_TRANSLATE_NOOP("QPlatformTheme", "OK"),
    QT_TRANSLATE_NOOP("QPlatformTheme", "Cancel"),
};

} // namespace

QString QtDialogService::getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                         const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString QtDialogService::getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                         const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

int QtDialogService::exec(QDialog &dialog)
{
    return dialog.exec();
}

void QtDialogService::information(QWidget *parent, const QString &title, const QString &text,
                                  const QString &details)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    if (!details.isEmpty())
        box.setInformativeText(details);
    box.exec();
}

DialogService &dialogServiceFor(const QWidget *widget)
{
    for (const QWidget *w = widget; w != nullptr; w = w->parentWidget())
        if (const auto *window = qobject_cast<const MainWindow *>(w))
            return window->dialogs();
    static QtDialogService standalone;
    return standalone;
}

} // namespace gui
