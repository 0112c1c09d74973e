// The real main window under a virtual display: its menus, the wiring of every action to the model
// and the handlers, the views, the mouse and a look at what the window shows, including a view added
// after the last closed; the time keeper's frame numbering and the reading of the driver's extension
// list.
#include "ecosystem/render/glextensions.h"
#include "ecosystem/render/treemeshes.h"
#include "mainwindowtest.h"

#include <QDockWidget>
#include <QMenu>
#include <QScreen>
#include <QSet>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

using ecosystem::render::GlExtensions;
using gui::OglWidget;
using gui::actionhandling::TimeKeeper;
using guitest::keepScreenshot;

namespace {

QList<int> numbers(const QSignalSpy &spy)
{
    QList<int> result;
    for (const QList<QVariant> &call : spy)
        result << call.at(0).toInt();
    return result;
}

} // namespace

void TestMainWindow::everyActionIsInExactlyOneMenuWithAShortcutNoOtherHas()
{
    QSet<QKeySequence> shortcuts;
    int actions = 0;
    for (QAction *a : w.window->findChildren<QAction *>()) {
        if (!a->objectName().startsWith(QLatin1String("action")))
            continue;
        ++actions;
        int menus = 0;
        for (QMenu *m : w.window->findChildren<QMenu *>())
            menus += m->actions().contains(a) ? 1 : 0;
        QVERIFY2(menus == 1, qPrintable(a->objectName()));
        QVERIFY2(!a->shortcut().isEmpty() && !shortcuts.contains(a->shortcut()), qPrintable(a->objectName()));
        shortcuts.insert(a->shortcut());
    }
    QVERIFY(actions >= 86);
    for (QToolBar *bar : w.window->findChildren<QToolBar *>())
        for (QAction *a : bar->actions())
            QVERIFY2(a->isSeparator() || !a->icon().pixmap(24, 24).isNull(), qPrintable(a->objectName()));
}

void TestMainWindow::everyViewSwitchFlipsTheModelKeepsItsCheckMarkAndRepaintsAsListed()
{
    for (const auto &info : ecosystem::render::viewOptionTable()) {
        if (info.option == ViewOption::SingleRender)
            continue;
        QAction *a = w.action(info.actionName.data());
        const bool before = w.model()->isViewOptionOn(info.option);
        QCOMPARE(a->isChecked(), before);
        QTest::qWait(30);
        const int frames = w.framesDrawn();
        a->trigger();
        QVERIFY2(w.model()->isViewOptionOn(info.option) == !before && a->isChecked() == !before,
                 info.name.data());
        if (info.actionRepaints) {
            QTRY_VERIFY2(w.framesDrawn() > frames, info.name.data());
        } else {
            QTest::qWait(60);
            QVERIFY2(w.framesDrawn() == frames, info.name.data());
        }
        a->trigger();
        QVERIFY2(w.model()->isViewOptionOn(info.option) == before && a->isChecked() == before,
                 info.name.data());
    }
    // The tree scale is one of four, with its check mark.
    const char *scales[] = {"actionTree_scale_1", "actionTree_scale_2", "actionTree_scale_5",
                            "actionTree_scale_10"};
    for (std::size_t i = 0; i < std::size(scales); ++i) {
        triggerAndSeeRepaint(scales[i]);
        QCOMPARE(w.model()->getTreeScale(), ecosystem::render::TreeScales[i]);
        for (std::size_t j = 0; j < std::size(scales); ++j)
            QCOMPARE(w.action(scales[j])->isChecked(), i == j);
    }
    w.action(scales[0])->trigger();
    QCOMPARE(w.model()->getTreeScale(), 1);
}

