// The real main window under a virtual display: its form, the wiring of every action to the
// model and the handlers, the views, the mouse and a look at what the window shows.
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "gui/actionhandling/navigationhandler.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/actionhandling/viewhandler.h"
#include "gui/mainwindow.h"
#include "gui/notavailable.h"
#include "gui/oglwidget.h"
#include "lignet/treerenderer.h"
#include "modalcatcher.h"
#include "stdoutcapture.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

#include <GL/gl.h>

#include <cmath>
#include <memory>

using ecosystem::render::Camera;
using ecosystem::render::EcosystemRender;
using gui::MainWindow;
using gui::OglWidget;

namespace {

struct ActionRow {
    const char *name;
    const char *text;
    const char *shortcut;
    const char *icon;
    int check; // 0 not checkable, 1 checkable unchecked, 2 checkable checked
};

const ActionRow actionTable[] = {
    {"actionLoad_parameters", "L&oad tree parameters", "Ctrl+O", "fileopen.png", 0},
    {"actionSave_parameters", "&Save tree parameters", "Ctrl+S", "filesave.png", 0},
    {"actionImport_tree_2_x_parameters", "&Import tree 2.x parameters", "Ctrl+I", "", 0},
    {"actionExport_current_tree_geometry_as_vertices", "Export current tree geometry as &vertices", "Ctrl+V",
     "", 0},
    {"actionExport_current_tree_as_Latex_formulas", "Export current tree as Latex formulas", "Ctrl+T", "", 0},
    {"actionLoad_DEM_terrain_model", "Load DEM terrain model", "Ctrl+Alt+D", "", 0},
    {"actionSet_sky_textures", "Set sky textures", "Ctrl+Alt+T", "", 0},
    {"actionExport_window_image", "Export &window image", "Ctrl+W", "", 0},
    {"actionExport_custom_resolution_image", "&Export custom resolution image", "Ctrl+E", "", 0},
    {"actionAnimation_rendering_mode_Sequence_export", "Ani&mation rendering mode (sequence export)",
     "Ctrl+Alt+M", "", 1},
    {"actionQuit", "&Quit", "Ctrl+Q", "", 0},
    {"actionSelect_next_tree_parameters_tree_edit_mode", "Select &next tree parameters (tree edit mode)",
     "Ctrl+Space", "", 0},
    {"actionEnlarge_leave_size", "&Enlarge leave size", "Q", "", 0},
    {"actionReduce_leave_size", "&Reduce leave size", "A", "", 0},
    {"actionLoad_bark_texture", "Load &bark texture", "Ctrl+Alt+B", "", 0},
    {"actionLoadleaf_texture", "Load lea&f texture", "Ctrl+Alt+L", "", 0},
    {"actionDesign_strand_distribution", "Design &strand distribution", "Ctrl+D", "strands.png", 0},
    {"actionDesign_branching_angles", "Design &branching angles", "Ctrl+B", "angles.png", 0},
    {"actionDesign_branch_absolute_minimal_length", "Design branch absolute minimal &length", "Ctrl+L", "",
     0},
    {"actionDesign_branch_absolute_maximal_length", "Design branch absolute maximal length", "Ctrl+Shift+L",
     "", 0},
    {"actionDesign_branch_lenght_scaling", "Design branch lenght s&caling", "Ctrl+C", "scaling.png", 0},
    {"actionDesign_gravimorphism_impact_distribution", "Design &gravimorphism impact distribution", "Ctrl+G",
     "gravimorphism.png", 0},
    {"actionAdvanced_tree_properties", "&Advanced tree &properties", "Ctrl+A", "treescalars.png", 0},
    {"actionShow_ecosystem", "Show &ecosystem", "Space", "ecosystem.png", 2},
    {"actionAdd_view", "&Add view", "Shift+Esc", "", 0},
    {"actionShow_frame_rate", "Show frame &rate", "Ctrl+F", "", 2},
    {"actionLighting_enabled", "&Lighting enabled", "S", "", 2},
    {"actionDisplay_background_sky", "Display &background sky", "Ctrl+K", "", 2},
    {"actionRender_wireframe", "Render &wireframe", "W", "", 1},
    {"actionDisplay_leaves", "Display lea&ves", "L", "", 2},
    {"actionColour_uppon", "Colour &uppon tree branches", "C", "", 1},
    {"actionHigh_quality_rendering_more_polygons", "&High quality tree rendering (more polygons)", "Ctrl+H",
     "", 2},
    {"actionDo_not_draw_trees_ecosystem_mode", "Do not draw &trees (ecosystem mode)", "Ctrl+R", "", 1},
    {"actionDo_not_refresh_display_only_run_simulation_ecosystem_mode",
     "Do not refresh &display, only run simulation (ecosystem mode)", "Ctrl+Shift+R", "", 1},
    {"actionShow_ecologic_neighborhood_ecosystem_mode", "Show ecologic neighb&orhood (ecosystem mode)",
     "Ctrl+N", "", 1},
    {"actionDisplay_terrain_land_markings_S_N_E_W",
     "Display terrain l&and markings (South, North, East, West)", "Ctrl+M", "", 1},
    {"actionDisplay_terrain_normals", "Display terrain &normals", "Ctrl+1", "", 1},
    {"actionDisplay_terrain_inclination", "Display terrain &inclination", "Ctrl+2", "", 1},
    {"actionDisplay_terrain_moisture", "Display terrain &moisture", "Ctrl+3", "moistureness.png", 1},
    {"actionDisplay_terrain_sunniness", "Display terrain &sunniness", "Ctrl+4", "sunniness.png", 1},
    {"actionDisplay_terrain_windiness", "Display terrain &windiness", "Ctrl+5", "windiness.png", 1},
    {"actionDisplay_sun", "Display sun", "Ctrl+Shift+S", "", 1},
    {"action_Navigation_panel", "&Navigation panel", "Ctrl+Alt+N", "navigate.png", 0},
    {"actionSwitch_to_next_predefined_camera", "Switch to next predefined camera (ecosystem mode)", "Ctrl+0",
     "", 0},
    {"actionSave_camera_as_predefined", "Save camera as predefined", "Ctrl+Shift+0", "", 0},
    {"actionReset_camera_view", "Reset camera position and rotation", "Esc", "", 0},
    {"actionKeep_camera_position_above_terrain_surface_ecosystem_mode",
     "Keep camera position above terrain surface (ecosystem mode)", "Ctrl+8", "", 2},
    {"actionForce_camera_position_at_terrain_surface_ecosystem_mode",
     "Force camera position at terrain surface (ecosystem mode)", "Ctrl+9", "", 1},
    {"actionMove_up", "Move up", ",", "", 0},
    {"actionMove_down", "Move down", ".", "", 0},
    {"actionMove_left", "Move left", "Del", "", 0},
    {"actionMove_right", "Move right", "PgDown", "", 0},
    {"actionMove_forward", "Move forward", "Up", "", 0},
    {"actionMove_backward", "Move backward", "Down", "", 0},
    {"actionRotate_left", "Rotate left", "Left", "", 0},
    {"actionRotate_right", "Rotate right", "Right", "", 0},
    {"actionRotate_up", "Rotate up", "Home", "", 0},
    {"actionRotate_down", "Rotate down", "End", "", 0},
    {"actionRotate_in", "Rotate in", "Ins", "", 0},
    {"actionRotate_out", "Rotate out", "PgUp", "", 0},
    {"actionMove_up_more", "Move up more", "Ctrl+,", "", 0},
    {"actionMove_down_more", "Move down more", "Ctrl+.", "", 0},
    {"actionMove_left_more", "Move left more", "Ctrl+Del", "", 0},
    {"actionMove_right_more", "Move right more", "Ctrl+PgDown", "", 0},
    {"actionMove_forward_more", "Move forward more", "Ctrl+Up", "", 0},
    {"actionMove_backward_more", "Move backward more", "Ctrl+Down", "", 0},
    {"actionMove_up_less", "Move up less", "Alt+,", "", 0},
    {"actionMove_down_less", "Move down less", "Alt+.", "", 0},
    {"actionMove_left_less", "Move left less", "Alt+Del", "", 0},
    {"actionMove_right_less", "Move right less", "Alt+PgDown", "", 0},
    {"actionMove_forward_less", "Move forward less", "Alt+Up", "", 0},
    {"actionMove_backward_less", "Move backward less", "Alt+Down", "", 0},
    {"actionGrow_tree", "G&row tree", "R", "grow.png", 1},
    {"actionSpin_tree", "&Spin tree", "O", "", 1},
    {"actionSway_tree_in_wind", "Sway tree in &wind", "Y", "wind.png", 1},
    {"actionRun_simulation", "&Run simulation", "F5", "play.png", 1},
    {"actionLoad_simulation", "Load simulation", "Ctrl+Alt+Shift+L", "fileopenecosystem.png", 0},
    {"actionSave_simulation", "Save simulation", "Ctrl+Alt+Shift+S", "filesaveecosystem.png", 0},
    {"actionAutosave_simulation", "Autosave simulation", "Ctrl+Alt+V", "", 1},
    {"actionSet_plant_area", "Set plant area", "Ctrl+Alt+A", "area.png", 0},
    {"actionEdit_random_generator_seeds", "Edit random generator seeds", "Ctrl+Alt+R", "", 0},
    {"actionCompute_more_simulation_steps_per_one_rendered_frame",
     "Compute &more simulation steps per one rendered frame", "+", "", 0},
    {"actionCompute_less_simulation_steps_per_one_rendered_frame",
     "Compute &less simulation steps per one rendered frame", "-", "", 0},
    {"actionShow_statistics", "Show &statistics", "F6", "stats.png", 0},
    {"actionUsage", "Usage", "Shift+F1", "", 0},
    {"actionAbout", "&About", "F1", "", 0},
};

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

