// The real main window under a virtual display, the way a new user meets it: the status bar, keys
// after a menu closed, predefined cameras, check marks after a run, where boxes open.
#include "ecosystem/render/framerate.h"
#include "ecosystem/simulation/simulationstatistics.h"
#include "gui/statusreport.h"
#include "mainwindowtest.h"

#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

// Key presses go where a real keyboard sends them: an open menu, else the focus widget, else
// the active window.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = QApplication::activePopupWidget();
    target = target != nullptr ? target : QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : QApplication::activeWindow(), Qt::Key(key), modifiers);
}

} // namespace

void TestMainWindow::freshStartNamesTheModeAndAsksForF5()
{
    QCOMPARE(w.status("statusMode"), QStringLiteral("Ecosystem mode"));
    QCOMPARE(w.status("statusMessage"), QStringLiteral("Press F5 to grow the forest"));
    for (const char *empty : {"statusSimulation", "statusDrawn", "statusFrameSkip"})
        QCOMPARE(w.status(empty), QString());
}

void TestMainWindow::boxWithoutParentOpensCentredOnTheWindow()
{
    QStringList texts;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            texts << box->windowTitle() + ": " + box->text();
            QVERIFY(box->parentWidget() == nullptr);
            const QPoint offset = box->frameGeometry().center() - w.window->frameGeometry().center();
            QVERIFY2(offset.manhattanLength() <= 4,
                     qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
            box->accept();
        }
    });
    poll.start(20);
    w.action("actionShow_statistics")->trigger();
    QCOMPARE(texts, QStringList({"Error: First run simulation please."}));
}

