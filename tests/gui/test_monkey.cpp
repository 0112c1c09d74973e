// A seeded random walk through the real main window: every menu action, keys and mouse drags on
// the views, views added, floated and closed, the navigation panel moved, simulation steps on a
// plant area of one cell and time for the timers, with every question answered at random. After each
// action no Qt warning and no OpenGL error may have appeared; at the end the window still
// answers. MONKEY_SEED and MONKEY_ACTIONS choose the walk; a failure prints the seed and every
// action so far, and the actions are also written as they happen to monkey-actions.txt in the
// build folder, which survives a crash.
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/glerrorcheck.h"
#include "ecosystem/render/viewoptions.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"
#include "lignet/treerenderer.h"
#include "monkeydialogs.h"
#include "monkeyinput.h"
#include "stdoutcapture.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>

using gui::MainWindow;
using gui::OglWidget;

namespace {

QStringList unexpectedMessages;
QtMessageHandler previousHandler = nullptr;

// Qt's warnings about misused or leaked objects, failed connections and painting problems are all
// findings; debug and information lines are not.
void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg)
        unexpectedMessages << text;
    if (previousHandler != nullptr)
        previousHandler(type, context, text);
}

unsigned environmentNumber(const char *name, unsigned fallback)
{
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const unsigned number = value.toUInt(&ok);
    return ok ? number : fallback;
}

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<StdoutCapture> output;
    std::unique_ptr<ModalCloser> closer;
    QTemporaryDir folder;
    QString startFolder;
    static constexpr int MaxPlants = 40;
    static constexpr int MaxViews = 2;
    int busyActions = 0;
    static constexpr int LightTreeStrands = 60;
    std::mt19937 random;
    unsigned seed = 0;
    QStringList steps;
    QFile stepFile{QStringLiteral(VERDALIS_BINARY_DIR "/monkey-actions.txt")};
    QList<QAction *> menuActions;
    int nextMenuAction = 0;

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    // The number of the action under way, put before its first line.
    QString pendingNumber;

    void log(const QString &text)
    {
        const QString line = pendingNumber + text;
        pendingNumber.clear();
        steps << line;
        stepFile.write(line.toUtf8() + '\n');
        stepFile.flush();
    }

    ecosystem::render::EcosystemRender *model() const { return window->model(); }

    QList<OglWidget *> visibleViews() const
    {
        QList<OglWidget *> shown;
        for (OglWidget *view : window->findChildren<OglWidget *>())
            if (view->isVisible())
                shown << view;
        return shown;
    }

    // Every action a menu offers, submenus included, in menu order.
    void collectMenuActions(const QMenu *menu)
    {
        for (QAction *action : menu->actions()) {
            if (action->menu() != nullptr)
                collectMenuActions(action->menu());
            else if (!action->isSeparator())
                menuActions << action;
        }
    }

    // The menu actions in a shuffled order, a new order each round, so that a short walk still
    // triggers every one of them.
    void triggerMenuAction()
    {
        if (nextMenuAction == 0)
            std::shuffle(menuActions.begin(), menuActions.end(), random);
        QAction *action = menuActions[nextMenuAction];
        nextMenuAction = (nextMenuAction + 1) % int(menuActions.size());
        log(QStringLiteral("menu %1").arg(action->objectName()));
        if (action->isEnabled())
            action->trigger();
    }

    void pressKey()
    {
        const Key &key = monkeyKeys[below(monkeyKeyCount)];
        log(QStringLiteral("key %1").arg(QString::fromLatin1(key.name)));
        // Without a window manager nothing gives the window the keyboard back after a box closed.
        window->activateWindow();
        QWidget *target = QApplication::focusWidget();
        if (target == nullptr)
            target = window.get();
        QTest::keyClick(target, Qt::Key(key.key), key.modifiers);
    }

    void dragOnView()
    {
        const QList<OglWidget *> views = visibleViews();
        if (views.isEmpty()) {
            log(QStringLiteral("drag: no view shown"));
            return;
        }
        const int index = below(int(views.size()));
        OglWidget *view = views[index];
        const Qt::MouseButton button = below(2) == 0 ? Qt::LeftButton : Qt::RightButton;
        const auto at = [&] {
            return QPoint(below(std::max(1, view->width())), below(std::max(1, view->height())));
        };
        QPoint point = at();
        const int moves = 1 + below(3);
        log(QStringLiteral("drag view %1 with the %2 button from (%3, %4), %5 moves")
                .arg(index)
                .arg(QLatin1String(button == Qt::LeftButton ? "left" : "right"))
                .arg(point.x())
                .arg(point.y())
                .arg(moves));
        sendMouse(view, QEvent::MouseButtonPress, point, button, button);
        for (int i = 0; i < moves; ++i) {
            point = at();
            sendMouse(view, QEvent::MouseMove, point, Qt::NoButton, button);
        }
        sendMouse(view, QEvent::MouseButtonRelease, point, button, Qt::NoButton);
    }

    void changeViews()
    {
        const QList<QDockWidget *> docks = window->findChildren<QDockWidget *>();
        const int choice = below(3);
        if (choice == 0 || docks.isEmpty() || visibleViews().isEmpty()) {
            log(QStringLiteral("add a view"));
            window->findChild<QAction *>(QStringLiteral("actionAdd_view"))->trigger();
            return;
        }
        const int index = below(int(docks.size()));
        QDockWidget *dock = docks[index];
        if (choice == 1) {
            log(QStringLiteral("close view %1").arg(index));
            dock->close();
        } else {
            log(QStringLiteral("%1 view %2")
                    .arg(QLatin1String(dock->isFloating() ? "dock" : "float"))
                    .arg(index));
            dock->setFloating(!dock->isFloating());
        }
    }

    // The navigation panel and any other dialog left open without a modal loop.
    void useOpenDialog()
    {
        QList<QDialog *> open;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QDialog *>(widget); dialog != nullptr && dialog->isVisible())
                open << dialog;
        if (open.isEmpty()) {
            log(QStringLiteral("dialog: none open"));
            return;
        }
        QDialog *dialog = open[below(int(open.size()))];
        const QList<QAbstractSlider *> sliders = dialog->findChildren<QAbstractSlider *>();
        if (below(4) == 0 || sliders.isEmpty()) {
            log(QStringLiteral("close %1").arg(QString::fromLatin1(dialog->metaObject()->className())));
            dialog->close();
            return;
        }
        QAbstractSlider *slider = sliders[below(int(sliders.size()))];
        const int value = slider->minimum() + below(slider->maximum() - slider->minimum() + 1);
        log(QStringLiteral("set %1 to %2").arg(slider->objectName()).arg(value));
        slider->setValue(value);
    }

    int framesDrawn() const
    {
        int frames = 0;
        for (const OglWidget *view : window->findChildren<OglWidget *>())
            frames += view->framesDrawn();
        return frames;
    }

    int livingPlants() const
    {
        const std::vector<int> counts = model()->getSimulation().livingCounts();
        return std::accumulate(counts.begin(), counts.end(), 0);
    }

    void simulate()
    {
        const int count = 1 + below(3);
        if (livingPlants() > MaxPlants) {
            log(QStringLiteral("simulate: the forest is full"));
            return;
        }
        log(QStringLiteral("simulate %1 steps").arg(count));
        for (int i = 0; i < count; ++i)
            model()->simulateNextStepAndUpdateGL();
    }

    // Software OpenGL takes a good part of a second over a frame in every view, and the timers
    // ask for frames all the time: a running simulation, tree animation, sequence export or
    // coasting camera is stopped again after a few actions, and the forest stops growing at
    // MaxPlants.
    void keepThePace()
    {
        // Every view draws every frame: at most MaxViews stay shown.
        for (QList<OglWidget *> views = visibleViews(); views.size() > MaxViews; views = visibleViews()) {
            log(QStringLiteral("  close the last view of %1").arg(views.size()));
            views.last()->parentWidget()->close();
        }
        gui::actionhandling::TimeKeeper *timers = window->timeKeeper();
        const bool busy =
            timers->simulationRunning() || timers->treeAnimationRunning() || timers->cameraAnimationRunning();
        busyActions = busy ? busyActions + 1 : 0;
        if (!busy || (busyActions < 3 && livingPlants() <= MaxPlants))
            return;
        log(QStringLiteral("  switch the running timers off"));
        const char *switches[] = {"actionGrow_tree", "actionSpin_tree", "actionSway_tree_in_wind",
                                  "actionAnimation_rendering_mode_Sequence_export"};
        for (const char *name : switches) {
            auto *action = window->findChild<QAction *>(QLatin1String(name));
            if (action->isChecked())
                action->trigger();
        }
        if (timers->simulationRunning())
            window->findChild<QAction *>(QStringLiteral("actionRun_simulation"))->trigger();
        // A predefined camera ends the fly camera's coasting.
        if (timers->cameraAnimationRunning() &&
            !model()->isViewOptionOn(ecosystem::render::ViewOption::SingleRender))
            window->findChild<QAction *>(QStringLiteral("actionSwitch_to_next_predefined_camera"))->trigger();
        busyActions = 0;
    }

    void letTimePass()
    {
        const int ms = 10 + below(120);
        log(QStringLiteral("wait %1 ms").arg(ms));
        QTest::qWait(ms);
    }

    void act()
    {
        const int choice = below(100);
        if (choice < 46)
            triggerMenuAction();
        else if (choice < 64)
            pressKey();
        else if (choice < 76)
            dragOnView();
        else if (choice < 80)
            changeViews();
        else if (choice < 85)
            useOpenDialog();
        else if (choice < 92)
            simulate();
        else
            letTimePass();
    }

    // The whole walk so far, for a person to replay.
    QByteArray replay() const
    {
        return QStringLiteral("monkey seed %1; replay with MONKEY_SEED=%1 MONKEY_ACTIONS=%2\n%3\n")
            .arg(seed)
            .arg(steps.size())
            .arg(steps.join(QLatin1Char('\n')))
            .toLocal8Bit();
    }

    // Messages and GL errors found after an action: the walk stops there.
    bool sound()
    {
        if (unexpectedMessages.isEmpty() && model()->glErrors().reportedErrors() == 0)
            return true;
        std::fprintf(stderr, "%s", replay().constData());
        std::fprintf(stderr, "Qt said: %s\nOpenGL errors: %lld\n%s\n",
                     unexpectedMessages.join(QStringLiteral(" | ")).toLocal8Bit().constData(),
                     model()->glErrors().reportedErrors(),
                     output->text().right(2000).toLocal8Bit().constData());
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        seed = environmentNumber("MONKEY_SEED", 20261207u);
        random.seed(seed);
        QVERIFY(stepFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
        std::fprintf(stderr, "monkey seed %u\n", seed);
        qputenv("VERDALIS_CHECK_GL", "1");
        previousHandler = qInstallMessageHandler(recordMessage);
        // Quit only hides the window here; the walk shows it again.
        QApplication::setQuitOnLastWindowClosed(false);

        window = std::make_unique<MainWindow>();
        window->setDialogService(std::make_unique<MonkeyDialogs>(random, QDir(folder.path()),
                                                                 [this](const QString &line) { log(line); }));
        closer = std::make_unique<ModalCloser>([this](const QString &line) { log(line); });
        // Fewer pixels to draw and to compose in software.
        window->resize(window->minimumSizeHint().expandedTo(QSize(640, 480)));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(window->model() != nullptr, 20000);
        QVERIFY(model()->glErrors().isOn());
        for (const QAction *entry : window->menuBar()->actions())
            if (entry->menu() != nullptr)
                collectMenuActions(entry->menu());
        QVERIFY(menuActions.size() > 80);

        // Trees of a few strands draw quickly in software OpenGL; every other code path is the same.
        for (int tree = 0; tree < 6; ++tree) {
            model()->getCurrentTree()->designedParameters().numberOfStrands = LightTreeStrands;
            model()->selectNextTreeSpecies();
        }
        // A small plant area keeps a step cheap; autosaves land in the work folder.
        model()->setLupaMinX(47);
        model()->setLupaMaxX(47);
        model()->setLupaMinY(47);
        model()->setLupaMaxY(47);
        QVERIFY(MonkeyDialogs::fillWorkFolder(QDir(folder.path()), LightTreeStrands));
        startFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
    }

    void cleanupTestCase()
    {
        closer.reset();
        window.reset();
        qInstallMessageHandler(previousHandler);
        QDir::setCurrent(startFolder);
    }

    void randomActionsLeaveTheWindowSoundAndAnswering()
    {
        const unsigned actions = environmentNumber("MONKEY_ACTIONS", 200u);
        // The simulation's lines and the GL error names go to a file while the walk runs, shown on
        // failure; the test's own report comes after.
        output = std::make_unique<StdoutCapture>();
        const auto restoreOutput = qScopeGuard([this] { output.reset(); });
        for (unsigned i = 0; i < actions; ++i) {
            pendingNumber = QStringLiteral("%1: ").arg(i);
            QElapsedTimer clock;
            clock.start();
            const int frames = framesDrawn();
            act();
            QTest::qWait(1);
            keepThePace();
            if (clock.elapsed() > 2000)
                log(QStringLiteral("  (took %1 ms: %2 frames in %3 views; timers %4%5%6)")
                        .arg(clock.elapsed())
                        .arg(framesDrawn() - frames)
                        .arg(visibleViews().size())
                        .arg(window->timeKeeper()->simulationRunning())
                        .arg(window->timeKeeper()->treeAnimationRunning())
                        .arg(window->timeKeeper()->cameraAnimationRunning()));
            if (!window->isVisible()) {
                log(QStringLiteral("  the window closed; shown again"));
                window->show();
                QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            }
            QVERIFY2(sound(), "a Qt warning or an OpenGL error (walk above)");
        }

        // Still answering: the simulation stops on request, a posted call runs and a view draws.
        if (window->timeKeeper()->simulationRunning())
            window->findChild<QAction *>(QStringLiteral("actionRun_simulation"))->trigger();
        QVERIFY(!window->timeKeeper()->simulationRunning());
        bool answered = false;
        QTimer::singleShot(0, window.get(), [&answered] { answered = true; });
        QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
        if (visibleViews().isEmpty())
            window->findChild<QAction *>(QStringLiteral("actionAdd_view"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!visibleViews().isEmpty(), 5000);
        OglWidget *view = visibleViews().first();
        const int frames = view->framesDrawn();
        view->updateGL();
        QTRY_VERIFY_WITH_TIMEOUT(view->framesDrawn() > frames, 5000);
        QVERIFY2(sound(), "a Qt warning or an OpenGL error at the end");
        std::fprintf(stderr, "monkey seed %u: %u actions, no finding\n", seed, actions);
    }
};

// The views share their contexts as in the program, which asks for it before the application starts.
int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestMonkey tests;
    return QTest::qExec(&tests, argc, argv);
}
#include "test_monkey.moc"
