#include "gui/mainwindow.h"

#include "ui_mainwindow.h"

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/viewoptions.h"
#include "gui/actionhandling/designhandler.h"
#include "gui/actionhandling/filehandler.h"
#include "gui/actionhandling/navigationhandler.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/actionhandling/viewhandler.h"
#include "gui/centredmessagebox.h"
#include "gui/dialogs/about.h"
#include "gui/dialogs/ecosystemstatistics.h"
#include "gui/dialogs/help.h"
#include "gui/dialogs/plantarea.h"
#include "gui/dialogs/randomgeneratorseedseditor.h"
#include "gui/dialogservice.h"
#include "gui/notavailable.h"
#include "gui/oglwidget.h"
#include "gui/parameterhistory.h"
#include "gui/statusreport.h"
#include "lignet/treerenderer.h"

#include <QActionGroup>
#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QSpinBox>

namespace gui {

using actionhandling::DesignHandler;
using actionhandling::FileHandler;
using actionhandling::NavigationHandler;
using actionhandling::TimeKeeper;
using actionhandling::ViewHandler;
using ecosystem::render::EcosystemRender;

MainWindow::MainWindow(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), ui(std::make_unique<Ui::MainWindow>()),
      dialogService(std::make_unique<QtDialogService>())
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

    // A menu closed with Esc leaves the menu bar holding the keyboard, which would swallow the
    // next Esc (the camera reset) just to let go.
    for (QAction *menuAction : menuBar()->actions())
        if (QMenu *menu = menuAction->menu())
            connect(menu, &QMenu::aboutToHide, this, &MainWindow::releaseMenuBarKeyboard,
                    Qt::QueuedConnection);

    history = new ParameterHistory(this);
    createUndoActions();
}

void MainWindow::createUndoActions()
{
    QUndoStack &stack = history->stack();
    auto *undo = new QAction(QIcon(), tr("&Undo"), this);
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    auto *redo = new QAction(QIcon(), tr("&Redo"), this);
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    // The design dialogs are windows of their own; undo reaches the tree from them too.
    for (QAction *action : {undo, redo}) {
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setEnabled(false);
    }
    connect(undo, &QAction::triggered, history, &ParameterHistory::undo);
    connect(redo, &QAction::triggered, history, &ParameterHistory::redo);
    connect(&stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, undo, [undo](const QString &text) {
        undo->setText(text.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(text));
    });
    connect(&stack, &QUndoStack::redoTextChanged, redo, [redo](const QString &text) {
        redo->setText(text.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(text));
    });

    QAction *first = ui->menu_Properties->actions().value(0);
    ui->menu_Properties->insertAction(first, undo);
    ui->menu_Properties->insertAction(first, redo);
    ui->menu_Properties->insertSeparator(first);
}

void MainWindow::releaseMenuBarKeyboard()
{
    // Moving from one menu to the next also hides a menu; the bar keeps the keyboard then.
    if (menuBar()->hasFocus() && QApplication::activePopupWidget() == nullptr)
        menuBar()->clearFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::setDialogService(std::unique_ptr<DialogService> service)
{
    dialogService = std::move(service);
}

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
    createStatusReport();

    connect(renderModel, &EcosystemRender::modelDataChanged, this, &MainWindow::syncCheckMarks);
    connect(viewHandlerObject, &ViewHandler::forceRepaint, this, &MainWindow::syncCheckMarks);
    connect(navigationHandlerObject, &NavigationHandler::forceRefresh, this, &MainWindow::syncCheckMarks);
    syncCheckMarks();
}

void MainWindow::connectFileActions()
{
    fileHandlerObject = new FileHandler(this, renderModel, firstOglWidget);
    connect(fileHandlerObject, &FileHandler::reloadCurrentTreeTextures, renderModel,
            &EcosystemRender::reloadCurrentTreeTextures);
    connect(fileHandlerObject, &FileHandler::treeParametersChanged, history, &ParameterHistory::record);
    // Undo and redo may bring back other texture files; the views repaint after this.
    connect(history, &ParameterHistory::parametersRestored, renderModel,
            [model = renderModel](lignet::TreeRenderer *tree, bool texturesChanged) {
                if (!texturesChanged)
                    return;
                if (tree == model->getCurrentTree())
                    model->reloadCurrentTreeTextures();
                else
                    model->reloadAllTreeTextures();
            });
    connectActionsByName(fileHandlerObject);
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
    connect(timeKeeperHandler, &TimeKeeper::grabFrameBuffer, fileHandlerObject,
            &FileHandler::grabAnimationFrame);
    connect(timeKeeperHandler, &TimeKeeper::grabGeometry, fileHandlerObject, &FileHandler::grabGeometryFrame);
    connect(timeKeeperHandler, &TimeKeeper::sequenceExportStopped, fileHandlerObject,
            &FileHandler::resetLastNames);
}