void TestMainWindow::treeSwitchesActOnTheCurrentTreeWithTheirCheckMarksAndWireframeIsKeptPerMode()
{
    w.setTreeEditMode(true);
    const std::pair<const char *, std::function<bool()>> switches[] = {
        {"actionDisplay_leaves", [this] { return w.tree()->designedParameters().displayLeaves; }},
        {"actionColour_uppon", [this] { return w.tree()->settings().colourByOrders; }},
        {"actionHigh_quality_rendering_more_polygons", [this] { return w.tree()->settings().highQuality; }},
        {"actionDisplay_background_sky", [this] { return w.tree()->settings().backgroundSky; }},
    };
    for (const auto &[name, state] : switches) {
        for (int flip = 0; flip < 2; ++flip) {
            const bool before = state();
            w.action(name)->trigger();
            QVERIFY2(state() == !before && w.action(name)->isChecked() == !before, name);
            // The sky behind the tree is the ecosystem's sky.
            QCOMPARE(w.tree()->settings().backgroundSky, w.model()->isViewOptionOn(ViewOption::DisplaySky));
        }
    }
    // Wireframe in tree edit mode is the tree's own; the ecosystem stays solid.
    w.action("actionRender_wireframe")->trigger();
    QVERIFY(w.tree()->settings().wireframe);
    QVERIFY(!w.model()->viewOptions().isOn(ViewOption::Wireframe));
    QVERIFY(w.action("actionRender_wireframe")->isChecked());
    w.setTreeEditMode(false);
    QVERIFY(!w.action("actionRender_wireframe")->isChecked());
    w.setTreeEditMode(true);
    // Switching modes clears the tree's wireframe.
    QVERIFY(!w.tree()->settings().wireframe);

    const float leaf = w.tree()->designedParameters().leafSize;
    w.action("actionEnlarge_leave_size")->trigger();
    QCOMPARE(w.tree()->designedParameters().leafSize, leaf * 1.1f);
    w.action("actionReduce_leave_size")->trigger();
    QCOMPARE(w.tree()->designedParameters().leafSize, leaf * 1.1f * 0.91f);
    w.setTreeEditMode(false);
}

void TestMainWindow::navigationInTreeEditModeMovesTheTreeAtOnce()
{
    w.setTreeEditMode(true);
    const struct {
        const char *action;
        float up, side;
    } steps[] = {{"actionMove_forward", 1.0f, 0.0f},
                 {"actionMove_backward", -1.0f, 0.0f},
                 {"actionMove_forward_more", 10.0f, 0.0f},
                 {"actionMove_backward_more", -10.0f, 0.0f},
                 {"actionMove_forward_less", 0.1f, 0.0f},
                 {"actionMove_backward_less", -0.1f, 0.0f},
                 {"actionRotate_left", 0.0f, 1.0f},
                 {"actionRotate_right", 0.0f, -1.0f},
                 {"actionMove_up", 0.0f, 0.0f},
                 {"actionMove_left_more", 0.0f, 0.0f},
                 {"actionRotate_in", 0.0f, 0.0f},
                 {"actionSwitch_to_next_predefined_camera", 0.0f, 0.0f}};
    for (const auto &s : steps) {
        const float up = camera()->orbitUp;
        const float side = camera()->orbitSide;
        const math::Vector3f position = camera()->position;
        const int predefined = camera()->predefinedIndex;
        triggerAndSeeRepaint(s.action);
        QVERIFY2(std::fabs(camera()->orbitUp - up - s.up) < 1e-5f, s.action);
        QVERIFY2(std::fabs(camera()->orbitSide - side - s.side) < 1e-5f, s.action);
        QVERIFY2(camera()->position == position && camera()->predefinedIndex == predefined, s.action);
        QVERIFY2(!w.window->timeKeeper()->cameraAnimationRunning(), s.action);
    }
    w.setTreeEditMode(false);
}

