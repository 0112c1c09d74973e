#pragma once

#include "gui/dialogservice.h"

#include <QDialog>
#include <QStringList>

#include <functional>

// Answers every question of the program by itself: file dialogs take the next queued name (an
// empty name is Cancel; with none queued the dialog is cancelled), dialogs run through `onExec`
// (Cancel when unset) and information boxes are only recorded.
class AnsweringDialogs : public gui::DialogService {
public:
    QStringList fileAnswers;
    QStringList fileCaptions;
    QStringList fileFilters;
    std::function<int(QDialog &)> onExec;
    QStringList titles;
    QStringList texts;
    QStringList details;

    QString getOpenFileName(QWidget *, const QString &caption, const QString &directory,
                            const QString &filter) override;
    QString getSaveFileName(QWidget *, const QString &caption, const QString &directory,
                            const QString &filter) override;
    int exec(QDialog &dialog) override;
    void information(QWidget *, const QString &title, const QString &text, const QString &detail) override;

    // Forgets what was asked and shown so far.
    void clear();
};
