#include "ecosystem/render/ecosystemrender.h"

#include "assets/speciestrees.h"
#include "assets/terrainloader.h"
#include "ecosystem/render/backgroundstep.h"
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemframe.h"
#include "ecosystem/render/framerate.h"
#include "ecosystem/render/scenetextures.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/treerenderer.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QOpenGLContext>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace ecosystem::render {

QString EcosystemRender::errorTitle()
{
    return QStringLiteral(QT_TRANSLATE_NOOP("EcosystemRender", "Error"));
}

EcosystemRender::EcosystemRender(QOpenGLContext *context, ErrorHandler onError)
    : QObject(nullptr), ecosystem(std::make_unique<EcosystemScene>()),
      stepper(std::make_unique<BackgroundStep>(*ecosystem)), errorHandler(std::move(onError))
{
    connect(stepper.get(), &BackgroundStep::finished, this, &EcosystemRender::reportStep);
    detailTextureFile = QStringLiteral(":/gui/textures/detail.png");
    skyTextureFiles = {
        QStringLiteral(":/gui/textures/sky_n.png"), QStringLiteral(":/gui/textures/sky_s.png"),
        QStringLiteral(":/gui/textures/sky_e.png"), QStringLiteral(":/gui/textures/sky_w.png"),
        QStringLiteral(":/gui/textures/sky_u.png"), QStringLiteral(":/gui/textures/sky_d.png")};
    loadBuiltInData();
    ecosystem->analyseTerrainIfNeeded();
    camera = new Camera(this, &ecosystem->terrain());
    ecosystemFrame = std::make_unique<EcosystemFrame>(*ecosystem, context);
    sceneTextures = std::make_unique<SceneTextures>(context);
    meshes = std::make_unique<TreeMeshes>(context);
    referenceDrawing = qEnvironmentVariableIntValue("VERDALIS_REFERENCE_DRAWING") != 0;
    backgroundSteps = qEnvironmentVariableIntValue("VERDALIS_STEP_ON_GUI_THREAD") == 0;
    initAllTextures(context);
}

// The textures release themselves (see SceneTextures); the camera goes with its QObject parent.
EcosystemRender::~EcosystemRender() = default;

void EcosystemRender::loadBuiltInData()
{
    const DemLoadResult dem = assets::TerrainLoader::load(
        ecosystem->terrain(), QString::fromLatin1(assets::TerrainLoader::DefaultDem),
        TerrainModel::MapUpdate::Defer);
    if (!dem.ok())
        reportError(errorTitle(), QString::fromStdString(dem.message()));
    for (std::size_t i = 0; i < EcosystemScene::TreeCount; ++i) {
        std::string warning;
        assets::loadSpeciesTree(i, ecosystem->tree(i).designedParameters(), &warning);
        if (!warning.empty())
            std::cerr << "Warning: " << warning << '.' << std::endl;
    }
}

void EcosystemRender::setErrorHandler(ErrorHandler onError)
{
    errorHandler = std::move(onError);
}

void EcosystemRender::reportError(const QString &englishTitle, const QString &englishText)
{
    // The fixed messages of the core are in the catalogue under this context; others stay as they are.
    const QString title = QCoreApplication::translate("EcosystemRender", englishTitle.toUtf8().constData());
    const QString text = QCoreApplication::translate("EcosystemRender", englishText.toUtf8().constData());
    if (errorHandler) {
        errorHandler(title, text);
        return;
    }
    if (isSignalConnected(QMetaMethod::fromSignal(&EcosystemRender::errorReported))) {
        emit errorReported(title, text);
        return;
    }
    std::cerr << title.toStdString() << ": " << text.toStdString() << std::endl;
}

lignet::TreeRenderer *EcosystemRender::getCurrentTree() const
{
    return &ecosystem->currentTree();
}

int EcosystemRender::getCurrentTreeIndex() const
{
    return ecosystem->currentTreeIndex();
}

EcosystemScene &EcosystemRender::scene() const
{
    stepper->join();
    return *ecosystem;
}

TerrainModel &EcosystemRender::getTerrain() const
{
    return scene().terrain();
}

EcosystemSimulation &EcosystemRender::getSimulation() const
{
    return scene().simulation();
}

