#include "answeringdialogs.h"

QString AnsweringDialogs::getOpenFileName(QWidget *, const QString &caption, const QString &,
                                          const QString &filter)
{
    fileCaptions << caption;
    fileFilters << filter;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString AnsweringDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                          const QString &filter)
{
    return getOpenFileName(parent, caption, directory, filter);
}

int AnsweringDialogs::exec(QDialog &dialog)
{
    if (!onExec) {
        dialog.reject();
        return QDialog::Rejected;
    }
    return onExec(dialog);
}

void AnsweringDialogs::information(QWidget *, const QString &title, const QString &text,
                                   const QString &detail)
{
    titles << title;
    texts << text;
    details << detail;
}

void AnsweringDialogs::clear()
{
    fileAnswers.clear();
    fileCaptions.clear();
    fileFilters.clear();
    onExec = nullptr;
    titles.clear();
    texts.clear();
    details.clear();
}
