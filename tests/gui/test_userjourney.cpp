// The real main window the way a new user meets it: what the status bar says from the first start
// on, the keys after a menu was closed, the predefined cameras after many resets, the check marks
// after the simulation ran, where boxes open, and a view added after the last one was closed.
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/framerate.h"
#include "ecosystem/render/viewoptions.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/simulationstatistics.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"
#include "gui/statusreport.h"
#include "lignet/treerenderer.h"
#include "modalcatcher.h"
#include "stdoutcapture.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QtTest>

#include <memory>
#include <numeric>

using ecosystem::render::Camera;
using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;
using gui::MainWindow;
using gui::OglWidget;

namespace {

// Writes a picture where the build keeps its outputs, for a person to look at.
void keepScreenshot(const QImage &image, const QString &name)
{
    image.save(QStringLiteral(VERDALIS_BINARY_DIR "/") + name);
}

} // namespace

class TestUserJourney : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> window;

    QAction *action(const char *name) const
    {
        auto *a = window->findChild<QAction *>(QString::fromLatin1(name));
        if (a == nullptr)
            qFatal("no action %s", name);
        return a;
    }

    // The text of a status bar label, empty while the label is hidden.
    QString status(const char *name) const
    {
        auto *label = window->statusBar()->findChild<QLabel *>(QString::fromLatin1(name));
        if (label == nullptr)
            qFatal("no status label %s", name);
        return label->isHidden() ? QString() : label->text();
    }

    EcosystemRender *model() const { return window->model(); }
    Camera *camera() const { return model()->getCamera(); }
    lignet::TreeDrawSettings &treeSettings() const { return model()->getCurrentTree()->settings(); }

    // Key presses go where a real keyboard sends them: an open menu, else the focus widget, else
    // the active window.
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::activePopupWidget();
        if (target == nullptr)
            target = QApplication::focusWidget();
        if (target == nullptr)
            target = QApplication::activeWindow();
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }

    int livingPlants() const
    {
        const std::vector<int> counts = model()->getSimulation().livingCounts();
        return std::accumulate(counts.begin(), counts.end(), 0);
    }

