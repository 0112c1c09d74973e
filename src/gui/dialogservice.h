#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace gui {

// Every modal question the program asks goes through here: file choices, dialogs run modally and
// information boxes. The main window carries one (the real Qt dialogs); tests install one that
// answers by itself, so every action can run through the real window without a person.
class DialogService {
public:
    virtual ~DialogService() = default;

    // Both return the chosen file name, or an empty string when the user cancelled.
    virtual QString getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                    const QString &filter) = 0;
    virtual QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                    const QString &filter) = 0;
    // Runs the dialog modally; returns QDialog::Accepted or QDialog::Rejected.
    virtual int exec(QDialog &dialog) = 0;
    // An information box with one OK button; `details` (when given) is shown below the text.
    virtual void information(QWidget *parent, const QString &title, const QString &text,
                             const QString &details = {}) = 0;
};

// The program's own: QFileDialog, QDialog::exec and QMessageBox.
class QtDialogService : public DialogService {
public:
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                            const QString &filter) override;
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                            const QString &filter) override;
    int exec(QDialog &dialog) override;
    void information(QWidget *parent, const QString &title, const QString &text,
                     const QString &details = {}) override;
};

// The service of the main window that `widget` belongs to; the Qt dialogs when it belongs to none.
DialogService &dialogServiceFor(const QWidget *widget);

} // namespace gui