void TestMainWindow::navigationInEcosystemModeCoastsToAStop()
{
    // The surface rule would otherwise lift the eye wherever it is below the ground.
    if (camera()->keepAboveSurface)
        w.action("actionKeep_camera_position_above_terrain_surface_ecosystem_mode")->trigger();
    QVERIFY(!camera()->keepAboveSurface);
    QVERIFY(!w.action("actionKeep_camera_position_above_terrain_surface_ecosystem_mode")->isChecked());

    // One step coasts for seven ticks, 0.9 + 0.81 + ... while the speed is above 0.5.
    float expected = 0.0f;
    for (float v = 0.9f; v >= 0.5f * 0.9f; v *= 0.9f)
        expected += v;
    const float y = camera()->position.y;
    w.action("actionMove_up")->trigger();
    QVERIFY(w.window->timeKeeper()->cameraAnimationRunning());
    // Coasting frames draw the plants as impostors; a moment after rest the frame is exact again.
    QVERIFY(w.model()->treeMeshes().isCameraMoving());
    waitForCameraToRest();
    QTRY_VERIFY_WITH_TIMEOUT(!w.model()->treeMeshes().isCameraMoving(), 5000);
    QVERIFY(std::fabs(camera()->position.y - y - expected) < 1e-3f);
    const float heading = camera()->heading;
    w.action("actionRotate_right")->trigger();
    waitForCameraToRest();
    QVERIFY(std::fabs(camera()->heading - heading - expected) < 1e-3f);

    // Forward follows the viewing direction in the ground plane; right is across it.
    camera()->updateDirection();
    const math::Vector3f direction = camera()->direction;
    for (const auto &[name, along] :
         {std::pair("actionMove_forward_more", direction),
          std::pair("actionMove_right", math::Vector3f(-direction.z, 0.0f, direction.x))}) {
        const math::Vector3f start = camera()->position;
        w.action(name)->trigger();
        waitForCameraToRest();
        const math::Vector3f moved = camera()->position - start;
        QVERIFY2(moved.length() > 1.0f && std::fabs(moved.y) < 1e-3f, name);
        QVERIFY2(moved.dot(along) > 0.99f * moved.length(), name);
    }
    w.action("actionReset_camera_view")->trigger();
    QCOMPARE(camera()->position, math::Vector3f(1300.0f, 250.0f, 790.0f));

    // A sequence export keeps the frames as they are drawn at rest.
    TimeKeeper keeper(nullptr, w.model());
    const auto coasting = [&] { return w.model()->treeMeshes().isCameraMoving(); };
    keeper.startCameraAnimation();
    QVERIFY(coasting());
    keeper.toggleAnimationExportingMode();
    QVERIFY(!coasting());
    keeper.toggleAnimationExportingMode();
    QVERIFY(coasting());
    // A key soon after rest finds the quick frames still on.
    keeper.stopCameraAnimation();
    QVERIFY(coasting());
    QTRY_VERIFY_WITH_TIMEOUT(!coasting(), 5000);
}

