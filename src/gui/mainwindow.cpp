#include "gui/mainwindow.h"

#include "ui_mainwindow.h"

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "gui/actionhandling/navigationhandler.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/actionhandling/viewhandler.h"
#include "gui/notavailable.h"
#include "gui/oglwidget.h"
#include "lignet/treerenderer.h"

#include <QDockWidget>
#include <QMessageBox>

namespace gui {

using actionhandling::NavigationHandler;
using actionhandling::TimeKeeper;
using actionhandling::ViewHandler;
using ecosystem::render::EcosystemRender;

MainWindow::MainWindow(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    resize(size().expandedTo(minimumSizeHint()));

    firstOglWidget = new OglWidget(ui->dockWidget, nullptr);
    connect(firstOglWidget, &OglWidget::newModelCreated, this, &MainWindow::bindNewModel);
    connect(firstOglWidget, &OglWidget::newGlContextInitialized, this, &MainWindow::newGlContextInitialized);
    // The view takes the place of the form's empty contents widget.
    QWidget *formContents = ui->dockWidget->widget();
    ui->dockWidget->setWidget(firstOglWidget);
    if (formContents != nullptr) {
        delete formContents;
        ui->dockWidgetContents = nullptr;
        ui->hboxLayout = nullptr;
    }
}

MainWindow::~MainWindow() = default;

QList<OglWidget *> MainWindow::views() const
{
    QList<OglWidget *> all{firstOglWidget};
    all.append(addedViews);
    return all;
}

void MainWindow::bindNewModel(EcosystemRender *model)
{
    if (renderModel != nullptr)
        return;
    renderModel = model;

    connectFileActions();
    connectTimeKeeper();
    connectTreeActions();
    connectDesignActions();
    connectViewActions();
    connectNavigationActions();

    connect(renderModel, &EcosystemRender::modelDataChanged, this, &MainWindow::syncCheckMarks);
    connect(viewHandlerObject, &ViewHandler::forceRepaint, this, &MainWindow::syncCheckMarks);
    connect(navigationHandlerObject, &NavigationHandler::forceRefresh, this, &MainWindow::syncCheckMarks);
    syncCheckMarks();
}

void MainWindow::connectFileActions()
{
    // Loading and saving files, image export and the autosave dialog belong to the file handler,
    // which this build does not contain yet.
    const QList<QAction *> fileActions{
        ui->actionLoad_parameters,
        ui->actionSave_parameters,
        ui->actionImport_tree_2_x_parameters,
        ui->actionExport_current_tree_geometry_as_vertices,
        ui->actionExport_current_tree_as_Latex_formulas,
        ui->actionLoad_DEM_terrain_model,
        ui->actionSet_sky_textures,
        ui->actionExport_window_image,
        ui->actionExport_custom_resolution_image,
        ui->actionLoad_bark_texture,
        ui->actionLoadleaf_texture,
        ui->actionLoad_simulation,
        ui->actionSave_simulation,
        ui->actionAutosave_simulation,
    };
    for (QAction *action : fileActions)
        connect(action, &QAction::triggered, this, &MainWindow::commandNotAvailable);
}

void MainWindow::connectTimeKeeper()
{
    timeKeeperHandler = new TimeKeeper(this, renderModel);
    connect(timeKeeperHandler, &TimeKeeper::updateSimulationAndGL, renderModel,
            &EcosystemRender::simulateNextStepAndUpdateGL);
    connect(ui->actionRun_simulation, &QAction::triggered, timeKeeperHandler,
            &TimeKeeper::toggleRunSimulation);
    connect(ui->actionAnimation_rendering_mode_Sequence_export, &QAction::triggered, timeKeeperHandler,
            &TimeKeeper::toggleAnimationExportingMode);
}

void MainWindow::connectTreeActions()
{
    connect(ui->actionSelect_next_tree_parameters_tree_edit_mode, &QAction::triggered, renderModel,
            &EcosystemRender::selectNextTreeSpecies);
    connect(ui->actionEnlarge_leave_size, &QAction::triggered, renderModel,
            &EcosystemRender::actionEnlarge_leave_size);
    connect(ui->actionReduce_leave_size, &QAction::triggered, renderModel,
            &EcosystemRender::actionReduce_leave_size);
    connect(ui->actionGrow_tree, &QAction::triggered, renderModel, &EcosystemRender::actionGrow_tree);
    connect(ui->actionSpin_tree, &QAction::triggered, renderModel, &EcosystemRender::actionSpin_tree);
    connect(ui->actionSway_tree_in_wind, &QAction::triggered, renderModel,
            &EcosystemRender::actionSway_tree_in_wind);
    connect(renderModel, &EcosystemRender::startTreeAnimation, timeKeeperHandler,
            &TimeKeeper::startTreeAnimation);
    connect(renderModel, &EcosystemRender::stopTreeAnimation, timeKeeperHandler,
            &TimeKeeper::stopTreeAnimation);

    // "+" lets the simulation run more steps per drawn frame by skipping more repaints; "-" the
    // reverse. The model sends its repaint request after every frame-skip-th step.
    connect(ui->actionCompute_more_simulation_steps_per_one_rendered_frame, &QAction::triggered, renderModel,
            &EcosystemRender::actionRender_less_often_skip_more_frames);
    connect(ui->actionCompute_less_simulation_steps_per_one_rendered_frame, &QAction::triggered, renderModel,
            &EcosystemRender::actionRender_more_often_skip_less_frames);
}

void MainWindow::connectDesignActions()
{
    // The distribution designer and the advanced tree properties dialog are not in this build yet.
    const QList<QAction *> designActions{
        ui->actionDesign_strand_distribution,
        ui->actionDesign_branching_angles,
        ui->actionDesign_branch_absolute_minimal_length,
        ui->actionDesign_branch_absolute_maximal_length,
        ui->actionDesign_branch_lenght_scaling,
        ui->actionDesign_gravimorphism_impact_distribution,
        ui->actionAdvanced_tree_properties,
    };
    for (QAction *action : designActions)
        connect(action, &QAction::triggered, this, &MainWindow::commandNotAvailable);
}

void MainWindow::connectViewActions()
{
    viewHandlerObject = new ViewHandler(this, renderModel);
    ViewHandler *h = viewHandlerObject;
    const std::pair<QAction *, void (ViewHandler::*)()> wiring[] = {
        {ui->actionShow_ecosystem, &ViewHandler::actionShow_ecosystem},
        {ui->actionDisplay_leaves, &ViewHandler::actionDisplay_leaves},
        {ui->actionColour_uppon, &ViewHandler::actionColour_uppon},
        {ui->actionRender_wireframe, &ViewHandler::actionRender_wireframe},
        {ui->actionHigh_quality_rendering_more_polygons,
         &ViewHandler::actionHigh_quality_rendering_more_polygons},
        {ui->actionLighting_enabled, &ViewHandler::actionLighting_enabled},
        {ui->actionDisplay_background_sky, &ViewHandler::actionDisplay_background_sky},
        {ui->actionShow_frame_rate, &ViewHandler::actionShow_frame_rate},
        {ui->actionDo_not_draw_trees_ecosystem_mode, &ViewHandler::actionDo_not_draw_trees_ecosystem_mode},
        {ui->actionDo_not_refresh_display_only_run_simulation_ecosystem_mode,
         &ViewHandler::actionDo_not_refresh_display_only_run_simulation_ecosystem_mode},
        {ui->actionShow_ecologic_neighborhood_ecosystem_mode,
         &ViewHandler::actionShow_ecologic_neighborhood_ecosystem_mode},
        {ui->actionDisplay_terrain_normals, &ViewHandler::actionDisplay_terrain_normals},
        {ui->actionDisplay_terrain_inclination, &ViewHandler::actionDisplay_terrain_inclination},
        {ui->actionDisplay_terrain_moisture, &ViewHandler::actionDisplay_terrain_moisture},
        {ui->actionDisplay_terrain_sunniness, &ViewHandler::actionDisplay_terrain_sunniness},
        {ui->actionDisplay_terrain_windiness, &ViewHandler::actionDisplay_terrain_windiness},
        {ui->actionDisplay_terrain_land_markings_S_N_E_W,
         &ViewHandler::actionDisplay_terrain_land_markings_S_N_E_W},
        {ui->actionDisplay_sun, &ViewHandler::actionDisplay_sun},
    };
    for (const auto &[action, slot] : wiring)
        connect(action, &QAction::triggered, h, slot);
}

void MainWindow::connectNavigationActions()
{
    navigationHandlerObject = new NavigationHandler(this, this, renderModel);
    NavigationHandler *h = navigationHandlerObject;
    using N = NavigationHandler;
    const std::pair<QAction *, void (N::*)()> wiring[] = {
        {ui->action_Navigation_panel, &N::action_Navigation_panel},
        {ui->actionSwitch_to_next_predefined_camera, &N::actionSwitch_to_next_predefined_camera},
        {ui->actionSave_camera_as_predefined, &N::actionSave_camera_as_predefined},
        {ui->actionReset_camera_view, &N::actionReset_camera_view},
        {ui->actionKeep_camera_position_above_terrain_surface_ecosystem_mode,
         &N::actionKeep_camera_position_above_terrain_surface_ecosystem_mode},
        {ui->actionForce_camera_position_at_terrain_surface_ecosystem_mode,
         &N::actionForce_camera_position_at_terrain_surface_ecosystem_mode},
        {ui->actionMove_up, &N::actionMove_up},
        {ui->actionMove_down, &N::actionMove_down},
        {ui->actionMove_left, &N::actionMove_left},
        {ui->actionMove_right, &N::actionMove_right},
        {ui->actionMove_forward, &N::actionMove_forward},
        {ui->actionMove_backward, &N::actionMove_backward},
        {ui->actionRotate_left, &N::actionRotate_left},
        {ui->actionRotate_right, &N::actionRotate_right},
        {ui->actionRotate_up, &N::actionRotate_up},
        {ui->actionRotate_down, &N::actionRotate_down},
        {ui->actionRotate_in, &N::actionRotate_in},
        {ui->actionRotate_out, &N::actionRotate_out},
        {ui->actionMove_up_more, &N::actionMove_up_more},
        {ui->actionMove_down_more, &N::actionMove_down_more},
        {ui->actionMove_left_more, &N::actionMove_left_more},
        {ui->actionMove_right_more, &N::actionMove_right_more},
        {ui->actionMove_forward_more, &N::actionMove_forward_more},
        {ui->actionMove_backward_more, &N::actionMove_backward_more},
        {ui->actionMove_up_less, &N::actionMove_up_less},
        {ui->actionMove_down_less, &N::actionMove_down_less},
        {ui->actionMove_left_less, &N::actionMove_left_less},
        {ui->actionMove_right_less, &N::actionMove_right_less},
        {ui->actionMove_forward_less, &N::actionMove_forward_less},
        {ui->actionMove_backward_less, &N::actionMove_backward_less},
    };
    for (const auto &[action, slot] : wiring)
        connect(action, &QAction::triggered, h, slot);
    connect(h, &N::startCameraAnimation, timeKeeperHandler, &TimeKeeper::startCameraAnimation);
    connect(h, &N::stopCameraAnimation, timeKeeperHandler, &TimeKeeper::stopCameraAnimation);
    connect(timeKeeperHandler, &TimeKeeper::animateCamera, h, &N::animateCamera);
}

void MainWindow::newGlContextInitialized(OglWidget *view)
{
    if (timeKeeperHandler == nullptr)
        return;
    // A view whose context is made anew (a floated dock) reports again; one connection is enough.
    connect(timeKeeperHandler, &TimeKeeper::updateOnlyGL, view, &OglWidget::updateGL, Qt::UniqueConnection);
    connect(viewHandlerObject, &ViewHandler::forceRepaint, view, &OglWidget::updateGL, Qt::UniqueConnection);
    connect(navigationHandlerObject, &NavigationHandler::forceRefresh, view, &OglWidget::updateGL,
            Qt::UniqueConnection);
}

void MainWindow::on_actionAdd_view_triggered()
{
    auto *dock = new QDockWidget(ui->centralwidget);
    auto *view = new OglWidget(dock, renderModel);
    connect(view, &OglWidget::grabCamera, this, &MainWindow::cycleView);
    connect(view, &OglWidget::newGlContextInitialized, this, &MainWindow::newGlContextInitialized);
    dock->setWidget(view);
    ui->vboxLayout->addWidget(dock);
    addedViews.append(view);
}

void MainWindow::cycleView() {}

void MainWindow::on_actionSet_plant_area_triggered()
{
    showNotAvailable(this, ui->actionSet_plant_area->text());
}

void MainWindow::on_actionEdit_random_generator_seeds_triggered()
{
    showNotAvailable(this, ui->actionEdit_random_generator_seeds->text());
}

void MainWindow::on_actionShow_statistics_triggered()
{
    if (renderModel == nullptr || !renderModel->isSimulationInitialised()) {
        QMessageBox::information(nullptr, tr("Error"), tr("First run simulation please."));
        return;
    }
    showNotAvailable(this, ui->actionShow_statistics->text());
}

void MainWindow::on_actionUsage_triggered()
{
    showNotAvailable(this, ui->actionUsage->text());
}

void MainWindow::on_actionAbout_triggered()
{
    showNotAvailable(this, ui->actionAbout->text());
}

void MainWindow::commandNotAvailable()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (action == nullptr)
        return;
    // A switch that does nothing must not look switched on.
    if (action->isCheckable())
        action->setChecked(false);
    showNotAvailable(this, action->text());
}