bool EcosystemRender::isSimulationInitialised() const
{
    return scene().simulation().isInitialised();
}

SimulationStatistics &EcosystemRender::getStatistics() const
{
    return scene().simulation().statistics();
}

bool EcosystemRender::loadDem(const std::string &fileName)
{
    const DemLoadResult result = assets::TerrainLoader::load(
        scene().terrain(), QString::fromLocal8Bit(fileName.c_str()), TerrainModel::MapUpdate::Compute);
    if (!result.ok()) {
        reportError(errorTitle(), QString::fromStdString(result.message()));
        return false;
    }
    ecosystemFrame->terrainRenderer().invalidate();
    terrainChanged = true;
    emit modelDataChanged();
    return true;
}

// ---------------------------------------------------------------------------------------------
// View switches

bool EcosystemRender::isViewOptionOn(ViewOption option) const
{
    const lignet::TreeRenderer &tree = ecosystem->currentTree();
    switch (option) {
    case ViewOption::DisplayLeaves:
        return tree.designedParameters().displayLeaves;
    case ViewOption::ColourByOrders:
        return tree.settings().colourByOrders;
    case ViewOption::HighQuality:
        return tree.settings().highQuality;
    case ViewOption::Wireframe:
        return options.isOn(ViewOption::SingleRender) ? tree.settings().wireframe : options.isOn(option);
    default:
        return options.isOn(option);
    }
}

void EcosystemRender::toggleViewOptionFromMenu(ViewOption option)
{
    lignet::TreeRenderer &tree = ecosystem->currentTree();
    switch (option) {
    case ViewOption::SingleRender:
        return toggleSingleRender();
    case ViewOption::DisplayLeaves:
        tree.designedParameters().displayLeaves = !tree.designedParameters().displayLeaves;
        return;
    case ViewOption::ColourByOrders:
        tree.settings().colourByOrders = !tree.settings().colourByOrders;
        return;
    case ViewOption::HighQuality:
        tree.settings().highQuality = !tree.settings().highQuality;
        return;
    case ViewOption::Wireframe:
        // The two modes keep separate wireframe switches.
        if (options.isOn(ViewOption::SingleRender))
            tree.settings().wireframe = !tree.settings().wireframe;
        else
            toggleWireframe();
        return;
    case ViewOption::DisplaySky:
        tree.settings().backgroundSky = !tree.settings().backgroundSky;
        toggleDisplaySky();
        return;
    default:
        options.toggle(option);
        return;
    }
}

void EcosystemRender::toggleSingleRender()
{
    options.toggle(ViewOption::SingleRender);
    lignet::TreeDrawSettings &settings = ecosystem->currentTree().settings();
    settings.growing = false;
    settings.spinAngle = 0.0;
    settings.wireframe = false;
}

// ---------------------------------------------------------------------------------------------
// Frame

void EcosystemRender::render()
{
    const lignet::TreeDrawSettings &current = ecosystem->currentTree().settings();
    if (!current.growing && !current.spinning && !current.windOn)
        emit stopTreeAnimation();
    if (options.isOn(ViewOption::DoNotRefreshDisplay))
        return;
    countFrameRate();
    if (options.isOn(ViewOption::LightingEnabled))
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    checkGlError("Zacetek renderiranja");
    if (options.isOn(ViewOption::SingleRender))
        renderTreeEditFrame();
    else
        renderEcosystemFrame();
    checkGlError("Vse zrenderirano");
    reportVertexExportFailures();
    emit frameRendered();
}

void EcosystemRender::reportVertexExportFailures()
{
    for (std::size_t i = 0; i < EcosystemScene::TreeCount; ++i) {
        const std::string failure = ecosystem->tree(i).takeExportError();
        if (!failure.empty())
            emit vertexExportFailed(QString::fromStdString(failure));
    }
}

void EcosystemRender::countFrameRate()
{
    const std::optional<double> rate = FrameRate::shared().countFrame();
    if (rate && options.isOn(ViewOption::ShowFPS))
        std::cout << *rate << "fps" << std::endl;
}