void MainWindow::connectTreeActions()
{
    connect(ui->actionSelect_next_tree_parameters_tree_edit_mode, &QAction::triggered, renderModel,
            &EcosystemRender::selectNextTreeSpecies);
    // Leaf size, the three animations and environmental deaths: the model's slots carry the actions'
    // names.
    connectActionsByName(renderModel);
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
    designHandlerObject = new DesignHandler(this, renderModel, history);
    connectActionsByName(designHandlerObject);
}

void MainWindow::connectViewActions()
{
    viewHandlerObject = new ViewHandler(this, renderModel);
    connectActionsByName(viewHandlerObject);
    // One tree scale at a time; the check mark follows the model (syncCheckMarks).
    auto *treeScales = new QActionGroup(this);
    for (QAction *scale : treeScaleActions())
        treeScales->addAction(scale);
}

void MainWindow::connectNavigationActions()
{
    navigationHandlerObject = new NavigationHandler(this, this, renderModel);
    connectActionsByName(navigationHandlerObject);
    using N = NavigationHandler;
    connect(navigationHandlerObject, &N::startCameraAnimation, timeKeeperHandler,
            &TimeKeeper::startCameraAnimation);
    connect(navigationHandlerObject, &N::stopCameraAnimation, timeKeeperHandler,
            &TimeKeeper::stopCameraAnimation);
    connect(timeKeeperHandler, &TimeKeeper::animateCamera, navigationHandlerObject, &N::animateCamera);
}

void MainWindow::connectActionsByName(QObject *receiver)
{
    // Handler slots are named after the action they serve, so the names are the wiring table.
    const QMetaObject *meta = receiver->metaObject();
    const QMetaMethod triggered = QMetaMethod::fromSignal(&QAction::triggered);
    for (QAction *action : findChildren<QAction *>()) {
        const int slot = meta->indexOfSlot(QMetaObject::normalizedSignature(
            (action->objectName() + QStringLiteral("()")).toLatin1().constData()));
        if (slot >= 0)
            connect(action, triggered, receiver, meta->method(slot));
    }
}

void MainWindow::createStatusReport()
{
    statusReport = new StatusReport(statusBar(), renderModel, timeKeeperHandler);
    // The report follows the model's own signals; these commands change what it shows without one.
    connect(viewHandlerObject, &ViewHandler::forceRepaint, statusReport, &StatusReport::refresh);
    connect(ui->actionShow_frame_rate, &QAction::triggered, statusReport, &StatusReport::refresh);
    connect(ui->actionRun_simulation, &QAction::triggered, statusReport, &StatusReport::refresh);
    connect(ui->actionCompute_more_simulation_steps_per_one_rendered_frame, &QAction::triggered, statusReport,
            &StatusReport::frameSkipChanged);
    connect(ui->actionCompute_less_simulation_steps_per_one_rendered_frame, &QAction::triggered, statusReport,
            &StatusReport::frameSkipChanged);
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
    connect(fileHandlerObject, &FileHandler::forceRepaint, view, &OglWidget::updateGL, Qt::UniqueConnection);
    connect(designHandlerObject, &DesignHandler::forceRepaint, view, &OglWidget::updateGL,
            Qt::UniqueConnection);
    connect(history, &ParameterHistory::parametersRestored, view, &OglWidget::updateGL, Qt::UniqueConnection);
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
    if (renderModel == nullptr)
        return;
    PlantArea dialog(this);
    dialog.minX()->setValue(renderModel->getLupaMinX());
    dialog.maxX()->setValue(renderModel->getLupaMaxX());
    dialog.minY()->setValue(renderModel->getLupaMinY());
    dialog.maxY()->setValue(renderModel->getLupaMaxY());
    // Every change applies at once; the dialog's result does not matter. The model takes the value
    // the spin box ends with: a 0 typed in is sent first and then corrected to 1 by the slider, and
    // the model must not keep the 0 that is sent last.
    const std::pair<QSpinBox *, void (EcosystemRender::*)(int)> bounds[] = {
        {dialog.minX(), &EcosystemRender::setLupaMinX},
        {dialog.maxX(), &EcosystemRender::setLupaMaxX},
        {dialog.minY(), &EcosystemRender::setLupaMinY},
        {dialog.maxY(), &EcosystemRender::setLupaMaxY},
    };
    for (const auto &[spinBox, setter] : bounds) {
        connect(spinBox, &QSpinBox::valueChanged, renderModel,
                [model = renderModel, box = spinBox, set = setter] { (model->*set)(box->value()); });
    }
    dialogs().exec(dialog);
}