void MainWindow::syncCheckMarks()
{
    if (renderModel == nullptr)
        return;
    const lignet::TreeRenderer *tree = renderModel->getCurrentTree();
    const ecosystem::render::Camera *camera = renderModel->getCamera();
    const bool treeEdit = renderModel->isSingleRender();
    const std::pair<QAction *, bool> marks[] = {
        {ui->actionShow_ecosystem, !treeEdit},
        {ui->actionShow_frame_rate, renderModel->isShowFPS()},
        {ui->actionLighting_enabled, renderModel->isLightingEnabled()},
        {ui->actionDisplay_background_sky, renderModel->isDisplaySky()},
        {ui->actionRender_wireframe, treeEdit ? tree->settings().wireframe : renderModel->isWireframe()},
        {ui->actionDisplay_leaves, tree->designedParameters().displayLeaves},
        {ui->actionColour_uppon, tree->settings().colourByOrders},
        {ui->actionHigh_quality_rendering_more_polygons, tree->settings().highQuality},
        {ui->actionDo_not_draw_trees_ecosystem_mode, renderModel->isDoNotDrawTrees()},
        {ui->actionDo_not_refresh_display_only_run_simulation_ecosystem_mode,
         renderModel->isDoNotRefreshDisplay()},
        {ui->actionShow_ecologic_neighborhood_ecosystem_mode, renderModel->isShowNeighborHood()},
        {ui->actionDisplay_terrain_land_markings_S_N_E_W, renderModel->isDisplayLandMarkings()},
        {ui->actionDisplay_terrain_normals, renderModel->isDisplayTerrainNormals()},
        {ui->actionDisplay_terrain_inclination, renderModel->isDisplayTerrainInclination()},
        {ui->actionDisplay_terrain_moisture, renderModel->isDisplayTerrainMoisture()},
        {ui->actionDisplay_terrain_sunniness, renderModel->isDisplayTerrainSunniness()},
        {ui->actionDisplay_terrain_windiness, renderModel->isDisplayTerrainWindiness()},
        {ui->actionDisplay_sun, renderModel->isDisplaySun()},
        {ui->actionKeep_camera_position_above_terrain_surface_ecosystem_mode, camera->keepAboveSurface},
        {ui->actionForce_camera_position_at_terrain_surface_ecosystem_mode, camera->forceAtSurface},
        {ui->actionGrow_tree, tree->settings().growing},
        {ui->actionSpin_tree, tree->settings().spinning},
        {ui->actionSway_tree_in_wind, tree->settings().windOn},
    };
    for (const auto &[action, on] : marks)
        action->setChecked(on);
}

} // namespace gui