void EcosystemRender::renderTreeEditFrame()
{
    const auto index = static_cast<std::size_t>(ecosystem->currentTreeIndex());
    lignet::TreeRenderer &tree = ecosystem->currentTree();
    const lignet::gl::TreeTextures &treeTextures = sceneTextures->tree(index);
    lignet::gl::DrawCounters counters;
    if (referenceDrawing) {
        lignet::gl::drawTreeScene(tree, treeTextures, camera->orbitUp, camera->orbitSide,
                                  camera->orbitDistance, camera->orbitPitch, camera->orbitYaw, &counters);
    } else {
        meshes->drawer().resetCounters();
        meshes->treeScene().draw(tree, treeTextures, camera->orbitUp, camera->orbitSide,
                                 camera->orbitDistance, camera->orbitPitch, camera->orbitYaw);
        counters = meshes->drawer().counters();
    }
    lastTreeTriangles = counters.triangles;
    lastTreeDrawCalls = counters.drawCalls;
}

bool EcosystemRender::setTreeScale(int scale)
{
    if (!isTreeScale(scale))
        return false;
    treeScale = scale;
    return true;
}

void EcosystemRender::setSimulationRunning(bool running)
{
    const double before = meshes->frameImpostorThreshold();
    meshes->setSimulationRunning(running);
    repaintIfQuickFramesEnded(before);
}

void EcosystemRender::setCameraMoving(bool moving)
{
    const double before = meshes->frameImpostorThreshold();
    meshes->setCameraMoving(moving);
    repaintIfQuickFramesEnded(before);
}

void EcosystemRender::repaintIfQuickFramesEnded(double thresholdBefore)
{
    // The quick frames take every still plant; once neither the simulation nor the camera asks for
    // them, the view is drawn again with its own threshold.
    const double threshold = meshes->frameImpostorThreshold();
    if (threshold != thresholdBefore && std::isfinite(threshold))
        emit modelDataChanged();
}

void EcosystemRender::renderEcosystemFrame()
{
    waitForStep(); // the frame draws the plants
    if (terrainChanged) {
        sceneTextures->uploadTerrain(ecosystem->terrain(), detailTextureFile);
        ecosystemFrame->setUpTerrain(*sceneTextures);
        terrainChanged = false;
    }
    const TreesPassResult trees =
        ecosystemFrame->draw(options, *camera, *sceneTextures, errorCheck,
                             referenceDrawing ? nullptr : meshes.get(), static_cast<float>(treeScale));
    lastTreeTriangles = trees.triangles;
    lastTreeDrawCalls = trees.drawCalls;
    const std::vector<int> &counts = trees.drawnPerSpecies;
    ecosystem->simulation().statistics().recordRendered(counts);
    lastRenderedCount = 0;
    for (int count : counts)
        lastRenderedCount += count;
    emit nrPlantsRenderedChanged();
}

// ---------------------------------------------------------------------------------------------
// Tree-facing slots

void EcosystemRender::selectNextTreeSpecies()
{
    ecosystem->selectNextTree();
    emit modelDataChanged();
}

void EcosystemRender::actionEnlarge_leave_size()
{
    ecosystem->currentTree().designedParameters().leafSize *= 1.1f;
    emit modelDataChanged();
}

void EcosystemRender::actionReduce_leave_size()
{
    ecosystem->currentTree().designedParameters().leafSize *= 0.91f;
    --frameCountdown;
    if (frameCountdown <= 0) {
        frameCountdown = frameSkip;
        emit modelDataChanged();
    }
}

void EcosystemRender::actionGrow_tree()
{
    lignet::TreeDrawSettings &settings = ecosystem->currentTree().settings();
    settings.growthProgress = 0.0;
    settings.growing = !settings.growing;
    emit modelDataChanged();
    emit startTreeAnimation();
}

void EcosystemRender::actionSpin_tree()
{
    lignet::TreeDrawSettings &settings = ecosystem->currentTree().settings();
    settings.spinning = !settings.spinning;
    emit modelDataChanged();
    emit startTreeAnimation();
}

void EcosystemRender::actionSway_tree_in_wind()
{
    lignet::TreeDrawSettings &settings = ecosystem->currentTree().settings();
    settings.windOn = !settings.windOn;
    emit modelDataChanged();
    emit startTreeAnimation();
}

} // namespace ecosystem::render