    void setTreeEditMode(bool on)
    {
        if (model()->isSingleRender() != on)
            action("actionShow_ecosystem")->trigger();
        QCOMPARE(model()->isSingleRender(), on);
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

    void formHasEveryActionWithTextShortcutIconAndCheckState()
    {
        int named = 0;
        for (QAction *a : window->findChildren<QAction *>())
            named += a->objectName().startsWith(QLatin1String("action")) ? 1 : 0;
        QCOMPARE(named, int(std::size(actionTable)));
        for (const ActionRow &row : actionTable) {
            QAction *a = action(row.name);
            QCOMPARE(a->text(), QString::fromUtf8(row.text));
            QVERIFY2(!a->shortcut().isEmpty(), row.name);
            QCOMPARE(a->shortcut(), QKeySequence(QString::fromLatin1(row.shortcut)));
            QCOMPARE(a->isCheckable(), row.check != 0);
            QCOMPARE(a->icon().isNull(), row.icon[0] == '\0');
            // The form lists every action in exactly one menu.
            int menus = 0;
            for (QMenu *m : window->findChildren<QMenu *>())
                menus += m->actions().contains(a) ? 1 : 0;
            QVERIFY2(menus == 1, row.name);
        }
    }

    void formStartsWithTheListedCheckMarks()
    {
        // A fresh window, before its view has made a model, carries exactly the listed states.
        MainWindow fresh;
        for (const ActionRow &row : actionTable) {
            auto *a = fresh.findChild<QAction *>(QString::fromLatin1(row.name));
            QVERIFY2(a->isChecked() == (row.check == 2), row.name);
        }
        QVERIFY(fresh.model() == nullptr);
    }

    void formHasTheListedWidgetTreeMenusAndToolbars()
    {
        QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Verdalis"));
        QVERIFY(!window->windowIcon().isNull());
        QVERIFY(window->width() >= 788);
        QVERIFY(window->height() >= 671);
        auto *central = window->centralWidget();
        QCOMPARE(central->objectName(), QStringLiteral("centralwidget"));
        auto *vbox = central->findChild<QVBoxLayout *>(QStringLiteral("vboxLayout"));
        QVERIFY(vbox != nullptr);
        QCOMPARE(vbox->spacing(), 0);
        QCOMPARE(vbox->contentsMargins(), QMargins(0, 0, 0, 0));
        auto *dock = central->findChild<QDockWidget *>(QStringLiteral("dockWidget"));
        QVERIFY(dock != nullptr);
        QCOMPARE(dock->widget(), window->firstView());
        QCOMPARE(window->findChild<QWidget *>(QStringLiteral("statusbar")), window->statusBar());

        QStringList titles;
        for (QAction *m : window->menuBar()->actions())
            titles << m->text();
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&View", "&Navigation", "Tree &animation",
                                      "&Ecosystem simulation", "&Help"}));
        const QStringList menuNames{"menuFile",      "menu_Properties", "menu_View", "menuNavigation",
                                    "menuAnimation", "menu_Simulation", "menu_Help"};
        for (int i = 0; i < menuNames.size(); ++i)
            QCOMPARE(window->menuBar()->actions().at(i)->menu()->objectName(), menuNames.at(i));

        auto names = [](const QList<QAction *> &actions) {
            QStringList result;
            for (QAction *a : actions)
                result << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
            return result;
        };
        auto *faster = window->findChild<QMenu *>(QStringLiteral("menuMove_faster"));
        auto *slower = window->findChild<QMenu *>(QStringLiteral("menuMove_slower"));
        QCOMPARE(faster->title(), QStringLiteral("Move faster"));
        QCOMPARE(slower->title(), QStringLiteral("Move slower"));
        QCOMPARE(
            names(faster->actions()),
            QStringList({"actionMove_up_more", "actionMove_down_more", "actionMove_left_more",
                         "actionMove_right_more", "actionMove_forward_more", "actionMove_backward_more"}));
        QCOMPARE(
            names(slower->actions()),
            QStringList({"actionMove_up_less", "actionMove_down_less", "actionMove_left_less",
                         "actionMove_right_less", "actionMove_forward_less", "actionMove_backward_less"}));
        QCOMPARE(names(window->findChild<QMenu *>(QStringLiteral("menu_Help"))->actions()),
                 QStringList({"actionUsage", "|", "actionAbout"}));
        QCOMPARE(names(window->findChild<QMenu *>(QStringLiteral("menuAnimation"))->actions()),
                 QStringList({"actionGrow_tree", "actionSpin_tree", "actionSway_tree_in_wind"}));
        QCOMPARE(
            names(window->findChild<QMenu *>(QStringLiteral("menuFile"))->actions()),
            QStringList({"actionLoad_parameters", "actionSave_parameters", "actionImport_tree_2_x_parameters",
                         "actionExport_current_tree_geometry_as_vertices",
                         "actionExport_current_tree_as_Latex_formulas", "|", "actionLoad_DEM_terrain_model",
                         "actionSet_sky_textures", "|", "actionExport_window_image",
                         "actionExport_custom_resolution_image",
                         "actionAnimation_rendering_mode_Sequence_export", "|", "actionQuit"}));
        const QStringList navigation =
            names(window->findChild<QMenu *>(QStringLiteral("menuNavigation"))->actions());
        QCOMPARE(navigation.first(), QStringLiteral("|"));
        QCOMPARE(navigation.at(1), QStringLiteral("action_Navigation_panel"));

        auto *left = window->findChild<QToolBar *>(QStringLiteral("toolBar"));
        auto *top = window->findChild<QToolBar *>(QStringLiteral("toolBar_2"));
        QCOMPARE(window->toolBarArea(left), Qt::LeftToolBarArea);
        QCOMPARE(window->toolBarArea(top), Qt::TopToolBarArea);
        QCOMPARE(left->orientation(), Qt::Vertical);
        QCOMPARE(top->orientation(), Qt::Horizontal);
        QCOMPARE(
            names(left->actions()),
            QStringList({"actionLoad_parameters", "actionSave_parameters", "actionDesign_strand_distribution",
                         "actionDesign_branching_angles", "actionDesign_branch_lenght_scaling",
                         "actionDesign_gravimorphism_impact_distribution", "actionAdvanced_tree_properties",
                         "actionGrow_tree", "actionSway_tree_in_wind"}));
        QCOMPARE(names(top->actions()),
                 QStringList({"actionShow_ecosystem", "actionDisplay_terrain_moisture",
                              "actionDisplay_terrain_sunniness", "actionDisplay_terrain_windiness",
                              "action_Navigation_panel", "actionSet_plant_area", "actionShow_statistics",
                              "actionLoad_simulation", "actionSave_simulation", "actionRun_simulation"}));
        // Every toolbar button carries a picture from the resources.
        for (QAction *a : left->actions() + top->actions())
            QVERIFY2(!a->icon().pixmap(24, 24).isNull(), qPrintable(a->objectName()));
    }

    void startsInEcosystemModeAndShowEcosystemSwitchesModes()
    {
        QVERIFY(!model()->isSingleRender());
        QVERIFY(action("actionShow_ecosystem")->isChecked());
        action("actionShow_ecosystem")->trigger();
        QVERIFY(model()->isSingleRender());
        QVERIFY(!action("actionShow_ecosystem")->isChecked());
        window->firstView()->updateGL();
        keepScreenshot(window->grab().toImage(), QStringLiteral("mainwindow-tree-edit.png"));
        // The key reaches the same action.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_Space);
        QVERIFY(!model()->isSingleRender());
        QVERIFY(action("actionShow_ecosystem")->isChecked());
    }

    void viewTogglesFlipModelFlagsAndRepaint()
    {
        struct Toggle {
            const char *action;
            bool (EcosystemRender::*flag)() const;
        };
        const Toggle toggles[] = {
            {"actionLighting_enabled", &EcosystemRender::isLightingEnabled},
            {"actionDisplay_background_sky", &EcosystemRender::isDisplaySky},
            {"actionDo_not_draw_trees_ecosystem_mode", &EcosystemRender::isDoNotDrawTrees},
            {"actionShow_ecologic_neighborhood_ecosystem_mode", &EcosystemRender::isShowNeighborHood},
            {"actionDisplay_terrain_land_markings_S_N_E_W", &EcosystemRender::isDisplayLandMarkings},
            {"actionDisplay_terrain_normals", &EcosystemRender::isDisplayTerrainNormals},
            {"actionDisplay_terrain_inclination", &EcosystemRender::isDisplayTerrainInclination},
            {"actionDisplay_terrain_moisture", &EcosystemRender::isDisplayTerrainMoisture},
            {"actionDisplay_terrain_sunniness", &EcosystemRender::isDisplayTerrainSunniness},
            {"actionDisplay_terrain_windiness", &EcosystemRender::isDisplayTerrainWindiness},
            {"actionDisplay_sun", &EcosystemRender::isDisplaySun},
            {"actionRender_wireframe", &EcosystemRender::isWireframe},
            {"actionDo_not_refresh_display_only_run_simulation_ecosystem_mode",
             &EcosystemRender::isDoNotRefreshDisplay},
        };
        OglWidget *view = window->firstView();
        for (const Toggle &t : toggles) {
            const bool before = (model()->*t.flag)();
            QCOMPARE(action(t.action)->isChecked(), before);
            const int frames = view->framesDrawn();
            action(t.action)->trigger();
            QVERIFY2((model()->*t.flag)() == !before, t.action);
            QVERIFY2(action(t.action)->isChecked() == !before, t.action);
            QTRY_VERIFY2(view->framesDrawn() > frames, t.action);
            action(t.action)->trigger();
            QVERIFY2((model()->*t.flag)() == before, t.action);
        }
    }

    void frameRateSwitchDoesNotRepaint()
    {
        const bool before = model()->isShowFPS();
        // Let repaints asked for earlier arrive first.
        QTest::qWait(100);
        const int frames = window->firstView()->framesDrawn();
        action("actionShow_frame_rate")->trigger();
        QCOMPARE(model()->isShowFPS(), !before);
        QTest::qWait(100);
        QCOMPARE(window->firstView()->framesDrawn(), frames);
        action("actionShow_frame_rate")->trigger();
        QCOMPARE(model()->isShowFPS(), before);
    }

    void treeSwitchesActOnTheCurrentTreeAndWireframeIsKeptPerMode()
    {
        setTreeEditMode(true);
        const bool leaves = tree()->designedParameters().displayLeaves;
        action("actionDisplay_leaves")->trigger();
        QCOMPARE(tree()->designedParameters().displayLeaves, !leaves);
        action("actionDisplay_leaves")->trigger();

        action("actionColour_uppon")->trigger();
        QVERIFY(tree()->settings().colourByOrders);
        QVERIFY(action("actionColour_uppon")->isChecked());
        action("actionColour_uppon")->trigger();
        QVERIFY(!tree()->settings().colourByOrders);

        const bool quality = tree()->settings().highQuality;
        action("actionHigh_quality_rendering_more_polygons")->trigger();
        QCOMPARE(tree()->settings().highQuality, !quality);
        QCOMPARE(action("actionHigh_quality_rendering_more_polygons")->isChecked(), !quality);
        action("actionHigh_quality_rendering_more_polygons")->trigger();

        const bool sky = model()->isDisplaySky();
        action("actionDisplay_background_sky")->trigger();
        QCOMPARE(tree()->settings().backgroundSky, !sky);
        QCOMPARE(model()->isDisplaySky(), !sky);
        action("actionDisplay_background_sky")->trigger();

        // Wireframe in tree edit mode is the tree's own; the ecosystem stays solid.
        action("actionRender_wireframe")->trigger();
        QVERIFY(tree()->settings().wireframe);
        QVERIFY(!model()->isWireframe());
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

    void viewKeepsANinetyDegreeSquareProjectionWhateverItsShape()
    {
        OglWidget *view = window->firstView();
        // This driver lists both extensions, so no view has anything to report.
        QVERIFY(view->hasMultitexture());
        QVERIFY(view->hasCompiledVertexArrays());
        QVERIFY(!OglWidget::failoverMessagePending());
        QVERIFY(view->testAttribute(Qt::WA_OpaquePaintEvent));

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
            // gluPerspective(90, 1, 1, 30000): cot(45 degrees) on both axes, whatever the shape.
            QVERIFY(std::fabs(projection[0] - 1.0f) < 1e-5f);
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

    void framesPerStepEntriesChangeTheFrameSkip()
    {
        QCOMPARE(model()->getFrameSkip(), 1);
        action("actionCompute_more_simulation_steps_per_one_rendered_frame")->trigger();
        action("actionCompute_more_simulation_steps_per_one_rendered_frame")->trigger();
        QCOMPARE(model()->getFrameSkip(), 3);
        for (int i = 0; i < 4; ++i)
            action("actionCompute_less_simulation_steps_per_one_rendered_frame")->trigger();
        QCOMPARE(model()->getFrameSkip(), 1);
    }

    void statisticsBeforeTheFirstStepAsksToRunTheSimulation()
    {
        QVERIFY(!model()->isSimulationInitialised());
        ModalCatcher catcher;
        action("actionShow_statistics")->trigger();
        QCOMPARE(catcher.titles, QStringList({"Error"}));
        QCOMPARE(catcher.texts, QStringList({"First run simulation please."}));
    }

    void laterDialogsSayTheyAreNotAvailable()
    {
        ModalCatcher catcher;
        action("actionAbout")->trigger();
        action("actionLoad_parameters")->trigger();
        action("actionAutosave_simulation")->trigger();
        QCOMPARE(catcher.texts,
                 QStringList({gui::notAvailableText("&About"), gui::notAvailableText("L&oad tree parameters"),
                              gui::notAvailableText("Autosave simulation")}));
        QCOMPARE(catcher.texts.first(), QStringLiteral("\"About\" is not available yet."));
        QVERIFY(!action("actionAutosave_simulation")->isChecked());
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
        QVERIFY(model()->isDoNotDrawTrees());
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
        QVERIFY(!model()->isDisplaySun());
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