void MainWindow::on_actionEdit_random_generator_seeds_triggered()
{
    if (renderModel == nullptr)
        return;
    RandomGeneratorSeedsEditor dialog(this);
    connect(&dialog, &RandomGeneratorSeedsEditor::updateSeeds, renderModel,
            &EcosystemRender::setRandomGeneratorSeeds);
    dialog.setSeeds(renderModel->getRandomGeneratorSeeds());
    dialogs().exec(dialog);
}

void MainWindow::on_actionShow_statistics_triggered()
{
    if (renderModel == nullptr || !renderModel->isSimulationInitialised()) {
        showCentredInformation(this, tr("Error"), tr("First run simulation please."));
        return;
    }
    // Modeless, one more dialog per trigger; each follows the model's statistics signals.
    auto *dialog = new EcosystemStatistics(this, &renderModel->getStatistics());
    dialog->setBeforeReading([model = renderModel] { model->waitForStep(); });
    // Freed once closed, by "Close" or by the window's close button alike.
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    connect(renderModel, &EcosystemRender::nrPlantsLivingChanged, dialog,
            &EcosystemStatistics::nrPlantsLivingChanged);
    connect(renderModel, &EcosystemRender::nrPlantsRenderedChanged, dialog,
            &EcosystemStatistics::nrPlantsRenderedChanged);
    dialog->show();
}

void MainWindow::on_actionUsage_triggered()
{
    Help dialog(this);
    dialogs().exec(dialog);
}

void MainWindow::on_actionAbout_triggered()
{
    About dialog(this);
    dialogs().exec(dialog);
}

void MainWindow::syncCheckMarks()
{
    if (renderModel == nullptr)
        return;
    for (const auto &info : ecosystem::render::viewOptionTable()) {
        auto *action = findChild<QAction *>(QLatin1String(info.actionName.data(), info.actionName.size()));
        if (action != nullptr)
            action->setChecked(renderModel->isViewOptionOn(info.option) != info.actionShowsOff);
    }
    const lignet::TreeRenderer *tree = renderModel->getCurrentTree();
    const ecosystem::render::Camera *camera = renderModel->getCamera();
    const std::pair<QAction *, bool> marks[] = {
        {ui->actionKeep_camera_position_above_terrain_surface_ecosystem_mode, camera->keepAboveSurface},
        {ui->actionForce_camera_position_at_terrain_surface_ecosystem_mode, camera->forceAtSurface},
        {ui->actionGrow_tree, tree->settings().growing},
        {ui->actionSpin_tree, tree->settings().spinning},
        {ui->actionSway_tree_in_wind, tree->settings().windOn},
        {ui->actionAutosave_simulation, renderModel->getAutosaveSteps() >= 1},
        {ui->actionEnvironmentalDeaths, renderModel->environmentalDeaths()},
    };
    for (const auto &[action, on] : marks)
        action->setChecked(on);
    const auto actions = treeScaleActions();
    for (std::size_t i = 0; i < actions.size(); ++i)
        actions[i]->setChecked(ecosystem::render::TreeScales[i] == renderModel->getTreeScale());
}

std::array<QAction *, 4> MainWindow::treeScaleActions() const
{
    return {ui->actionTree_scale_1, ui->actionTree_scale_2, ui->actionTree_scale_5, ui->actionTree_scale_10};
}

} // namespace gui
