// The real main window under a virtual display, opened once and given the keyboard before each test:
// its menus, keys, views and mouse wired to the model, the time keeper and the driver's extension list.
#include "ecosystem/render/camera.h"
#include "ecosystem/render/framerate.h"
#include "ecosystem/render/glextensions.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/simulation/simulationstatistics.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/statusreport.h"
#include "guitest.h"

#include <cmath>

using ecosystem::render::Camera;
using ecosystem::render::EcosystemRender;
using ecosystem::render::GlExtensions;
using ecosystem::render::ViewOption;
using gui::OglWidget;
using gui::actionhandling::TimeKeeper;

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

class TestMainWindow : public QObject {
    Q_OBJECT

    guitest::Window w;

    Camera *camera() const { return w.model()->getCamera(); }
    TimeKeeper *keeper() const { return w.window->timeKeeper(); }
    void waitForCameraToRest() { QTRY_VERIFY_WITH_TIMEOUT(!keeper()->cameraAnimationRunning(), 5000); }

    void triggerAndSeeRepaint(const char *name)
    {
        const int frames = w.settledFrames();
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
    void cleanup() { w.setTreeEditMode(false); }

    void freshStartAsksForF5AndCentresABoxWithoutParent()
    {
        QCOMPARE(w.status("statusMessage"), QStringLiteral("Press F5 to grow the forest"));

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

    void escAfterAMenuClosedResetsTheCameraAndMouseDragsAndTreeEditNavigationChangeTheOrbitValues()
    {
        // The first Esc closes the menu, the second resets the camera.
        QMenuBar *bar = w.window->menuBar();
        auto *menu = guitest::part<QMenu>(bar, "menuNavigation");
        camera()->position = {5.0f, 600.0f, 5.0f};
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        QTRY_VERIFY(menu->isVisible());
        press(Qt::Key_Escape);
        QTRY_VERIFY(!menu->isVisible());
        QTest::qWait(50);
        press(Qt::Key_Escape);
        QTRY_COMPARE(camera()->position, Camera::StandardViewpoints[1].position);

        // Ctrl+Shift+0 saves the camera; Ctrl+0 goes round the saved ones and reaches it within three.
        camera()->position = {700.0f, 1500.0f, 900.0f};
        press(Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier);
        camera()->position = {0.0f, 0.0f, 0.0f};
        int presses = 0;
        for (; camera()->position != math::Vector3f(700.0f, 1500.0f, 900.0f) && presses < 30; ++presses)
            press(Qt::Key_0, Qt::ControlModifier);
        QVERIFY2(presses <= 3, qPrintable(QString::number(presses)));
        press(Qt::Key_Escape);
    }

    void stepsPlantsDeathsFrameRateAndGrowthShowWhileAskedForAndCheckMarksFollowTheModel()
    {
        w.action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
        // High above the middle of the terrain, looking down on the young forest.
        camera()->position = {1250.0f, 700.0f, 1250.0f};
        camera()->heading = 0.0f;
        camera()->lookPitch = 89.0f;

        // F5 takes the hint away at once; the run stops itself after the step named here, and each
        // step's figures follow within half a second.
        int lastStep = 1;
        connect(w.model(), &EcosystemRender::nrPlantsLivingChanged, this, [&] {
            if (w.simulation().step() == lastStep)
                w.action("actionRun_simulation")->trigger();
        });
        for (const int last : {1, 6}) {
            lastStep = last;
            press(Qt::Key_F5);
            QCOMPARE(w.status("statusMessage"), QString());
            (void)QTest::qWaitFor([this] { return !keeper()->simulationRunning(); }, 60000);
            QTRY_COMPARE_WITH_TIMEOUT(w.status("statusSimulation"), stepFigures(), 1000);
            QVERIFY(w.status("statusSimulation").startsWith(QStringLiteral("Step %1, ").arg(last)));
        }
        disconnect(w.model(), &EcosystemRender::nrPlantsLivingChanged, this, nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(w.status("statusDrawn"),
                                  QStringLiteral("Plants drawn: %1").arg(w.model()->getLastRenderedCount()),
                                  1000);

        press(Qt::Key_Escape);
        w.action("actionDo_not_draw_trees_ecosystem_mode")->trigger();

        // Environmental deaths follow the simulation and are counted in the status bar.
        QAction *deaths = w.action("actionEnvironmentalDeaths");
        // Switched on the simulation itself, the next step brings the check mark in line.
        for (const bool on : {true, false}) {
            w.simulation().setEnvironmentalDeaths(on);
            w.model()->simulateNextStepAndUpdateGL();
            QCOMPARE(deaths->isChecked(), on);
        }
        deaths->trigger();
        for (int i = 0; i < 30; ++i)
            w.model()->simulateNextStepAndUpdateGL();
        const int died = w.simulation().statistics().environmentDeaths();
        QVERIFY(died > 0);
        QTRY_COMPARE_WITH_TIMEOUT(w.status("statusSimulation"),
                                  stepFigures() + QStringLiteral(", deaths by environment: %1").arg(died),
                                  1000);
        deaths->trigger();
        QVERIFY(!w.simulation().environmentalDeaths() && !deaths->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(w.status("statusSimulation"), stepFigures(), 1000);

        // The frame rate, steps per frame and growth show while asked for.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1300) {
            w.view()->updateGL();
            QTest::qWait(20);
        }
        QTest::qWait(gui::StatusReport::RefreshIntervalMs + 50);
        const QString shown = w.status("statusFrameRate");
        const double rate = ecosystem::render::FrameRate::shared().lastRate();
        QVERIFY(rate > 0.0);
        QCOMPARE(shown, QStringLiteral("%1 fps").arg(rate, 0, 'f', 1));

        press(Qt::Key_Plus);
        QCOMPARE(w.status("statusFrameSkip"), QStringLiteral("Steps per drawn frame: 2"));
        press(Qt::Key_Minus);
        QCOMPARE(w.status("statusFrameSkip"), QStringLiteral("Steps per drawn frame: 1"));

        // Tree edit mode says that the growth runs and starts over.
        press(Qt::Key_Space);
        QCOMPARE(w.status("statusMode"), QStringLiteral("Tree edit mode"));
        QTRY_COMPARE_WITH_TIMEOUT(w.status("statusDrawn"), QString(), 1000); // no forest drawn
        press(Qt::Key_R);
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
    }

    void everyActionIsInOneMenuWithItsOwnShortcutAndEveryViewAndTreeSwitchAndAnimationFollowsTheModel()
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
            QVERIFY2(!a->shortcut().isEmpty() && !shortcuts.contains(a->shortcut()),
                     qPrintable(a->objectName()));
            shortcuts.insert(a->shortcut());
        }
        QVERIFY(actions >= 86);
        for (QToolBar *bar : w.window->findChildren<QToolBar *>())
            for (QAction *a : bar->actions())
                QVERIFY2(a->isSeparator() || !a->icon().pixmap(24, 24).isNull(), qPrintable(a->objectName()));

        // Every view switch flips the model, keeps its check mark and repaints as listed.
        for (const auto &info : ecosystem::render::viewOptionTable()) {
            if (info.option == ViewOption::SingleRender)
                continue;
            QAction *a = w.action(info.actionName.data());
            const bool before = w.model()->isViewOptionOn(info.option);
            const int frames = w.settledFrames();
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
        }
        // The tree scale is one of four, with its check mark.
        const char *scales[] = {"actionTree_scale_1", "actionTree_scale_2", "actionTree_scale_5",
                                "actionTree_scale_10"};
        for (std::size_t i = 0; i < std::size(scales); ++i) {
            triggerAndSeeRepaint(scales[i]);
            QCOMPARE(w.model()->getTreeScale(), ecosystem::render::TreeScales[i]);
            QVERIFY(w.action(scales[i])->isChecked());
        }
        w.action(scales[0])->trigger();

        // The tree switches and animations act on the current tree; wireframe is kept per mode.
        w.setTreeEditMode(true);
        const std::pair<const char *, std::function<bool()>> switches[] = {
            {"actionDisplay_leaves", [this] { return w.live().displayLeaves; }},
            {"actionDisplay_background_sky", [this] { return w.tree()->settings().backgroundSky; }},
        };
        for (const auto &[name, state] : switches) {
            for (int flip = 0; flip < 2; ++flip) {
                const bool before = state();
                w.action(name)->trigger();
                QVERIFY2(state() == !before && w.action(name)->isChecked() == !before, name);
                // The sky behind the tree is the ecosystem's sky.
                QCOMPARE(w.tree()->settings().backgroundSky,
                         w.model()->isViewOptionOn(ViewOption::DisplaySky));
            }
        }
        // Wireframe in tree edit mode is the tree's own, the ecosystem stays solid, and switching
        // modes clears it.
        w.action("actionRender_wireframe")->trigger();
        QVERIFY(w.tree()->settings().wireframe);
        QVERIFY(!w.model()->viewOptions().isOn(ViewOption::Wireframe));
        w.setTreeEditMode(false);
        QVERIFY(!w.action("actionRender_wireframe")->isChecked());
        w.setTreeEditMode(true);
        QVERIFY(!w.tree()->settings().wireframe);

        // The animations run the tree timer until the last is switched off.
        const lignet::TreeDrawSettings &settings = w.tree()->settings();
        w.action("actionGrow_tree")->trigger();
        QVERIFY(settings.growing && w.action("actionGrow_tree")->isChecked());
        QVERIFY(keeper()->treeAnimationRunning());
        const double progress = settings.growthProgress;
        QTRY_VERIFY(settings.growthProgress > progress + 0.002);

        w.action("actionSpin_tree")->trigger();
        w.action("actionSway_tree_in_wind")->trigger();
        w.action("actionGrow_tree")->trigger();
        w.action("actionSpin_tree")->trigger();
        QTest::qWait(60);
        QVERIFY(keeper()->treeAnimationRunning());
        w.action("actionSway_tree_in_wind")->trigger();
        QTRY_VERIFY(!keeper()->treeAnimationRunning());

        // Pressed at the first point with `held` down, moved through the others, released at the last.
        const auto drag = [this](Qt::MouseButton button, Qt::MouseButtons held, const QList<QPoint> &path) {
            guitest::sendMouse(w.view(), QEvent::MouseButtonPress, path.first(), button, held);
            for (const QPoint &at : path.mid(1))
                guitest::sendMouse(w.view(), QEvent::MouseMove, at, Qt::NoButton, held);
            guitest::sendMouse(w.view(), QEvent::MouseButtonRelease, path.last(), button, Qt::NoButton);
        };
        QSignalSpy grabs(w.view(), &OglWidget::grabCamera);
        const float distance = camera()->orbitDistance;
        drag(Qt::LeftButton, Qt::LeftButton, {{100, 100}, {100, 150}, {100, 200}});
        QCOMPARE(camera()->orbitDistance, distance + 10.0f);
        QCOMPARE(grabs.count(), 1);

        const float yaw = camera()->orbitYaw;
        const float pitch = camera()->orbitPitch;
        drag(Qt::RightButton, Qt::RightButton, {{100, 100}, {150, 80}});
        QCOMPARE(camera()->orbitYaw, yaw + 5.0f);
        QCOMPARE(camera()->orbitPitch, pitch - 2.0f);

        // Both buttons: a left drag only; after the release a move changes nothing.
        drag(Qt::RightButton, Qt::LeftButton | Qt::RightButton, {{100, 100}, {130, 110}});
        guitest::sendMouse(w.view(), QEvent::MouseMove, {300, 300}, Qt::NoButton, Qt::NoButton);
        QCOMPARE(camera()->orbitYaw, yaw + 5.0f);
        QCOMPARE(camera()->orbitDistance, distance + 11.0f);

        // In tree edit mode the navigation moves the tree at once.
        w.setTreeEditMode(true);
        const struct {
            const char *action;
            float up, side;
        } steps[] = {
            {"actionMove_forward", 1.0f, 0.0f},      {"actionMove_backward_more", -10.0f, 0.0f},
            {"actionMove_forward_less", 0.1f, 0.0f}, {"actionRotate_right", 0.0f, -1.0f},
            {"actionMove_left_more", 0.0f, 0.0f},    {"actionSwitch_to_next_predefined_camera", 0.0f, 0.0f}};
        for (const auto &s : steps) {
            const float up = camera()->orbitUp;
            const float side = camera()->orbitSide;
            const math::Vector3f position = camera()->position;
            const int predefined = camera()->predefinedIndex;
            triggerAndSeeRepaint(s.action);
            QVERIFY2(std::fabs(camera()->orbitUp - up - s.up) < 1e-5f, s.action);
            QVERIFY2(std::fabs(camera()->orbitSide - side - s.side) < 1e-5f, s.action);
            QVERIFY2(camera()->position == position && camera()->predefinedIndex == predefined, s.action);
            QVERIFY2(!keeper()->cameraAnimationRunning(), s.action);
        }
    }

    void navigationCoastsToAStopAndASequenceExportGrabsEachStepOnceItIsIn()
    {
        // The surface rule would otherwise lift the eye wherever it is below the ground.
        if (camera()->keepAboveSurface)
            w.action("actionKeep_camera_position_above_terrain_surface_ecosystem_mode")->trigger();
        QVERIFY(!camera()->keepAboveSurface);

        // One step coasts for seven ticks, 0.9 + 0.81 + ... while the speed is above 0.5.
        float expected = 0.0f;
        for (float v = 0.9f; v >= 0.5f * 0.9f; v *= 0.9f)
            expected += v;
        const float y = camera()->position.y;
        w.action("actionMove_up")->trigger();
        // Coasting frames draw the plants as impostors; a moment after rest the frame is exact again.
        QVERIFY(w.model()->treeMeshes().isCameraMoving());
        waitForCameraToRest();
        QTRY_VERIFY_WITH_TIMEOUT(!w.model()->treeMeshes().isCameraMoving(), 5000);
        QVERIFY(std::fabs(camera()->position.y - y - expected) < 1e-3f);
        const float heading = camera()->heading;
        w.action("actionRotate_right")->trigger();
        waitForCameraToRest();
        QVERIFY(std::fabs(camera()->heading - heading - expected) < 1e-3f);
        w.action("actionReset_camera_view")->trigger();

        // A sequence export keeps the frames as they are drawn at rest; a key soon after rest
        // finds the quick frames still on.
        TimeKeeper own(nullptr, w.model());
        const auto coasting = [&] { return w.model()->treeMeshes().isCameraMoving(); };
        own.startCameraAnimation();
        own.toggleAnimationExportingMode();
        QVERIFY(!coasting());
        own.toggleAnimationExportingMode();
        QVERIFY(coasting());
        own.stopCameraAnimation();
        QVERIFY(coasting());
        QTRY_VERIFY_WITH_TIMEOUT(!coasting(), 5000);

        // A running simulation exported as a sequence gives one image per step, each grabbed once its
        // step is in, although the steps of a running simulation are taken on the worker thread.
        w.action("actionAnimation_rendering_mode_Sequence_export")->trigger();
        QSignalSpy living(w.model(), &EcosystemRender::nrPlantsLivingChanged);
        std::vector<std::pair<bool, int>> atImage; // a step pending, steps reported
        connect(keeper(), &TimeKeeper::grabFrameBuffer, this,
                [&] { atImage.emplace_back(w.model()->isStepPending(), int(living.count())); });
        w.action("actionRun_simulation")->trigger();
        (void)QTest::qWaitFor([&] { return atImage.size() >= 3; });
        w.action("actionRun_simulation")->trigger();
        disconnect(keeper(), &TimeKeeper::grabFrameBuffer, this, nullptr);
        QVERIFY(atImage.size() >= 3);
        for (std::size_t i = 0; i < atImage.size(); ++i) {
            QVERIFY(!atImage[i].first);
            QCOMPARE(atImage[i].second, int(i) + 1);
        }
        w.action("actionAnimation_rendering_mode_Sequence_export")->trigger();
        QVERIFY(!keeper()->isExporting());

        // A simulation export numbers one image per step (none before it starts, none after it
        // stops); stopping restarts the numbering.
        TimeKeeper numbering(nullptr, nullptr);
        QSignalSpy stopped(&numbering, &TimeKeeper::sequenceExportStopped);
        QSignalSpy images(&numbering, &TimeKeeper::grabFrameBuffer);
        QSignalSpy geometry(&numbering, &TimeKeeper::grabGeometry);
        numbering.simmulationTimerUpdate();
        numbering.toggleAnimationExportingMode();
        for (int i = 0; i < 3; ++i)
            numbering.simmulationTimerUpdate();
        numbering.forceUpdateGl();
        numbering.toggleAnimationExportingMode();
        numbering.forceUpdateGl();
        numbering.toggleAnimationExportingMode();
        numbering.simmulationTimerUpdate();
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(QList<QVariantList>(images), (QList<QVariantList>{{0}, {1}, {2}, {4}, {0}}));
        QCOMPARE(QList<QVariantList>(geometry), QList<QVariantList>{{3}});
    }

    void extensionListsAndNoticesThreeStackedViewsAFloatedOneAndOneAddedAfterAllClosedDrawAtOnce()
    {
        const auto both =
            GlExtensions::listedIn("GL_ARB_foo GL_ARB_multitexture  GL_EXT_compiled_vertex_array");
        QVERIFY(both.queried() && both.listsMultitexture() && both.listsCompiledVertexArray());
        // Whole names only, in their own case.
        const auto neither =
            GlExtensions::listedIn("GL_ARB_multitextures gl_ext_compiled_vertex_array GL_EXT_compiled");
        QVERIFY(neither.queried() && !neither.listsMultitexture() && !neither.listsCompiledVertexArray());

        // The notice comes only if the first listed driver lacks the extension.
        using Notice = OglWidget::ExtensionNotice;
        const auto lacking = GlExtensions::listedIn("GL_ARB_multitexture");
        const auto unreadable = GlExtensions::listedIn(nullptr);
        bool pending = true;
        QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::CompiledVertexArrayFailover);
        QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::None);
        pending = true;
        QCOMPARE(OglWidget::extensionNotice(both, pending), Notice::None);
        QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::None);
        // A driver without a list says so for every view and leaves the failover notice pending.
        pending = true;
        QCOMPARE(OglWidget::extensionNotice(unreadable, pending), Notice::CouldNotQuery);
        QCOMPARE(OglWidget::extensionNotice(unreadable, pending), Notice::CouldNotQuery);
        QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::CompiledVertexArrayFailover);

        w.action("actionAdd_view")->trigger();
        w.action("actionAdd_view")->trigger();
        const auto views = w.window->views();
        QCOMPARE(views.size(), 3);
        QList<int> frames;
        for (OglWidget *view : views) {
            QTRY_VERIFY_WITH_TIMEOUT(view->framesDrawn() > 0, 10000);
            QCOMPARE(view->currentModel(), w.model());
            frames << view->framesDrawn();
        }
        w.action("actionDisplay_sun")->trigger();
        w.action("actionDisplay_sun")->trigger();
        for (int i = 0; i < 3; ++i) {
            QTRY_VERIFY(views.at(i)->framesDrawn() > frames.at(i));
            if (i > 0)
                QVERIFY(views.at(i - 1)->mapTo(w.window.get(), QPoint()).y() <
                        views.at(i)->mapTo(w.window.get(), QPoint()).y());
        }

        // Floated (a new context for the view), the last view still draws with the first.
        OglWidget *view = views.last();
        auto *dock = qobject_cast<QDockWidget *>(view->parentWidget());
        QVERIFY(dock != nullptr);
        dock->setFloating(true);
        QVERIFY(QTest::qWaitForWindowExposed(dock));
        const int before = view->framesDrawn();
        const int firstFrames = w.framesDrawn();
        w.action("actionDisplay_sun")->trigger();
        QTRY_VERIFY(view->framesDrawn() > before);
        QTRY_VERIFY(w.framesDrawn() > firstFrames);

        // Closed one by one, the views leave room for an added one that draws at once.
        for (OglWidget *open : w.window->views()) {
            open->parentWidget()->close();
            QTRY_VERIFY(!open->isVisible());
        }
        w.action("actionAdd_view")->trigger();
        OglWidget *added = w.window->views().last();
        QTRY_VERIFY_WITH_TIMEOUT(added->isVisible() && added->framesDrawn() > 0, 10000);
        // What the screen shows there: the terrain and sky, not the empty grey of the dock.
        QTest::qWait(200);
        const QPoint corner = added->mapToGlobal(QPoint());
        const QImage picture =
            added->screen()->grabWindow(0, corner.x(), corner.y(), added->width(), added->height()).toImage();
        // A flat background has one colour in a sample of the picture, a drawn scene many.
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 4)
            for (int x = 0; x < picture.width(); x += 4)
                colours.insert(picture.pixel(x, y));
        QVERIFY2(colours.size() > 50, "the added view shows nothing");
    }

    // Quitting comes last: it ends the event loop.
    void quitClosesTheWindowAndEndsTheLoop()
    {
        QTimer::singleShot(0, w.window.get(), [this] { w.action("actionQuit")->trigger(); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!w.window->isVisible());
    }
};

VERDALIS_GUI_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
