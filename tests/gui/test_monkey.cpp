// A seeded random walk through the real main window (menu actions, keys, drags, views, dialogs,
// simulation steps, every question answered at random): no Qt warning or OpenGL error may appear
// and the window must still answer. MONKEY_SEED and MONKEY_ACTIONS choose the walk; a failure
// prints the seed and every action, which also go to monkey-actions.txt in the build folder.
#include "ecosystem/render/glerrorcheck.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/dialogs/plantarea.h"
#include "guitest.h"
#include "lignet/treeparameterfile.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <utility>

using gui::OglWidget;
using guitest::sendMouse;

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
    bool ok = false;
    const unsigned number = qgetenv(name).toUInt(&ok);
    return ok ? number : fallback;
}

// The keys a user reaches for on a view: movement with and without Shift, the camera and
// simulation shortcuts, the view switches and the digits.
// clang-format off
const QKeyCombination keys[] = {
    Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::ShiftModifier | Qt::Key_Left,
    Qt::ShiftModifier | Qt::Key_Up, Qt::Key_Escape, Qt::Key_F5, Qt::Key_Plus, Qt::Key_Minus,
    Qt::ControlModifier | Qt::Key_0, Qt::ControlModifier | Qt::Key_1, Qt::ControlModifier | Qt::Key_3,
    Qt::ControlModifier | Qt::Key_5, Qt::Key_Space, Qt::Key_Q, Qt::Key_A, Qt::Key_W, Qt::Key_L, Qt::Key_C,
    Qt::Key_S, Qt::Key_Home, Qt::Key_End, Qt::Key_Delete, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Insert,
    Qt::Key_Backspace, Qt::Key_2, Qt::Key_7, Qt::ShiftModifier | Qt::Key_Escape};
// clang-format on

