#pragma once

#include "gui/dialogservice.h"

#include <QDir>
#include <QObject>
#include <QTimer>

#include <functional>
#include <random>

using MonkeyLog = std::function<void(const QString &)>;

// Answers the program's questions at random, from the monkey's own generator so that a seed
// replays the same answers: file dialogs get Cancel, a name that cannot be opened or written, or a
// file of the asked kind from the work folder; a dialog gets its fields filled in (plant areas
// kept small, picture sizes modest) and is accepted or cancelled. Every answer goes to `log`.
class MonkeyDialogs : public gui::DialogService {
public:
    MonkeyDialogs(std::mt19937 &generator, QDir workFolder, MonkeyLog logLine)
        : random(generator), folder(std::move(workFolder)), log(std::move(logLine))
    {
    }

    // What the open dialogs offer, from the repository root: a species tree of `strands` strands,
    // the built-in DEM, a picture, and damaged files of every kind. False when one could not be made.
    static bool fillWorkFolder(const QDir &work, int strands);

    QString getOpenFileName(QWidget *, const QString &caption, const QString &,
                            const QString &filter) override
    {
        return answer(caption, filter, false);
    }
    QString getSaveFileName(QWidget *, const QString &caption, const QString &,
                            const QString &filter) override
    {
        return answer(caption, filter, true);
    }
    int exec(QDialog &dialog) override;
    void information(QWidget *, const QString &title, const QString &text, const QString &details) override
    {
        log(QStringLiteral("  box \"%1\": %2 %3").arg(title, text, details));
    }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    QString answer(const QString &caption, const QString &filter, bool save);
    void fillIn(QDialog &dialog);

    std::mt19937 &random;
    QDir folder;
    MonkeyLog log;
};

// Closes every modal window that opens outside the dialog seam (message boxes are confirmed,
// anything else cancelled) and logs it, so that no action can wait for a person.
class ModalCloser : public QObject {
    Q_OBJECT

public:
    explicit ModalCloser(MonkeyLog logLine);

private:
    QTimer poll;
    MonkeyLog log;
};
