#pragma once

// The class of the main window tests: the real main window opened once for the way a new user meets
// it (test_firstuse.cpp) and for its menus, actions, views and mouse (test_mainwindow.cpp), given
// the keyboard before each test.
#include "ecosystem/render/camera.h"
#include "gui/actionhandling/timekeeper.h"
#include "guitest.h"

using ecosystem::render::Camera;
using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;

class TestMainWindow : public QObject {
    Q_OBJECT

    guitest::Window w;

    Camera *camera() const { return w.model()->getCamera(); }

    // Runs the camera timer until the coasting motion has stopped.
    void waitForCameraToRest()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!w.window->timeKeeper()->cameraAnimationRunning(), 5000);
    }

    // Triggers an action and checks that the first view draws anew.
    void triggerAndSeeRepaint(const char *name)
    {
        QTest::qWait(30); // repaints asked for earlier arrive first
        const int frames = w.framesDrawn();
        w.action(name)->trigger();
        QTRY_VERIFY2(w.framesDrawn() > frames, name);
    }

    QString stepFigures() const
    {
        return QStringLiteral("Step %1, living plants: %2").arg(w.simulation().step()).arg(w.livingPlants());
    }

private slots:
    void initTestCase() { QVERIFY(w.open(false)); }
    void cleanupTestCase() { w.window.reset(); }

    // Without a window manager nothing gives the window the keyboard back after a box closed.
    void init()
    {
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    }

    void freshStartNamesTheModeAndAsksForF5();
    void boxWithoutParentOpensCentredOnTheWindow();
    void firstEscAfterAMenuWasClosedResetsTheCamera();
    void savedCameraStaysNearAfterManyResets();
    void stepsAndPlantsFollowEachStepAndCheckMarksFollowTheModel();
    void environmentalDeathsFollowTheSimulationAndAreCountedInTheStatusBar();
    void frameRateAndStepsPerFrameShowWhileAskedFor();
    void treeEditModeSaysTheGrowthRunsAndStartsOver();
    void everyActionIsInExactlyOneMenuWithAShortcutNoOtherHas();
    void everyViewSwitchFlipsTheModelKeepsItsCheckMarkAndRepaintsAsListed();
    void treeSwitchesActOnTheCurrentTreeWithTheirCheckMarksAndWireframeIsKeptPerMode();
    void navigationInTreeEditModeMovesTheTreeAtOnce();
    void navigationInEcosystemModeCoastsToAStop();
    void mouseDragsChangeTheOrbitValues();
    void treeAnimationsRunTheTreeTimerUntilTheLastIsSwitchedOff();
    void addViewTwiceGivesThreeStackedViewsThatAllRepaintAndAFloatedOneKeepsDrawing();
    void sequenceExportOfARunningSimulationGrabsEachStepOnceItIsIn();
    void extensionListIsSplitAtSingleBlanksAndComparedExactly();
    void failoverNoticeIsGivenOnceAndOnlyIfTheFirstListedDriverLacksTheExtension();
    void simulationExportNumbersOneImagePerStepAndStoppingRestartsTheNumbering();
    void viewAddedAfterTheLastWasClosedDrawsAtOnce();
    void quitClosesTheWindowAndEndsTheLoop();
};
