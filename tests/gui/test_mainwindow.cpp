// The real main window under a virtual display: its form, the wiring of every action to the
// model and the handlers, the views, the mouse and a look at what the window shows.
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/viewoptions.h"
#include "gui/actionhandling/navigationhandler.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/actionhandling/viewhandler.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"
#include "lignet/treerenderer.h"
#include "modalcatcher.h"
#include "stdoutcapture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSet>
#include <QSignalSpy>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <memory>

using ecosystem::render::Camera;
using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;
using gui::MainWindow;
using gui::OglWidget;

namespace {

// Writes the window's picture where the build keeps its outputs, for a person to look at.
void keepScreenshot(const QImage &image, const QString &name)
{
    image.save(QStringLiteral(VERDALIS_BINARY_DIR "/") + name);
}

// Share of the sampled pixels in the rectangle whose colour differs from the colour at its centre
// by more than a small amount: a flat background gives 0, a drawn scene well above.
double varietyOf(const QImage &image, const QRect &area)
{
    int differing = 0;
    int total = 0;
    const QColor reference = image.pixelColor(area.center());
    for (int y = area.top(); y <= area.bottom(); y += 3) {
        for (int x = area.left(); x <= area.right(); x += 3) {
            const QColor c = image.pixelColor(x, y);
            const int d = std::abs(c.red() - reference.red()) + std::abs(c.green() - reference.green()) +
                          std::abs(c.blue() - reference.blue());
            differing += d > 30 ? 1 : 0;
            ++total;
        }
    }
    return total == 0 ? 0.0 : double(differing) / total;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> window;

    QAction *action(const char *name) const
    {
        auto *a = window->findChild<QAction *>(QString::fromLatin1(name));
        if (a == nullptr)
            qFatal("no action %s", name);
        return a;
    }

    EcosystemRender *model() const { return window->model(); }
    Camera *camera() const { return model()->getCamera(); }
    lignet::TreeRenderer *tree() const { return model()->getCurrentTree(); }
    bool treeEditMode() const { return model()->isViewOptionOn(ViewOption::SingleRender); }

    void setTreeEditMode(bool on)
    {
        if (treeEditMode() != on)
            action("actionShow_ecosystem")->trigger();
        QCOMPARE(treeEditMode(), on);
    }

    // Runs the camera timer until the coasting motion has stopped.
    void waitForCameraToRest()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!window->timeKeeper()->cameraAnimationRunning(), 5000);
    }

