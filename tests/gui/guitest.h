#pragma once

// What the window tests share: the real main window started as the program starts it, its actions
// by name, the status bar's labels, the dialogs an action opens and file contents.
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/viewoptions.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "gui/dialogservice.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"
#include "lignet/treerenderer.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>
#include <numeric>

namespace guitest {

// Answers every question of the program by itself: file dialogs go to `onFile` when set, else take
// the next queued name (an empty name is Cancel; with none queued the dialog is cancelled), dialogs
// run through `onExec` (Cancel when unset) and information boxes are only recorded.
class AnsweringDialogs : public gui::DialogService {
public:
    QStringList fileAnswers, fileCaptions, titles, texts, details;
    std::function<int(QDialog &)> onExec;
    std::function<QString(const QString &caption, const QString &filter, bool save)> onFile;

    QString getOpenFileName(QWidget *, const QString &caption, const QString &,
                            const QString &filter) override
    {
        return answerFile(caption, filter, false);
    }
    QString getSaveFileName(QWidget *, const QString &caption, const QString &,
                            const QString &filter) override
    {
        return answerFile(caption, filter, true);
    }
    int exec(QDialog &dialog) override
    {
        if (onExec)
            return onExec(dialog);
        dialog.reject();
        return QDialog::Rejected;
    }
    void information(QWidget *, const QString &title, const QString &text, const QString &detail) override
    {
        titles << title;
        texts << text;
        details << detail;
    }
    void clear() { *this = AnsweringDialogs(); }

private:
    QString answerFile(const QString &caption, const QString &filter, bool save)
    {
        fileCaptions << caption;
        if (onFile)
            return onFile(caption, filter, save);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
};

inline QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeContent(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A mouse event sent straight to `target`, as the window system would deliver it.
inline void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

template <class T> T *part(const QObject *parent, const char *name)
{
    auto *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("no %s", name);
    return found;
}

// The main window with its model ready. With an answering service every question of the program
// goes to `dialogs`; without one, real boxes open.
struct Window {
    std::unique_ptr<gui::MainWindow> window;
    AnsweringDialogs *dialogs = nullptr;

    bool open(bool answering, bool drawTrees = false)
    {
        window = std::make_unique<gui::MainWindow>();
        if (answering) {
            auto service = std::make_unique<AnsweringDialogs>();
            dialogs = service.get();
            window->setDialogService(std::move(service));
        }
        window->move(40, 30);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()) ||
            !QTest::qWaitFor([this] { return window->model() != nullptr; }, 20000))
            return false;
        // Trees are slow to draw in software; most tests look at the terrain only.
        if (!drawTrees)
            action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
        return true;
    }

    QAction *action(const char *name) const { return part<QAction>(window.get(), name); }
    ecosystem::render::EcosystemRender *model() const { return window->model(); }
    ecosystem::EcosystemSimulation &simulation() const { return model()->getSimulation(); }
    lignet::TreeRenderer *tree() const { return model()->getCurrentTree(); }
    lignet::TreeParameters &live() const { return tree()->designedParameters(); }
    gui::OglWidget *view() const { return window->firstView(); }
    int framesDrawn() const { return view()->framesDrawn(); }
    // The frame count once the view has drawn nothing for a tenth of a second: repaints asked for
    // earlier (a dialog shown over the view, a click) come first, however long a loaded machine
    // takes to deliver them.
    int settledFrames() const
    {
        int frames = framesDrawn();
        for (int tries = 0; tries < 50; ++tries) {
            QTest::qWait(100);
            if (framesDrawn() == frames)
                break;
            frames = framesDrawn();
        }
        return frames;
    }
    // What the first view shows, drawn anew.
    QImage picture() const { return view()->grabFramebuffer(); }

    bool treeEditMode() const { return model()->isViewOptionOn(ecosystem::render::ViewOption::SingleRender); }
    void setTreeEditMode(bool on)
    {
        if (treeEditMode() != on)
            action("actionShow_ecosystem")->trigger();
    }

    // Triggers an action with the file dialogs answered by `answers` (an empty name is Cancel) and
    // its modal dialogs run by `onExec` (Cancel when unset).
    void trigger(const char *name, const QStringList &answers = {}, std::function<int(QDialog &)> onExec = {})
    {
        dialogs->clear();
        dialogs->fileAnswers = answers;
        dialogs->onExec = std::move(onExec);
        action(name)->trigger();
    }

    // Triggers an action whose modal dialog is run with `fill`, then its OK or Cancel button; true
    // when a dialog was run.
    bool answer(const char *name, const char *button, std::function<void(QDialog &)> fill,
                const QStringList &answers = {})
    {
        bool ran = false;
        trigger(name, answers, [fill, button, &ran](QDialog &dialog) {
            ran = true;
            fill(dialog);
            part<QPushButton>(&dialog, button)->click();
            return dialog.result();
        });
        return ran;
    }

    // Triggers an action and returns the dialog of type T it opened.
    template <class T> T *opened(const char *actionName) const
    {
        const auto before = window->findChildren<T *>();
        action(actionName)->trigger();
        for (T *dialog : window->findChildren<T *>())
            if (!before.contains(dialog))
                return dialog;
        return nullptr;
    }

    // The text of a status bar label, empty while the label is hidden.
    QString status(const char *name) const
    {
        auto *label = part<QLabel>(window->statusBar(), name);
        return label->isHidden() ? QString() : label->text();
    }

    int livingPlants() const
    {
        const std::vector<int> counts = simulation().livingCounts();
        return std::accumulate(counts.begin(), counts.end(), 0);
    }
};

} // namespace guitest

// The views share their contexts as in the program, which asks for it before the application starts.
#define VERDALIS_GUI_TEST_MAIN(TestClass)                                                                    \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        gui::OglWidget::prepareApplication();                                                                \
        QApplication application(argc, argv);                                                                \
        TestClass tests;                                                                                     \
        return QTest::qExec(&tests, argc, argv);                                                             \
    }