void TestMainWindow::mouseDragsChangeTheOrbitValues()
{
    OglWidget *view = w.view();
    const auto send = [view](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        guitest::sendMouse(view, type, at, button, held);
    };
    QSignalSpy grabs(view, &OglWidget::grabCamera);
    const float distance = camera()->orbitDistance;
    send(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, {100, 150}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, {100, 200}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {100, 200}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(camera()->orbitDistance, distance + 10.0f);
    QCOMPARE(grabs.count(), 1);

    const float yaw = camera()->orbitYaw;
    const float pitch = camera()->orbitPitch;
    send(QEvent::MouseButtonPress, {100, 100}, Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, {150, 80}, Qt::NoButton, Qt::RightButton);
    send(QEvent::MouseButtonRelease, {150, 80}, Qt::RightButton, Qt::NoButton);
    QCOMPARE(camera()->orbitYaw, yaw + 5.0f);
    QCOMPARE(camera()->orbitPitch, pitch - 2.0f);

    // Both buttons: a left drag only; after the release a move changes nothing.
    send(QEvent::MouseButtonPress, {100, 100}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    send(QEvent::MouseMove, {130, 110}, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    send(QEvent::MouseButtonRelease, {130, 110}, Qt::RightButton, Qt::NoButton);
    send(QEvent::MouseMove, {300, 300}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(camera()->orbitYaw, yaw + 5.0f);
    QCOMPARE(camera()->orbitDistance, distance + 11.0f);
}

void TestMainWindow::treeAnimationsRunTheTreeTimerUntilTheLastIsSwitchedOff()
{
    w.setTreeEditMode(true);
    auto *keeper = w.window->timeKeeper();
    QVERIFY(!keeper->treeAnimationRunning());
    w.action("actionGrow_tree")->trigger();
    QVERIFY(w.tree()->settings().growing && w.action("actionGrow_tree")->isChecked());
    QVERIFY(keeper->treeAnimationRunning());
    const double progress = w.tree()->settings().growthProgress;
    QTRY_VERIFY(w.tree()->settings().growthProgress > progress + 0.002);

    w.action("actionSpin_tree")->trigger();
    w.action("actionSway_tree_in_wind")->trigger();
    QVERIFY(w.tree()->settings().spinning && w.tree()->settings().windOn);
    const double angle = w.tree()->settings().spinAngle;
    QTRY_VERIFY(w.tree()->settings().spinAngle > angle + 10.0);

    w.action("actionGrow_tree")->trigger();
    w.action("actionSpin_tree")->trigger();
    QTest::qWait(60);
    QVERIFY(keeper->treeAnimationRunning());
    w.action("actionSway_tree_in_wind")->trigger();
    QTRY_VERIFY(!keeper->treeAnimationRunning());
    QVERIFY(!w.action("actionSway_tree_in_wind")->isChecked());
    w.setTreeEditMode(false);
}

void TestMainWindow::addViewTwiceGivesThreeStackedViewsThatAllRepaintAndAFloatedOneKeepsDrawing()
{
    w.action("actionAdd_view")->trigger();
    w.action("actionAdd_view")->trigger();
    const auto views = w.window->views();
    QCOMPARE(views.size(), 3);
    QCOMPARE(w.window->centralWidget()->findChild<QVBoxLayout *>(QStringLiteral("vboxLayout"))->count(), 3);
    QList<int> frames;
    for (OglWidget *view : views) {
        QTRY_VERIFY_WITH_TIMEOUT(view->framesDrawn() > 0, 10000);
        QCOMPARE(view->currentModel(), w.model());
        frames << view->framesDrawn();
    }
    w.action("actionDisplay_sun")->trigger();
    w.action("actionDisplay_sun")->trigger();
    for (int i = 0; i < 3; ++i)
        QTRY_VERIFY(views.at(i)->framesDrawn() > frames.at(i));
    QVERIFY(views.at(0)->mapTo(w.window.get(), QPoint()).y() <
            views.at(1)->mapTo(w.window.get(), QPoint()).y());
    QVERIFY(views.at(1)->mapTo(w.window.get(), QPoint()).y() <
            views.at(2)->mapTo(w.window.get(), QPoint()).y());
    keepScreenshot(w.window->grab().toImage(), QStringLiteral("mainwindow-three-views.png"));

    OglWidget *view = views.last();
    auto *dock = qobject_cast<QDockWidget *>(view->parentWidget());
    QVERIFY(dock != nullptr);
    dock->setFloating(true);
    QVERIFY(QTest::qWaitForWindowExposed(dock));
    const int floated = view->framesDrawn();
    const int firstFrames = w.framesDrawn();
    w.action("actionDisplay_sun")->trigger();
    QTRY_VERIFY(view->framesDrawn() > floated);
    QTRY_VERIFY(w.framesDrawn() > firstFrames);
    dock->setFloating(false);
    const int docked = view->framesDrawn();
    w.action("actionDisplay_sun")->trigger();
    QTRY_VERIFY(view->framesDrawn() > docked);
}

// A running simulation exported as a sequence gives one image per step, each grabbed once its
// step is in, although the steps of a running simulation are taken on the worker thread.
void TestMainWindow::sequenceExportOfARunningSimulationGrabsEachStepOnceItIsIn()
{
    auto *keeper = w.window->timeKeeper();
    w.action("actionAnimation_rendering_mode_Sequence_export")->trigger();
    QVERIFY(keeper->isExporting());
    QSignalSpy living(w.model(), &EcosystemRender::nrPlantsLivingChanged);
    std::vector<std::pair<bool, int>> atImage; // a step pending, steps reported
    connect(keeper, &TimeKeeper::grabFrameBuffer, this,
            [&] { atImage.emplace_back(w.model()->isStepPending(), int(living.count())); });
    {
        guitest::StdoutCapture console;
        w.action("actionRun_simulation")->trigger();
        QTRY_VERIFY(atImage.size() >= 3);
        w.action("actionRun_simulation")->trigger();
    }
    disconnect(keeper, &TimeKeeper::grabFrameBuffer, this, nullptr);
    for (std::size_t i = 0; i < atImage.size(); ++i) {
        QVERIFY(!atImage[i].first);
        QCOMPARE(atImage[i].second, int(i) + 1);
    }
    w.action("actionAnimation_rendering_mode_Sequence_export")->trigger();
    QVERIFY(!keeper->isExporting());
    QCOMPARE(keeper->nextFrameNumber(), 0);
}

void TestMainWindow::extensionListIsSplitAtSingleBlanksAndComparedExactly()
{
    const struct {
        const char *list;
        bool multitexture, compiledVertexArray;
    } lists[] = {{"GL_ARB_foo GL_ARB_multitexture  GL_EXT_compiled_vertex_array", true, true},
                 {"GL_ARB_multitextures gl_ext_compiled_vertex_array GL_EXT_compiled", false, false},
                 {"", false, false}};
    for (const auto &[list, multitexture, compiledVertexArray] : lists) {
        const auto listed = GlExtensions::listedIn(list);
        QVERIFY2(listed.queried(), list);
        QVERIFY2(listed.listsMultitexture() == multitexture, list);
        QVERIFY2(listed.listsCompiledVertexArray() == compiledVertexArray, list);
    }
    QVERIFY(!GlExtensions::listedIn(nullptr).queried());
}

void TestMainWindow::failoverNoticeIsGivenOnceAndOnlyIfTheFirstListedDriverLacksTheExtension()
{
    using Notice = OglWidget::ExtensionNotice;
    const auto lacking = GlExtensions::listedIn("GL_ARB_multitexture");
    const auto having = GlExtensions::listedIn("GL_EXT_compiled_vertex_array");
    const auto unreadable = GlExtensions::listedIn(nullptr);
    bool pending = true;
    QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::CompiledVertexArrayFailover);
    QVERIFY(!pending);
    QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::None);
    pending = true;
    QCOMPARE(OglWidget::extensionNotice(having, pending), Notice::None);
    QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::None);
    // A driver without a list says so for every view and leaves the failover notice pending.
    pending = true;
    QCOMPARE(OglWidget::extensionNotice(unreadable, pending), Notice::CouldNotQuery);
    QCOMPARE(OglWidget::extensionNotice(unreadable, pending), Notice::CouldNotQuery);
    QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::CompiledVertexArrayFailover);
}