private slots:
    void initTestCase()
    {
        window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(window->model() != nullptr, 20000);
    }

    void cleanupTestCase() { window.reset(); }

    void everyActionIsInExactlyOneMenuWithAShortcutNoOtherHas()
    {
        QSet<QKeySequence> shortcuts;
        int actions = 0;
        for (QAction *a : window->findChildren<QAction *>()) {
            if (!a->objectName().startsWith(QLatin1String("action")))
                continue;
            ++actions;
            int menus = 0;
            for (QMenu *m : window->findChildren<QMenu *>())
                menus += m->actions().contains(a) ? 1 : 0;
            QVERIFY2(menus == 1, qPrintable(a->objectName()));
            QVERIFY2(!a->shortcut().isEmpty(), qPrintable(a->objectName()));
            QVERIFY2(!shortcuts.contains(a->shortcut()), qPrintable(a->objectName()));
            shortcuts.insert(a->shortcut());
        }
        QVERIFY(actions >= 86);
    }

    void everyToolbarButtonCarriesAPicture()
    {
        for (QToolBar *bar : window->findChildren<QToolBar *>())
            for (QAction *a : bar->actions())
                QVERIFY2(a->isSeparator() || !a->icon().pixmap(24, 24).isNull(), qPrintable(a->objectName()));
    }

    void startsInEcosystemModeAndShowEcosystemSwitchesModes()
    {
        QVERIFY(!treeEditMode());
        QVERIFY(action("actionShow_ecosystem")->isChecked());
        action("actionShow_ecosystem")->trigger();
        QVERIFY(treeEditMode());
        QVERIFY(!action("actionShow_ecosystem")->isChecked());
        window->firstView()->updateGL();
        keepScreenshot(window->grab().toImage(), QStringLiteral("mainwindow-tree-edit.png"));
        // The key reaches the same action.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_Space);
        QVERIFY(!treeEditMode());
        QVERIFY(action("actionShow_ecosystem")->isChecked());
    }

    void everyViewSwitchFlipsTheModelKeepsItsCheckMarkAndRepaintsAsListed()
    {
        OglWidget *view = window->firstView();
        for (const auto &info : ecosystem::render::viewOptionTable()) {
            if (info.option == ViewOption::SingleRender)
                continue;
            QAction *a = action(info.actionName.data());
            const bool before = model()->isViewOptionOn(info.option);
            QCOMPARE(a->isChecked(), before);
            // Let repaints asked for earlier arrive first.
            QTest::qWait(30);
            const int frames = view->framesDrawn();
            a->trigger();
            QVERIFY2(model()->isViewOptionOn(info.option) == !before, info.name.data());
            QVERIFY2(a->isChecked() == !before, info.name.data());
            if (info.actionRepaints) {
                QTRY_VERIFY2(view->framesDrawn() > frames, info.name.data());
            } else {
                QTest::qWait(60);
                QVERIFY2(view->framesDrawn() == frames, info.name.data());
            }
            a->trigger();
            QVERIFY2(model()->isViewOptionOn(info.option) == before, info.name.data());
            QVERIFY2(a->isChecked() == before, info.name.data());
        }
    }

    void treeScaleIsOneOfFourWithItsCheckMarkAndRepaints()
    {
        OglWidget *view = window->firstView();
        const char *names[] = {"actionTree_scale_1", "actionTree_scale_2", "actionTree_scale_5",
                               "actionTree_scale_10"};
        for (std::size_t i = 0; i < std::size(names); ++i) {
            QTest::qWait(30);
            const int frames = view->framesDrawn();
            action(names[i])->trigger();
            QCOMPARE(model()->getTreeScale(), ecosystem::render::TreeScales[i]);
            QTRY_VERIFY(view->framesDrawn() > frames);
            for (std::size_t j = 0; j < std::size(names); ++j)
                QCOMPARE(action(names[j])->isChecked(), i == j);
        }
        action(names[0])->trigger();
        QCOMPARE(model()->getTreeScale(), 1);
    }

    void treeSwitchesActOnTheCurrentTreeWithTheirCheckMarksAndWireframeIsKeptPerMode()
    {
        setTreeEditMode(true);
        const std::pair<const char *, std::function<bool()>> switches[] = {
            {"actionDisplay_leaves", [this] { return tree()->designedParameters().displayLeaves; }},
            {"actionColour_uppon", [this] { return tree()->settings().colourByOrders; }},
            {"actionHigh_quality_rendering_more_polygons", [this] { return tree()->settings().highQuality; }},
            {"actionDisplay_background_sky", [this] { return tree()->settings().backgroundSky; }},
        };
        for (const auto &[name, state] : switches) {
            for (int flip = 0; flip < 2; ++flip) {
                const bool before = state();
                action(name)->trigger();
                QVERIFY2(state() == !before, name);
                QVERIFY2(action(name)->isChecked() == !before, name);
                // The sky behind the tree is the ecosystem's sky.
                QCOMPARE(tree()->settings().backgroundSky, model()->isViewOptionOn(ViewOption::DisplaySky));
            }
        }

        // Wireframe in tree edit mode is the tree's own; the ecosystem stays solid.
        action("actionRender_wireframe")->trigger();
        QVERIFY(tree()->settings().wireframe);
        QVERIFY(!model()->viewOptions().isOn(ViewOption::Wireframe));
        QVERIFY(action("actionRender_wireframe")->isChecked());
        setTreeEditMode(false);
        QVERIFY(!action("actionRender_wireframe")->isChecked());
        setTreeEditMode(true);
        // Switching modes clears the tree's wireframe.
        QVERIFY(!tree()->settings().wireframe);
        setTreeEditMode(false);
    }

    void navigationInTreeEditModeMovesTheTreeAtOnce()
    {
        setTreeEditMode(true);
        struct Step {
            const char *action;
            float up;
            float side;
        };
        const Step steps[] = {
            {"actionMove_forward", 1.0f, 0.0f},
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
            {"actionSwitch_to_next_predefined_camera", 0.0f, 0.0f},
        };
        for (const Step &s : steps) {
            const float up = camera()->orbitUp;
            const float side = camera()->orbitSide;
            const math::Vector3f position = camera()->position;
            const int predefined = camera()->predefinedIndex;
            const int frames = window->firstView()->framesDrawn();
            action(s.action)->trigger();
            QVERIFY2(std::fabs(camera()->orbitUp - up - s.up) < 1e-5f, s.action);
            QVERIFY2(std::fabs(camera()->orbitSide - side - s.side) < 1e-5f, s.action);
            QVERIFY2(camera()->position == position, s.action);
            QVERIFY2(camera()->predefinedIndex == predefined, s.action);
            QVERIFY2(!window->timeKeeper()->cameraAnimationRunning(), s.action);
            QTRY_VERIFY2(window->firstView()->framesDrawn() > frames, s.action);
        }
        setTreeEditMode(false);
    }

    void navigationInEcosystemModeCoastsToAStop()
    {
        setTreeEditMode(false);
        // The surface rule would otherwise lift the eye wherever it is below the ground.
        if (camera()->keepAboveSurface)
            action("actionKeep_camera_position_above_terrain_surface_ecosystem_mode")->trigger();
        QVERIFY(!camera()->keepAboveSurface);
        QVERIFY(!action("actionKeep_camera_position_above_terrain_surface_ecosystem_mode")->isChecked());

        // One normal step: 0.9 + 0.81 + ... for seven ticks, until the speed is below 0.5.
        float expected = 0.0f;
        int ticks = 0;
        for (float v = 1.0f; std::fabs(v) >= 0.5f; ++ticks) {
            v *= 0.9f;
            expected += v;
        }
        QCOMPARE(ticks, 7);
        const float y = camera()->position.y;
        action("actionMove_up")->trigger();
        QVERIFY(window->timeKeeper()->cameraAnimationRunning());
        waitForCameraToRest();
        QVERIFY(std::fabs(camera()->position.y - y - expected) < 1e-3f);

        const float heading = camera()->heading;
        action("actionRotate_right")->trigger();
        waitForCameraToRest();
        QVERIFY(std::fabs(camera()->heading - heading - expected) < 1e-3f);
        const float pitch = camera()->lookPitch;
        action("actionRotate_up")->trigger();
        waitForCameraToRest();
        QVERIFY(std::fabs(camera()->lookPitch - pitch + expected) < 1e-3f);

        // A "less" step moves 0.09 once and stops.
        const float y2 = camera()->position.y;
        action("actionMove_down_less")->trigger();
        waitForCameraToRest();
        QVERIFY(std::fabs(camera()->position.y - y2 + 0.09f) < 1e-4f);

        // Forward follows the viewing direction in the ground plane; right is across it.
        camera()->updateDirection();
        const math::Vector3f direction = camera()->direction;
        math::Vector3f start = camera()->position;
        action("actionMove_forward_more")->trigger();
        waitForCameraToRest();
        math::Vector3f moved = camera()->position - start;
        QVERIFY(moved.length() > 200.0f);
        QVERIFY(std::fabs(moved.y) < 1e-3f);
        QVERIFY(moved.dot(direction) > 0.99f * moved.length());
        start = camera()->position;
        action("actionMove_right")->trigger();
        waitForCameraToRest();
        moved = camera()->position - start;
        const math::Vector3f right(-direction.z, 0.0f, direction.x);
        QVERIFY(moved.dot(right) > 0.99f * moved.length());

        action("actionKeep_camera_position_above_terrain_surface_ecosystem_mode")->trigger();
        QVERIFY(camera()->keepAboveSurface);
        action("actionForce_camera_position_at_terrain_surface_ecosystem_mode")->trigger();
        QVERIFY(camera()->forceAtSurface);
        QVERIFY(action("actionForce_camera_position_at_terrain_surface_ecosystem_mode")->isChecked());
        action("actionForce_camera_position_at_terrain_surface_ecosystem_mode")->trigger();
        QVERIFY(!camera()->forceAtSurface);

        const std::size_t predefined = camera()->predefinedPositions.size();
        action("actionSave_camera_as_predefined")->trigger();
        QCOMPARE(camera()->predefinedPositions.size(), predefined + 1);
        action("actionSwitch_to_next_predefined_camera")->trigger();
        QCOMPARE(camera()->position, camera()->predefinedPositions.at(camera()->predefinedIndex));

        action("actionReset_camera_view")->trigger();
        QCOMPARE(camera()->position, math::Vector3f(1300.0f, 250.0f, 790.0f));
        QCOMPARE(camera()->heading, 270.0f);
    }

    void viewKeepsANinetyDegreeVerticalFieldAndItsOwnProportions()
    {
        OglWidget *view = window->firstView();
        // This driver lists both extensions, so no view has anything to report.
        QVERIFY(view->hasMultitexture());
        QVERIFY(view->hasCompiledVertexArrays());
        QVERIFY(!OglWidget::failoverMessagePending());
        QCOMPARE(view->updateBehavior(), QOpenGLWidget::PartialUpdate);

        const QSize original = window->size();
        for (const QSize size : {QSize(1200, 700), QSize(800, 1000)}) {
            window->resize(size);
            QTRY_VERIFY(view->width() > 0);
            QApplication::processEvents();
            view->makeCurrent();
            GLfloat projection[16];
            glGetFloatv(GL_PROJECTION_MATRIX, projection);
            GLint viewport[4];
            glGetIntegerv(GL_VIEWPORT, viewport);
            view->doneCurrent();
            // gluPerspective(90, width / height, 1, 30000): cot(45 degrees) vertically, divided by
            // the view's aspect horizontally, so nothing is stretched.
            QVERIFY(std::fabs(projection[0] - float(view->height()) / float(view->width())) < 1e-5f);
            QVERIFY(std::fabs(projection[5] - 1.0f) < 1e-5f);
            QVERIFY(std::fabs(projection[10] - (30001.0f / -29999.0f)) < 1e-5f);
            QVERIFY(std::fabs(projection[14] - (2.0f * 30000.0f / -29999.0f)) < 1e-4f);
            QCOMPARE(projection[11], -1.0f);
            const qreal ratio = view->devicePixelRatio();
            QCOMPARE(viewport[2], int(view->width() * ratio));
            QCOMPARE(viewport[3], int(view->height() * ratio));
        }
        window->resize(original);
    }

    void mouseDragsChangeTheOrbitValues()
    {
        OglWidget *view = window->firstView();
        auto send = [view](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)), button, held,
                              Qt::NoModifier);
            QApplication::sendEvent(view, &event);
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

        // Both buttons: a left drag only.
        const float yaw2 = camera()->orbitYaw;
        const float distance2 = camera()->orbitDistance;
        send(QEvent::MouseButtonPress, {100, 100}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
        send(QEvent::MouseMove, {130, 110}, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
        send(QEvent::MouseButtonRelease, {130, 110}, Qt::RightButton, Qt::NoButton);
        QCOMPARE(camera()->orbitYaw, yaw2);
        QCOMPARE(camera()->orbitDistance, distance2 + 1.0f);
        // After the release a move changes nothing.
        send(QEvent::MouseMove, {300, 300}, Qt::NoButton, Qt::NoButton);
        QCOMPARE(camera()->orbitDistance, distance2 + 1.0f);
    }

    void treeAnimationsRunTheTreeTimerUntilTheLastIsSwitchedOff()
    {
        setTreeEditMode(true);
        auto *keeper = window->timeKeeper();
        QVERIFY(!keeper->treeAnimationRunning());
        action("actionGrow_tree")->trigger();
        QVERIFY(tree()->settings().growing);
        QVERIFY(action("actionGrow_tree")->isChecked());
        QVERIFY(keeper->treeAnimationRunning());
        const double progress = tree()->settings().growthProgress;
        QTRY_VERIFY(tree()->settings().growthProgress > progress + 0.002);

        action("actionSpin_tree")->trigger();
        action("actionSway_tree_in_wind")->trigger();
        QVERIFY(tree()->settings().spinning);
        QVERIFY(tree()->settings().windOn);
        const double angle = tree()->settings().spinAngle;
        QTRY_VERIFY(tree()->settings().spinAngle > angle + 10.0);

        action("actionGrow_tree")->trigger();
        action("actionSpin_tree")->trigger();
        QTest::qWait(60);
        QVERIFY(keeper->treeAnimationRunning());
        action("actionSway_tree_in_wind")->trigger();
        QTRY_VERIFY(!keeper->treeAnimationRunning());
        QVERIFY(!action("actionSway_tree_in_wind")->isChecked());
        setTreeEditMode(false);
    }

    void leafSizeAndSpeciesActionsReachTheModel()
    {
        setTreeEditMode(true);
        const float leaf = tree()->designedParameters().leafSize;
        action("actionEnlarge_leave_size")->trigger();
        QCOMPARE(tree()->designedParameters().leafSize, leaf * 1.1f);
        action("actionReduce_leave_size")->trigger();
        QCOMPARE(tree()->designedParameters().leafSize, leaf * 1.1f * 0.91f);

        const int index = model()->getCurrentTreeIndex();
        action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
        QCOMPARE(model()->getCurrentTreeIndex(), (index + 1) % 6);
        for (int i = 0; i < 5; ++i)
            action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
        QCOMPARE(model()->getCurrentTreeIndex(), index);
        setTreeEditMode(false);
    }

    void everyDesignActionOpensItsDialogWithoutAnyBox()
    {
        ModalCatcher catcher;
        const char *designActions[] = {"actionDesign_strand_distribution",
                                       "actionDesign_branching_angles",
                                       "actionDesign_branch_absolute_minimal_length",
                                       "actionDesign_branch_absolute_maximal_length",
                                       "actionDesign_branch_lenght_scaling",
                                       "actionDesign_gravimorphism_impact_distribution",
                                       "actionAdvanced_tree_properties"};
        for (const char *name : designActions)
            action(name)->trigger();
        QTest::qWait(100);
        QVERIFY(catcher.texts.isEmpty());
        QList<QPointer<QDialog>> opened;
        for (QDialog *dialog : window->findChildren<QDialog *>()) {
            if (dialog->isVisible())
                opened << dialog;
        }
        QCOMPARE(opened.size(), 7);
        for (const QPointer<QDialog> &dialog : opened)
            dialog->reject();
        for (const QPointer<QDialog> &dialog : opened)
            QTRY_VERIFY(dialog.isNull());
    }

    void runSimulationStepsPrintsTheLogLineAndShowsTrees()
    {
        setTreeEditMode(false);
        window->firstView()->updateGL();
        const QImage before = window->grab().toImage();
        keepScreenshot(before, QStringLiteral("mainwindow-ecosystem-start.png"));
        const QRect viewArea(window->firstView()->mapTo(window.get(), QPoint(0, 0)),
                             window->firstView()->size());
        QVERIFY2(varietyOf(before, viewArea) > 0.05, "the terrain is not drawn");

        // Young trees are small: the eye goes down to the ground to see them.
        action("actionForce_camera_position_at_terrain_surface_ecosystem_mode")->trigger();
        window->firstView()->updateGL();
        const QImage ground = window->grab().toImage();

        // Ten simulation steps per drawn frame keep the run short.
        for (int i = 0; i < 9; ++i)
            action("actionCompute_more_simulation_steps_per_one_rendered_frame")->trigger();
        QCOMPARE(model()->getFrameSkip(), 10);
        const int framesBefore = window->firstView()->framesDrawn();
        // The forest grows fast after forty years, and so does the time to draw it.
        const int wantedSteps = 40;
        QSignalSpy living(model(), &EcosystemRender::nrPlantsLivingChanged);
        connect(model(), &EcosystemRender::nrPlantsLivingChanged, this, [this, &living] {
            if (living.count() == wantedSteps)
                action("actionRun_simulation")->trigger();
        });
        // The test log goes to standard output too, so the capture ends before anything is checked.
        auto console = std::make_unique<StdoutCapture>();
        action("actionRun_simulation")->trigger();
        const bool running = window->timeKeeper()->simulationRunning();
        const bool checked = action("actionRun_simulation")->isChecked();
        QElapsedTimer clock;
        clock.start();
        while (window->timeKeeper()->simulationRunning() && clock.elapsed() < 120000)
            QTest::qWait(20);
        const QString out = console->text();
        console.reset();
        disconnect(model(), &EcosystemRender::nrPlantsLivingChanged, this, nullptr);
        if (window->timeKeeper()->simulationRunning())
            action("actionRun_simulation")->trigger();
        QVERIFY(running);
        QVERIFY(checked);
        QCOMPARE(int(living.count()), wantedSteps);
        QVERIFY(!window->timeKeeper()->simulationRunning());
        QVERIFY(!action("actionRun_simulation")->isChecked());
        QVERIFY2(window->firstView()->framesDrawn() - framesBefore <= wantedSteps / 10 + 2,
                 "the frame skip did not thin the repaints");
        for (int i = 0; i < 9; ++i)
            action("actionCompute_less_simulation_steps_per_one_rendered_frame")->trigger();
        QCOMPARE(model()->getFrameSkip(), 1);
        QVERIFY2(out.contains(QStringLiteral("@1: time(render_all)=")), qPrintable(out.left(400)));
        QVERIFY(out.contains(QStringLiteral("@40: time(render_all)=")));
        QVERIFY(out.contains(QStringLiteral(" nrPlants=")));
        QVERIFY(model()->isSimulationInitialised());

        window->firstView()->updateGL();
        const QImage after = window->grab().toImage();
        keepScreenshot(ground, QStringLiteral("mainwindow-ground-start.png"));
        keepScreenshot(after, QStringLiteral("mainwindow-ground-after-steps.png"));
        QVERIFY(model()->getLastRenderedCount() > 0);
        int changed = 0;
        for (int y = viewArea.top(); y < viewArea.bottom(); y += 2)
            for (int x = viewArea.left(); x < viewArea.right(); x += 2)
                changed += ground.pixel(x, y) != after.pixel(x, y) ? 1 : 0;
        // Only the trees can change pixels between the two pictures, which share the camera.
        QVERIFY2(changed > 40, "no trees appeared after the steps");

        action("actionForce_camera_position_at_terrain_surface_ecosystem_mode")->trigger();
        QVERIFY(!camera()->forceAtSurface);
        window->firstView()->updateGL();
        keepScreenshot(window->grab().toImage(), QStringLiteral("mainwindow-ecosystem-after-steps.png"));
    }

    void addViewTwiceGivesThreeStackedViewsThatAllRepaint()
    {
        // The forest of the previous test is slow to draw in software, and the terrain is enough for
        // the tests that follow, so the trees stay hidden from here on.
        action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
        QVERIFY(model()->isViewOptionOn(ViewOption::DoNotDrawTrees));
        action("actionAdd_view")->trigger();
        action("actionAdd_view")->trigger();
        QCOMPARE(window->views().size(), 3);
        auto *vbox = window->centralWidget()->findChild<QVBoxLayout *>(QStringLiteral("vboxLayout"));
        QCOMPARE(vbox->count(), 3);
        for (OglWidget *view : window->views()) {
            QTRY_VERIFY_WITH_TIMEOUT(view->framesDrawn() > 0, 10000);
            QCOMPARE(view->currentModel(), model());
        }
        QList<int> frames;
        for (OglWidget *view : window->views())
            frames << view->framesDrawn();
        action("actionDisplay_sun")->trigger();
        action("actionDisplay_sun")->trigger();
        for (int i = 0; i < 3; ++i)
            QTRY_VERIFY(window->views().at(i)->framesDrawn() > frames.at(i));
        const auto views = window->views();
        QVERIFY(views.at(0)->mapTo(window.get(), QPoint()).y() <
                views.at(1)->mapTo(window.get(), QPoint()).y());
        QVERIFY(views.at(1)->mapTo(window.get(), QPoint()).y() <
                views.at(2)->mapTo(window.get(), QPoint()).y());
        keepScreenshot(window->grab().toImage(), QStringLiteral("mainwindow-three-views.png"));
    }

    void floatedViewKeepsDrawingTheSameModel()
    {
        OglWidget *view = window->views().last();
        auto *dock = qobject_cast<QDockWidget *>(view->parentWidget());
        QVERIFY(dock != nullptr);
        dock->setFloating(true);
        QVERIFY(QTest::qWaitForWindowExposed(dock));
        const int frames = view->framesDrawn();
        const int firstFrames = window->firstView()->framesDrawn();
        action("actionDisplay_sun")->trigger();
        QTRY_VERIFY(view->framesDrawn() > frames);
        QTRY_VERIFY(window->firstView()->framesDrawn() > firstFrames);
        QCOMPARE(view->currentModel(), model());
        dock->setFloating(false);
        const int dockedFrames = view->framesDrawn();
        action("actionDisplay_sun")->trigger();
        QVERIFY(!model()->isViewOptionOn(ViewOption::DisplaySun));
        QTRY_VERIFY(view->framesDrawn() > dockedFrames);
    }

    void sequenceExportNumbersFramesOfTheRunningWindow()
    {
        auto *keeper = window->timeKeeper();
        QSignalSpy geometry(keeper, &gui::actionhandling::TimeKeeper::grabGeometry);
        QSignalSpy images(keeper, &gui::actionhandling::TimeKeeper::grabFrameBuffer);
        action("actionAnimation_rendering_mode_Sequence_export")->trigger();
        QVERIFY(keeper->isExporting());
        setTreeEditMode(true);
        action("actionSpin_tree")->trigger();
        QTRY_VERIFY(images.count() >= 2);
        action("actionSpin_tree")->trigger();
        QTRY_VERIFY(!keeper->treeAnimationRunning());
        QCOMPARE(geometry.at(0).at(0).toInt(), 0);
        QCOMPARE(images.at(0).at(0).toInt(), 1);
        QCOMPARE(geometry.at(1).at(0).toInt(), 2);
        QCOMPARE(images.at(1).at(0).toInt(), 3);
        action("actionAnimation_rendering_mode_Sequence_export")->trigger();
        QVERIFY(!keeper->isExporting());
        QCOMPARE(keeper->nextFrameNumber(), 0);
        setTreeEditMode(false);
    }
};

// Quitting is checked on a window of its own, since it ends the event loop.
class TestQuit : public QObject {
    Q_OBJECT

private slots:
    void quitClosesTheWindowAndEndsTheLoop()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY_WITH_TIMEOUT(window.model() != nullptr, 20000);
        QTimer::singleShot(
            0, &window, [&window] { window.findChild<QAction *>(QStringLiteral("actionQuit"))->trigger(); });
        const int result = QApplication::exec();
        QCOMPARE(result, 0);
        QVERIFY(!window.isVisible());
    }
};

int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    int failures = 0;
    {
        TestMainWindow windowTests;
        failures += QTest::qExec(&windowTests, argc, argv);
    }
    // Test functions named on the command line belong to the window tests.
    TestQuit quitTest;
    failures += QTest::qExec(&quitTest, 1, argv);
    return failures == 0 ? 0 : 1;
}

#include "test_mainwindow.moc"