private slots:
    void initTestCase()
    {
        window = std::make_unique<MainWindow>();
        window->move(40, 30);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(window->model() != nullptr, 20000);
        // Trees are slow to draw in software; the terrain shows everything these tests look at.
        action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
    }

    void cleanupTestCase() { window.reset(); }

    // Without a window manager nothing gives the window the keyboard back after a box closed.
    void init()
    {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void freshStartNamesTheModeAndAsksForF5()
    {
        QCOMPARE(status("statusMode"), QStringLiteral("Ecosystem mode"));
        QCOMPARE(status("statusMessage"), QStringLiteral("Press F5 to grow the forest"));
        QCOMPARE(status("statusSimulation"), QString());
        QCOMPARE(status("statusDrawn"), QString());
        QCOMPARE(status("statusFrameSkip"), QString());
    }

    void boxWithoutParentOpensCentredOnTheWindow()
    {
        ModalCatcher catcher;
        action("actionShow_statistics")->trigger();
        QCOMPARE(catcher.texts, QStringList({"First run simulation please."}));
        QCOMPARE(catcher.titles, QStringList({"Error"}));
        QCOMPARE(catcher.parented, QList<bool>({false}));
        const QPoint offset = catcher.geometries.at(0).center() - window->frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
    }

    void firstEscAfterAMenuWasClosedResetsTheCamera()
    {
        QMenuBar *bar = window->menuBar();
        for (const char *name : {"menu_View", "menuNavigation"}) {
            auto *menu = bar->findChild<QMenu *>(QString::fromLatin1(name));
            camera()->position = {5.0f, 600.0f, 5.0f};
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
            QTRY_VERIFY(menu->isVisible());
            press(Qt::Key_Escape);
            QTRY_VERIFY(!menu->isVisible());
            QTest::qWait(50);
            press(Qt::Key_Escape);
            QTRY_COMPARE(camera()->position, Camera::StandardViewpoints[1].position);
        }
    }

    void savedCameraStaysNearAfterManyResets()
    {
        for (int i = 0; i < 16; ++i)
            press(Qt::Key_Escape);
        camera()->position = {700.0f, 1500.0f, 900.0f};
        press(Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier);
        camera()->position = {0.0f, 0.0f, 0.0f};
        int presses = 0;
        while (camera()->position != math::Vector3f(700.0f, 1500.0f, 900.0f) && presses < 30) {
            press(Qt::Key_0, Qt::ControlModifier);
            ++presses;
        }
        QVERIFY2(presses <= 3, qPrintable(QString::number(presses)));
        QCOMPARE(camera()->predefinedPositions.size(), std::size_t(3));
        press(Qt::Key_Escape);
    }

    void stepsAndPlantsFollowEachStepAndCheckMarksFollowTheModel()
    {
        // The second species' tree model (whose plants come up first) is the current tree: its
        // plants are drawn with it.
        for (int i = 0; i < 2; ++i)
            action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
        QCOMPARE(model()->getCurrentTreeIndex(), 1);
        action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
        QVERIFY(!model()->isViewOptionOn(ViewOption::DoNotDrawTrees));
        // High above the middle of the terrain, looking down on the young forest.
        camera()->position = {1250.0f, 700.0f, 1250.0f};
        camera()->heading = 0.0f;
        camera()->lookPitch = 89.0f;

        // The run stops itself after the step named here.
        int lastStep = 1;
        connect(model(), &EcosystemRender::nrPlantsLivingChanged, this, [&] {
            if (model()->getSimulation().step() == lastStep)
                action("actionRun_simulation")->trigger();
        });
        const auto runUntilItStops = [this] {
            auto console = std::make_unique<StdoutCapture>();
            press(Qt::Key_F5);
            const QString hint = status("statusMessage");
            QElapsedTimer clock;
            clock.start();
            while (window->timeKeeper()->simulationRunning() && clock.elapsed() < 60000)
                QTest::qWait(10);
            return hint;
        };
        const auto stepFigures = [this] {
            return QStringLiteral("Step %1, living plants: %2")
                .arg(model()->getSimulation().step())
                .arg(livingPlants());
        };
        // F5 takes the hint away at once; each step's figures follow within half a second.
        QCOMPARE(runUntilItStops(), QString());
        QTRY_COMPARE_WITH_TIMEOUT(status("statusSimulation"), stepFigures(), 1000);
        QVERIFY(status("statusSimulation").startsWith(QStringLiteral("Step 1, ")));
        lastStep = 6;
        runUntilItStops();
        disconnect(model(), &EcosystemRender::nrPlantsLivingChanged, this, nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(status("statusSimulation"), stepFigures(), 1000);
        QVERIFY(status("statusSimulation").startsWith(QStringLiteral("Step 6, ")));
        QVERIFY(livingPlants() > 0);
        QVERIFY(model()->getStatistics().renderedSeries().at(1).points().back().y > 0.0);
        QTRY_COMPARE_WITH_TIMEOUT(status("statusDrawn"),
                                  QStringLiteral("Plants drawn: %1").arg(model()->getLastRenderedCount()),
                                  1000);
        QCOMPARE(status("statusMessage"), QString());
        keepScreenshot(window->grab().toImage(), QStringLiteral("userjourney-after-steps.png"));

        // Nothing animates, so nothing shows a check mark and the tree timer is still.
        for (const char *name : {"actionGrow_tree", "actionSpin_tree", "actionSway_tree_in_wind"})
            QVERIFY2(!action(name)->isChecked(), name);
        QVERIFY(!treeSettings().growing);
        QVERIFY(!window->timeKeeper()->treeAnimationRunning());

        // A wide window shows the suns as circles, not ellipses.
        press(Qt::Key_Escape);
        action("actionDisplay_sun")->trigger();
        const QSize size = window->size();
        window->resize(1200, 560);
        QTRY_VERIFY(window->firstView()->width() > 1000);
        window->firstView()->updateGL();
        keepScreenshot(window->grab().toImage(), QStringLiteral("userjourney-wide-suns.png"));
        window->resize(size);
        action("actionDisplay_sun")->trigger();
        action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
        for (int i = 0; i < 4; ++i)
            action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
        QCOMPARE(model()->getCurrentTreeIndex(), 5);
    }

    void frameRateAndStepsPerFrameShowWhileAskedFor()
    {
        QVERIFY(model()->isViewOptionOn(ViewOption::ShowFPS));
        auto console = std::make_unique<StdoutCapture>();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1300) {
            window->firstView()->updateGL();
            QTest::qWait(20);
        }
        QTest::qWait(gui::StatusReport::RefreshIntervalMs + 50);
        const QString shown = status("statusFrameRate");
        console.reset();
        const double rate = ecosystem::render::FrameRate::shared().lastRate();
        QVERIFY(rate > 0.0);
        QCOMPARE(shown, QStringLiteral("%1 fps").arg(rate, 0, 'f', 1));
        action("actionShow_frame_rate")->trigger();
        QCOMPARE(status("statusFrameRate"), QString());
        action("actionShow_frame_rate")->trigger();
        QVERIFY(!status("statusFrameRate").isEmpty());

        press(Qt::Key_Plus);
        QCOMPARE(status("statusFrameSkip"), QStringLiteral("Steps per drawn frame: 2"));
        press(Qt::Key_Minus);
        QCOMPARE(status("statusFrameSkip"), QStringLiteral("Steps per drawn frame: 1"));
    }

    void treeEditModeSaysTheGrowthRunsAndStartsOver()
    {
        press(Qt::Key_Space);
        QCOMPARE(status("statusMode"), QStringLiteral("Tree edit mode"));
        press(Qt::Key_R);
        QVERIFY(treeSettings().growing);
        const QRegularExpression growing(QStringLiteral("^Growing: (\\d+) %, starts over when grown$"));
        QTRY_VERIFY(growing.match(status("statusMessage")).hasMatch());
        const int first = growing.match(status("statusMessage")).captured(1).toInt();
        QTRY_VERIFY(growing.match(status("statusMessage")).captured(1).toInt() > first);
        QVERIFY(growing.match(status("statusMessage")).captured(1).toInt() <=
                int(treeSettings().growthProgress * 100.0));
        press(Qt::Key_R);
        QTRY_COMPARE(status("statusMessage"), QString());
        press(Qt::Key_Space);
        QCOMPARE(status("statusMode"), QStringLiteral("Ecosystem mode"));
    }

    void viewAddedAfterTheLastWasClosedDrawsAtOnce()
    {
        auto *dock = qobject_cast<QDockWidget *>(window->firstView()->parentWidget());
        QVERIFY(dock != nullptr);
        dock->close();
        QTRY_VERIFY(!window->firstView()->isVisible());
        action("actionAdd_view")->trigger();
        OglWidget *added = window->views().last();
        QTRY_VERIFY_WITH_TIMEOUT(added->isVisible() && added->framesDrawn() > 0, 10000);
        // What the screen shows there: the terrain and sky, not the empty grey of the dock.
        QTest::qWait(200);
        const QPoint corner = added->mapToGlobal(QPoint());
        const QImage picture =
            added->screen()->grabWindow(0, corner.x(), corner.y(), added->width(), added->height()).toImage();
        keepScreenshot(picture, QStringLiteral("userjourney-added-view.png"));
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 4)
            for (int x = 0; x < picture.width(); x += 4)
                colours.insert(picture.pixel(x, y));
        QVERIFY2(colours.size() > 50, qPrintable(QString::number(colours.size())));
    }
};

int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestUserJourney tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_userjourney.moc"