void TestMainWindow::simulationExportNumbersOneImagePerStepAndStoppingRestartsTheNumbering()
{
    TimeKeeper keeper(nullptr, nullptr);
    QSignalSpy stopped(&keeper, &TimeKeeper::sequenceExportStopped);
    QSignalSpy images(&keeper, &TimeKeeper::grabFrameBuffer);
    QSignalSpy geometry(&keeper, &TimeKeeper::grabGeometry);
    keeper.simmulationTimerUpdate();
    QCOMPARE(images.count(), 0);
    keeper.toggleAnimationExportingMode();
    for (int i = 0; i < 3; ++i)
        keeper.simmulationTimerUpdate();
    keeper.forceUpdateGl();
    QCOMPARE(keeper.nextFrameNumber(), 5);
    QCOMPARE(stopped.count(), 0);
    keeper.toggleAnimationExportingMode();
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(keeper.nextFrameNumber(), 0);
    keeper.forceUpdateGl();
    QCOMPARE(images.count(), 4);
    keeper.toggleAnimationExportingMode();
    keeper.simmulationTimerUpdate();
    QCOMPARE(numbers(images), QList<int>({0, 1, 2, 4, 0}));
    QCOMPARE(numbers(geometry), QList<int>({3}));
}

void TestMainWindow::viewAddedAfterTheLastWasClosedDrawsAtOnce()
{
    for (OglWidget *view : w.window->views()) {
        auto *dock = qobject_cast<QDockWidget *>(view->parentWidget());
        QVERIFY(dock != nullptr);
        dock->close();
        QTRY_VERIFY(!view->isVisible());
    }
    w.action("actionAdd_view")->trigger();
    gui::OglWidget *added = w.window->views().last();
    QTRY_VERIFY_WITH_TIMEOUT(added->isVisible() && added->framesDrawn() > 0, 10000);
    // What the screen shows there: the terrain and sky, not the empty grey of the dock.
    QTest::qWait(200);
    const QPoint corner = added->mapToGlobal(QPoint());
    const QImage picture =
        added->screen()->grabWindow(0, corner.x(), corner.y(), added->width(), added->height()).toImage();
    guitest::keepScreenshot(picture, QStringLiteral("userjourney-added-view.png"));
    QVERIFY2(guitest::colourCount(picture) > 50, "the added view shows nothing");
}

// Quitting comes last: it ends the event loop.
void TestMainWindow::quitClosesTheWindowAndEndsTheLoop()
{
    QTimer::singleShot(0, w.window.get(), [this] { w.action("actionQuit")->trigger(); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!w.window->isVisible());
}

VERDALIS_GUI_TEST_MAIN(TestMainWindow)