// What the open dialogs offer, from the repository root: a species tree of `strands` strands, the
// built-in DEM, a picture, and damaged files of every kind. False when one could not be made.
bool fillWorkFolder(const QDir &work, int strands)
{
    lignet::TreeParameters light;
    if (!lignet::TreeParameterFile::load(light, "bin/zbirka-4/smrekaMini.tree.xml"))
        return false;
    light.numberOfStrands = strands;
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    bool made = lignet::TreeParameterFile::save(light, work.filePath("smreka.tree.xml").toStdString()) &&
                QFile::copy(QStringLiteral("gui/textures/100x100.dmr"), work.filePath("terrain.dmr")) &&
                picture.save(work.filePath("bark.png"));
    const std::pair<const char *, QByteArray> damaged[] = {
        {"damaged.tree.xml", "Tree\t3\nnumberOfStrands\tmany\n"},
        {"damaged.dmr", "1 2 3\n4 5\n"},
        {"damaged.sim", "Verdalis simulation\t9\n"},
        {"damaged.png", "\x89PNG\r\n"},
        {"old.tree", "2.x\n"}};
    for (const auto &[name, content] : damaged)
        made = made && guitest::writeContent(work.filePath(QString::fromLatin1(name)), content);
    return made;
}

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT

    guitest::Window w;
    // Closes every modal window that opens outside the dialog seam (message boxes are confirmed,
    // anything else cancelled) and logs it, so that no action can wait for a person.
    QTimer closer;
    QTemporaryDir folder;
    QString startFolder;
    static constexpr int MaxPlants = 40;
    static constexpr int MaxViews = 2;
    static constexpr int LightTreeStrands = 60;
    int busyActions = 0;
    std::mt19937 random;
    unsigned seed = 0;
    QStringList steps;
    QFile stepFile{QStringLiteral(VERDALIS_BINARY_DIR "/monkey-actions.txt")};
    QList<QAction *> menuActions;
    int nextMenuAction = 0;

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    void log(const QString &text)
    {
        steps << text;
        stepFile.write(text.toUtf8() + '\n');
        stepFile.flush();
    }

    // The program's questions are answered at random, from the monkey's own generator so that a seed
    // replays the same answers: file dialogs get Cancel, a name that cannot be opened or written, or
    // a file of the asked kind from the work folder; a dialog gets its fields filled in (plant areas
    // kept small, picture sizes modest) and is accepted or cancelled. Every answer is logged, and
    // information boxes after the action. A file dialog gets Cancel one time in ten, one in ten a
    // name that cannot be opened or written, else a file of the asked kind: an existing one to open,
    // one of three names to save under.
    QString answer(const QString &caption, const QString &filter, bool save)
    {
        const int choice = below(10);
        // The patterns of a filter, "Images (*.png *.jpg)" -> {"*.png", "*.jpg"}.
        QStringList patterns;
        for (const auto &match :
             QRegularExpression(QStringLiteral("\\*\\.[A-Za-z.0-9]+")).globalMatch(filter))
            patterns << match.captured(0);
        const QString extension = patterns.isEmpty() ? QStringLiteral(".out") : patterns.first().mid(1);
        QString answer;
        if (choice == 1) {
            answer = folder.filePath(save ? QStringLiteral("missing/saved") + extension
                                          : QStringLiteral("missing/nothing-here.dat"));
        } else if (choice > 1 && save) {
            answer = folder.filePath(QStringLiteral("monkey-%1").arg(below(3)) + extension);
        } else if (choice > 1) {
            const QStringList files = QDir(folder.path()).entryList(patterns, QDir::Files, QDir::Name);
            if (!files.isEmpty())
                answer = folder.filePath(files[below(int(files.size()))]);
        }
        log(QStringLiteral("  %1 \"%2\" -> %3")
                .arg(QLatin1String(save ? "save" : "open"), caption,
                     answer.isEmpty() ? QStringLiteral("Cancel") : answer));
        return answer;
    }

    int answer(QDialog &dialog)
    {
        log(QStringLiteral("  dialog %1 \"%2\"").arg(dialog.metaObject()->className(), dialog.windowTitle()));
        fillIn(dialog);
        const bool ok = below(2) == 0;
        log(ok ? QStringLiteral("  OK") : QStringLiteral("  Cancel"));
        ok ? dialog.accept() : dialog.reject();
        return ok ? QDialog::Accepted : QDialog::Rejected;
    }

    void fillIn(QDialog &dialog)
    {
        if (auto *area = qobject_cast<gui::PlantArea *>(&dialog)) {
            // One to four cells, so that a simulation step and a frame of its trees stay cheap.
            // Declarators are initialised in order, so the draws stay x, y, width, height.
            const int x = 1 + below(97), y = 1 + below(97), width = below(2), height = below(2);
            area->minX()->setValue(x);
            area->maxX()->setValue(x + width);
            area->minY()->setValue(y);
            area->maxY()->setValue(y + height);
            log(QStringLiteral("  plant area %1..%2 x %3..%4").arg(x).arg(x + width).arg(y).arg(y + height));
            return;
        }
        for (QSpinBox *box : dialog.findChildren<QSpinBox *>()) {
            if (below(2) == 0)
                continue;
            // Modest values: a picture of the largest size would take minutes to render.
            const int value =
                box->minimum() + below(std::max(1, std::min(box->maximum() - box->minimum(), 400) + 1));
            box->setValue(value);
            log(QStringLiteral("  %1 = %2").arg(box->objectName()).arg(value));
        }
        for (QAbstractSlider *slider : dialog.findChildren<QAbstractSlider *>()) {
            if (below(3) != 0 || slider->maximum() - slider->minimum() > 1000)
                continue;
            const int value = slider->minimum() + below(slider->maximum() - slider->minimum() + 1);
            slider->setValue(value);
            log(QStringLiteral("  %1 = %2").arg(slider->objectName()).arg(value));
        }
        const QString texts[] = {"abc", "-5", "4294967296", "123", QString(), folder.filePath("missing.png")};
        for (QLineEdit *edit : dialog.findChildren<QLineEdit *>()) {
            // Spin boxes have line edits of their own; those are set above.
            if (below(4) != 0 || qobject_cast<QSpinBox *>(edit->parentWidget()) != nullptr)
                continue;
            const QString text = texts[below(int(std::size(texts)))];
            edit->setText(text);
            log(QStringLiteral("  %1 = \"%2\"").arg(edit->objectName(), text));
        }
    }

    QList<OglWidget *> visibleViews() const
    {
        QList<OglWidget *> shown;
        for (OglWidget *view : w.window->findChildren<OglWidget *>())
            if (view->isVisible())
                shown << view;
        return shown;
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
        const QKeyCombination key = keys[below(int(std::size(keys)))];
        log(QStringLiteral("key %1").arg(QKeySequence(key).toString()));
        // Without a window manager nothing gives the window the keyboard back after a box closed.
        w.window->activateWindow();
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : w.window.get(), key.key(), key.keyboardModifiers());
    }

    void dragOnView()
    {
        const QList<OglWidget *> views = visibleViews();
        if (views.isEmpty())
            return log(QStringLiteral("drag: no view shown"));
        const int index = below(int(views.size()));
        OglWidget *view = views[index];
        const Qt::MouseButton button = below(2) == 0 ? Qt::LeftButton : Qt::RightButton;
        const auto at = [&] {
            return QPoint(below(std::max(1, view->width())), below(std::max(1, view->height())));
        };
        QPoint point = at();
        const int moves = 1 + below(3);
        log(QString::asprintf("drag view %d with the %s button from (%d, %d), %d moves", index,
                              button == Qt::LeftButton ? "left" : "right", point.x(), point.y(), moves));
        sendMouse(view, QEvent::MouseButtonPress, point, button, button);
        for (int i = 0; i < moves; ++i)
            sendMouse(view, QEvent::MouseMove, point = at(), Qt::NoButton, button);
        sendMouse(view, QEvent::MouseButtonRelease, point, button, Qt::NoButton);
    }

    void changeViews()
    {
        const QList<QDockWidget *> docks = w.window->findChildren<QDockWidget *>();
        const int choice = below(3);
        if (choice == 0 || docks.isEmpty() || visibleViews().isEmpty()) {
            log(QStringLiteral("add a view"));
            return w.action("actionAdd_view")->trigger();
        }
        const int index = below(int(docks.size()));
        QDockWidget *dock = docks[index];
        if (choice == 1) {
            log(QStringLiteral("close view %1").arg(index));
            dock->close();
        } else {
            log(QString::asprintf("%s view %d", dock->isFloating() ? "dock" : "float", index));
            dock->setFloating(!dock->isFloating());
        }
    }

    // The navigation panel and any other dialog left open without a modal loop.
    void useOpenDialog()
    {
        // Every such dialog is the window's child, taken in creation order: the order of the
        // top-level widgets changes from run to run, and a seed must replay the same walk.
        QList<QDialog *> open;
        for (QDialog *dialog : w.window->findChildren<QDialog *>())
            if (dialog->isVisible())
                open << dialog;
        if (open.isEmpty())
            return log(QStringLiteral("dialog: none open"));
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

    void simulate()
    {
        const int count = 1 + below(3);
        if (w.livingPlants() > MaxPlants)
            return log(QStringLiteral("simulate: the forest is full"));
        log(QStringLiteral("simulate %1 steps").arg(count));
        for (int i = 0; i < count; ++i)
            w.model()->simulateNextStepAndUpdateGL();
    }

    // Software OpenGL takes a good part of a second over a frame in every view, and the timers
    // ask for frames all the time: at most MaxViews stay shown, a running simulation, tree
    // animation, sequence export or coasting camera is stopped again after a few actions, and the
    // forest stops growing at MaxPlants.
    void keepThePace()
    {
        for (QList<OglWidget *> views = visibleViews(); views.size() > MaxViews; views = visibleViews()) {
            log(QStringLiteral("  close the last view of %1").arg(views.size()));
            views.last()->parentWidget()->close();
        }
        gui::actionhandling::TimeKeeper *timers = w.window->timeKeeper();
        const bool busy =
            timers->simulationRunning() || timers->treeAnimationRunning() || timers->cameraAnimationRunning();
        busyActions = busy ? busyActions + 1 : 0;
        if (!busy || (busyActions < 3 && w.livingPlants() <= MaxPlants))
            return;
        log(QStringLiteral("  switch the running timers off"));
        for (const char *name : {"actionGrow_tree", "actionSpin_tree", "actionSway_tree_in_wind",
                                 "actionAnimation_rendering_mode_Sequence_export"})
            if (w.action(name)->isChecked())
                w.action(name)->trigger();
        if (timers->simulationRunning())
            w.action("actionRun_simulation")->trigger();
        // A predefined camera ends the fly camera's coasting.
        if (timers->cameraAnimationRunning() && !w.treeEditMode())
            w.action("actionSwitch_to_next_predefined_camera")->trigger();
        busyActions = 0;
    }

    void act()
    {
        const int choice = below(100);
        if (choice < 46) {
            triggerMenuAction();
        } else if (choice < 64) {
            pressKey();
        } else if (choice < 76) {
            dragOnView();
        } else if (choice < 80) {
            changeViews();
        } else if (choice < 85) {
            useOpenDialog();
        } else if (choice < 92) {
            simulate();
        } else {
            const int ms = 10 + below(120);
            log(QStringLiteral("wait %1 ms").arg(ms));
            QTest::qWait(ms);
        }
    }

    // Messages and GL errors found after `actions` actions: the walk stops there and prints itself.
    bool sound(unsigned actions)
    {
        if (unexpectedMessages.isEmpty() && w.model()->glErrors().reportedErrors() == 0)
            return true;
        std::fprintf(stderr, "monkey seed %u; replay with MONKEY_SEED=%u MONKEY_ACTIONS=%u\n%s\n", seed, seed,
                     actions, qPrintable(steps.join(QLatin1Char('\n'))));
        std::fprintf(stderr, "Qt said: %s\nOpenGL errors: %lld\n", qPrintable(unexpectedMessages.join(" | ")),
                     w.model()->glErrors().reportedErrors());
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

        connect(&closer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                log(QStringLiteral("  box \"%1\": %2").arg(box->windowTitle(), box->text()));
                box->accept();
            } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
                log(QStringLiteral("  closed %1 \"%2\"")
                        .arg(dialog->metaObject()->className(), dialog->windowTitle()));
                dialog->reject();
            }
        });
        closer.start(20);
        QVERIFY(w.open(true, true));
        w.dialogs->onFile = [this](const QString &caption, const QString &filter, bool save) {
            return answer(caption, filter, save);
        };
        w.dialogs->onExec = [this](QDialog &dialog) { return answer(dialog); };
        // Fewer pixels to draw and to compose in software.
        w.window->resize(w.window->minimumSizeHint().expandedTo(QSize(640, 480)));
        QVERIFY(w.model()->glErrors().isOn());
        // The named actions, each of which sits in one menu.
        for (QAction *action : w.window->findChildren<QAction *>())
            if (action->objectName().startsWith(QLatin1String("action")))
                menuActions << action;
        QVERIFY(menuActions.size() > 80);

        // Trees of a few strands draw quickly in software OpenGL; every other code path is the same.
        for (int tree = 0; tree < 6; ++tree) {
            w.live().numberOfStrands = LightTreeStrands;
            w.model()->selectNextTreeSpecies();
        }
        // A small plant area keeps a step cheap; autosaves land in the work folder.
        w.model()->setLupaMinX(47);
        w.model()->setLupaMaxX(47);
        w.model()->setLupaMinY(47);
        w.model()->setLupaMaxY(47);
        QVERIFY(fillWorkFolder(QDir(folder.path()), LightTreeStrands));
        startFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
    }

    void cleanupTestCase()
    {
        closer.stop();
        w.window.reset();
        qInstallMessageHandler(previousHandler);
        QDir::setCurrent(startFolder);
    }

    void randomActionsLeaveTheWindowSoundAndAnswering()
    {
        const unsigned actions = environmentNumber("MONKEY_ACTIONS", 200u);
        auto *timers = w.window->timeKeeper();
        for (unsigned i = 0; i < actions; ++i) {
            log(QStringLiteral("%1:").arg(i));
            act();
            QTest::qWait(1);
            for (const QString &box : std::exchange(w.dialogs->texts, {}))
                log(QStringLiteral("  box: ") + box);
            keepThePace();
            if (!w.window->isVisible()) {
                log(QStringLiteral("  the window closed; shown again"));
                w.window->show();
                QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
            }
            QVERIFY2(sound(i + 1), "a Qt warning or an OpenGL error (walk above)");
        }

        // Still answering: the simulation stops on request and a view draws.
        if (timers->simulationRunning())
            w.action("actionRun_simulation")->trigger();
        QVERIFY(!timers->simulationRunning());
        if (visibleViews().isEmpty())
            w.action("actionAdd_view")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!visibleViews().isEmpty(), 5000);
        OglWidget *view = visibleViews().first();
        const int frames = view->framesDrawn();
        view->updateGL();
        QTRY_VERIFY_WITH_TIMEOUT(view->framesDrawn() > frames, 5000);
        QVERIFY2(sound(actions), "a Qt warning or an OpenGL error at the end");
        std::fprintf(stderr, "monkey seed %u: %u actions, no finding\n", seed, actions);
    }
};

VERDALIS_GUI_TEST_MAIN(TestMonkey)
#include "test_monkey.moc"