void TestMainWindow::firstEscAfterAMenuWasClosedResetsTheCamera()
{
    QMenuBar *bar = w.window->menuBar();
    for (const char *name : {"menu_View", "menuNavigation"}) {
        auto *menu = guitest::part<QMenu>(bar, name);
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

void TestMainWindow::savedCameraStaysNearAfterManyResets()
{
    for (int i = 0; i < 16; ++i)
        press(Qt::Key_Escape);
    camera()->position = {700.0f, 1500.0f, 900.0f};
    press(Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier);
    camera()->position = {0.0f, 0.0f, 0.0f};
    int presses = 0;
    for (; camera()->position != math::Vector3f(700.0f, 1500.0f, 900.0f) && presses < 30; ++presses)
        press(Qt::Key_0, Qt::ControlModifier);
    QVERIFY2(presses <= 3, qPrintable(QString::number(presses)));
    QCOMPARE(camera()->predefinedPositions.size(), std::size_t(3));
    press(Qt::Key_Escape);
}

void TestMainWindow::stepsAndPlantsFollowEachStepAndCheckMarksFollowTheModel()
{
    // The second species' tree model (whose plants come up first) is the current tree: its
    // plants are drawn with it.
    for (int i = 0; i < 2; ++i)
        w.action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
    QCOMPARE(w.model()->getCurrentTreeIndex(), 1);
    w.action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
    QVERIFY(!w.model()->isViewOptionOn(ViewOption::DoNotDrawTrees));
    // High above the middle of the terrain, looking down on the young forest.
    camera()->position = {1250.0f, 700.0f, 1250.0f};
    camera()->heading = 0.0f;
    camera()->lookPitch = 89.0f;

    // The run stops itself after the step named here.
    int lastStep = 1;
    connect(w.model(), &EcosystemRender::nrPlantsLivingChanged, this, [&] {
        if (w.simulation().step() == lastStep)
            w.action("actionRun_simulation")->trigger();
    });
    const auto runUntilItStops = [this] {
        guitest::StdoutCapture console;
        press(Qt::Key_F5);
        const QString hint = w.status("statusMessage");
        QElapsedTimer clock;
        clock.start();
        while (w.window->timeKeeper()->simulationRunning() && clock.elapsed() < 60000)
            QTest::qWait(10);
        return hint;
    };
    // F5 takes the hint away at once; each step's figures follow within half a second.
    QCOMPARE(runUntilItStops(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(w.status("statusSimulation"), stepFigures(), 1000);
    QVERIFY(w.status("statusSimulation").startsWith(QStringLiteral("Step 1, ")));
    lastStep = 6;
    runUntilItStops();
    disconnect(w.model(), &EcosystemRender::nrPlantsLivingChanged, this, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(w.status("statusSimulation"), stepFigures(), 1000);
    QVERIFY(w.status("statusSimulation").startsWith(QStringLiteral("Step 6, ")));
    QVERIFY(w.livingPlants() > 0);
    QVERIFY(w.model()->getStatistics().renderedSeries().at(1).points().back().y > 0.0);
    QTRY_COMPARE_WITH_TIMEOUT(w.status("statusDrawn"),
                              QStringLiteral("Plants drawn: %1").arg(w.model()->getLastRenderedCount()),
                              1000);
    QCOMPARE(w.status("statusMessage"), QString());

    // Nothing animates, so nothing shows a check mark and the tree timer is still.
    for (const char *name : {"actionGrow_tree", "actionSpin_tree", "actionSway_tree_in_wind"})
        QVERIFY2(!w.action(name)->isChecked(), name);
    QVERIFY(!w.tree()->settings().growing);
    QVERIFY(!w.window->timeKeeper()->treeAnimationRunning());

    press(Qt::Key_Escape);
    w.action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
    for (int i = 0; i < 4; ++i)
        w.action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
    QCOMPARE(w.model()->getCurrentTreeIndex(), 5);
}

void TestMainWindow::environmentalDeathsFollowTheSimulationAndAreCountedInTheStatusBar()
{
    QAction *deaths = w.action("actionEnvironmentalDeaths");
    QVERIFY(!deaths->isChecked() && !w.simulation().environmentalDeaths());
    // Switched on the simulation itself, the next step brings the check mark in line.
    for (const bool on : {true, false}) {
        w.simulation().setEnvironmentalDeaths(on);
        w.model()->simulateNextStepAndUpdateGL();
        QCOMPARE(deaths->isChecked(), on);
    }
    deaths->trigger();
    QVERIFY(w.simulation().environmentalDeaths());
    {
        guitest::StdoutCapture console;
        for (int i = 0; i < 30; ++i)
            w.model()->simulateNextStepAndUpdateGL();
    }
    const int died = w.simulation().statistics().environmentDeaths();
    QVERIFY(died > 0 && died <= w.simulation().statistics().allDeaths());
    QTRY_COMPARE_WITH_TIMEOUT(w.status("statusSimulation"),
                              stepFigures() + QStringLiteral(", deaths by environment: %1").arg(died), 1000);
    // Off again: the figures go back to the step and the living plants.
    deaths->trigger();
    QVERIFY(!w.simulation().environmentalDeaths() && !deaths->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(w.status("statusSimulation"), stepFigures(), 1000);
}

void TestMainWindow::frameRateAndStepsPerFrameShowWhileAskedFor()
{
    QVERIFY(w.model()->isViewOptionOn(ViewOption::ShowFPS));
    auto console = std::make_unique<guitest::StdoutCapture>();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1300) {
        w.view()->updateGL();
        QTest::qWait(20);
    }
    QTest::qWait(gui::StatusReport::RefreshIntervalMs + 50);
    const QString shown = w.status("statusFrameRate");
    console.reset();
    const double rate = ecosystem::render::FrameRate::shared().lastRate();
    QVERIFY(rate > 0.0);
    QCOMPARE(shown, QStringLiteral("%1 fps").arg(rate, 0, 'f', 1));
    w.action("actionShow_frame_rate")->trigger();
    QCOMPARE(w.status("statusFrameRate"), QString());
    w.action("actionShow_frame_rate")->trigger();
    QVERIFY(!w.status("statusFrameRate").isEmpty());

    press(Qt::Key_Plus);
    QCOMPARE(w.status("statusFrameSkip"), QStringLiteral("Steps per drawn frame: 2"));
    press(Qt::Key_Minus);
    QCOMPARE(w.status("statusFrameSkip"), QStringLiteral("Steps per drawn frame: 1"));
}

void TestMainWindow::treeEditModeSaysTheGrowthRunsAndStartsOver()
{
    press(Qt::Key_Space);
    QCOMPARE(w.status("statusMode"), QStringLiteral("Tree edit mode"));
    QVERIFY(!w.action("actionShow_ecosystem")->isChecked());
    press(Qt::Key_R);
    QVERIFY(w.tree()->settings().growing);
    const QRegularExpression growing(QStringLiteral("^Growing: (\\d+) %, starts over when grown$"));
    const auto percent = [&] { return growing.match(w.status("statusMessage")).captured(1).toInt(); };
    QTRY_VERIFY(growing.match(w.status("statusMessage")).hasMatch());
    const int first = percent();
    QTRY_VERIFY(percent() > first);
    QVERIFY(percent() <= int(w.tree()->settings().growthProgress * 100.0));
    press(Qt::Key_R);
    QTRY_COMPARE(w.status("statusMessage"), QString());
    press(Qt::Key_Space);
    QCOMPARE(w.status("statusMode"), QStringLiteral("Ecosystem mode"));
    QVERIFY(w.action("actionShow_ecosystem")->isChecked());
}
