#include "ecosystem/render/ecosystemrender.h"

#include "ecosystem/render/camera.h"
#include "ecosystem/render/glextensions.h"
#include "ecosystem/render/landmarkings.h"
#include "ecosystem/render/skybox.h"
#include "ecosystem/render/terrainloader.h"
#include "ecosystem/render/terrainoverlays.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/render/texturehelper.h"
#include "ecosystem/render/speciesappearance.h"
#include "ecosystem/render/viewfrustum.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/treeparameterfile.h"
#include "lignet/treerenderer.h"

#include <QElapsedTimer>
#include <QMetaMethod>
#include <QOpenGLContext>
#include <QRadialGradient>
#include <QPainter>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace ecosystem::render {

namespace {

// The frame-rate count is shared by every view of the process.
struct FrameRateCounter {
    QElapsedTimer clock;
    qint64 milliseconds = 0;
    int frames = 0;
};

FrameRateCounter &frameRateCounter()
{
    static FrameRateCounter counter;
    return counter;
}

bool checkGlFromEnvironment()
{
    const char *value = std::getenv("VERDALIS_CHECK_GL");
    return value != nullptr && std::string(value) == "1";
}

QImage sunImage()
{
    QImage image(64, 64, QImage::Format_RGBA8888);
    image.fill(QColor(255, 190, 0));
    QPainter painter(&image);
    QRadialGradient glow(32.0, 32.0, 32.0);
    glow.setColorAt(0.0, QColor(255, 255, 235));
    glow.setColorAt(0.5, QColor(255, 235, 90));
    glow.setColorAt(1.0, QColor(255, 170, 0));
    painter.fillRect(image.rect(), glow);
    painter.end();
    return image;
}

QImage toQImage(const RgbImage &image)
{
    if (image.isEmpty())
        return {};
    QImage result(image.width(), image.height(), QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        uchar *line = result.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            for (int c = 0; c < 3; ++c)
                line[3 * x + c] = image.channel(x, y, c);
    }
    return result;
}

GLuint textureName(std::uint32_t name)
{
    return static_cast<GLuint>(name);
}

} // namespace

const std::array<std::string, 6> &EcosystemRender::speciesFiles()
{
    static const std::array<std::string, 6> files = {
        "bin/zbirka-4/grm5.tree.xml",
        "bin/zbirka-4/Vrba Zalujka (Salix Babylonica).tree.xml",
        "bin/zbirka-4/javorVelikZgorajGost.tree.xml",
        "bin/zbirka-4/smrekaMini.tree.xml",
        "bin/zbirka-4/manjseDefault100_vecjiListi.tree.xml",
        "",
    };
    return files;
}

EcosystemRender::EcosystemRender(QOpenGLContext *context, ErrorHandler onError)
    : QObject(nullptr), glContext(context), errorHandler(std::move(onError))
{
    detailTextureFile = QStringLiteral(":/gui/textures/detail.png");
    skyTextureFiles = {QStringLiteral(":/gui/textures/sky_n.png"), QStringLiteral(":/gui/textures/sky_s.png"),
                       QStringLiteral(":/gui/textures/sky_e.png"), QStringLiteral(":/gui/textures/sky_w.png"),
                       QStringLiteral(":/gui/textures/sky_u.png"), QStringLiteral(":/gui/textures/sky_d.png")};
    checkGlErrors = checkGlFromEnvironment();
    gl = std::make_unique<GlExtensions>(context);

    terrain = new TerrainModel();
    const DemLoadResult dem =
        TerrainLoader::load(*terrain, QString::fromLatin1(TerrainLoader::DefaultDem), TerrainModel::MapUpdate::Defer);
    if (!dem.ok())
        reportError(QStringLiteral("Error"), QString::fromStdString(dem.message()));
    simulation = new EcosystemSimulation();
    simulation->attachTerrain(*terrain);

    for (std::size_t i = 0; i < speciesFiles().size(); ++i) {
        auto *tree = new lignet::TreeRenderer();
        currentTree = tree;
        lignet::gl::createQuadric(*tree);
        const std::string &file = speciesFiles()[i];
        if (!file.empty()) {
            std::string reason;
            if (!lignet::TreeParameterFile::load(tree->designedParameters(), file, &reason))
                std::cerr << "Warning: species tree file \"" << file << "\" not read (" << reason
                          << "); that species is drawn with the default tree." << std::endl;
        }
        trees.push_back(tree);
    }
    currentTreeIndex = 5;
    currentTree = trees[5];

    if (!terrain->isAnalysed())
        computeTerrainMaps(*terrain);

    camera = new Camera(this, terrain);
    overlays = new TerrainOverlays(*terrain);
    skyBox = new SkyBox(terrain->extent());
    terrainRenderer = new TerrainRenderer(*gl, *terrain);
    landMarkings = new LandMarkings(*terrain);

    initAllTextures(glContext);
}

EcosystemRender::~EcosystemRender()
{
    // Texture names can only be released while a context of their share group is current; without
    // one the context (and its textures) is already gone.
    const bool canRelease = QOpenGLContext::currentContext() != nullptr;
    if (canRelease) {
        GLuint base = terrainRenderer->baseTextureName();
        GLuint detail = terrainRenderer->detailTextureName();
        TextureHelper::release(base);
        TextureHelper::release(detail);
        for (GLuint &name : skyBox->textures())
            TextureHelper::release(name);
        GLuint sun = sunTexture;
        TextureHelper::release(sun);
    }
    delete terrainRenderer;
    delete skyBox;
    delete landMarkings;
    delete overlays;
    delete simulation;
    delete terrain;
    for (lignet::TreeRenderer *tree : trees) {
        if (canRelease) {
            GLuint bark = textureName(tree->settings().barkTexture);
            GLuint leaf = textureName(tree->settings().leafTexture);
            TextureHelper::release(bark);
            TextureHelper::release(leaf);
        }
        delete tree;
    }
}

void EcosystemRender::setErrorHandler(ErrorHandler onError)
{
    errorHandler = std::move(onError);
}

void EcosystemRender::reportError(const QString &title, const QString &text)
{
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

bool EcosystemRender::isSimulationInitialised() const
{
    return simulation->isInitialised();
}

SimulationStatistics &EcosystemRender::getStatistics() const
{
    return simulation->statistics();
}

bool EcosystemRender::loadDem(const std::string &fileName)
{
    const DemLoadResult result =
        TerrainLoader::load(*terrain, QString::fromLocal8Bit(fileName.c_str()), TerrainModel::MapUpdate::Compute);
    if (!result.ok()) {
        reportError(QStringLiteral("Error"), QString::fromStdString(result.message()));
        return false;
    }
    terrainRenderer->invalidate();
    terrainChanged = true;
    emit modelDataChanged();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Frame

void EcosystemRender::render()
{
    const lignet::TreeDrawSettings &current = currentTree->settings();
    if (!current.growing && !current.spinning && !current.windOn)
        emit stopTreeAnimation();
    if (doNotRefreshDisplay)
        return;
    countFrameRate();
    if (lightingEnabled)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    checkGlError("Zacetek renderiranja");
    if (singleRender)
        renderTreeEditFrame();
    else
        renderEcosystemFrame();
    checkGlError("Vse zrenderirano");
}

void EcosystemRender::countFrameRate()
{
    FrameRateCounter &counter = frameRateCounter();
    if (!counter.clock.isValid())
        counter.clock.start();
    counter.milliseconds += counter.clock.restart();
    ++counter.frames;
    if (counter.milliseconds > 1000) {
        const double rate = 1000.0 / static_cast<double>(counter.milliseconds) * counter.frames;
        if (showFPS)
            std::cout << rate << "fps" << std::endl;
        counter.milliseconds = 0;
        counter.frames = 0;
    }
}

void EcosystemRender::renderTreeEditFrame()
{
    lignet::gl::drawTreeScene(*currentTree, camera->orbitUp, camera->orbitSide, camera->orbitDistance,
                               camera->orbitPitch, camera->orbitYaw);
}

void EcosystemRender::setEcosystemLights()
{
    const GLfloat light0[4] = {4609.0f, 0.0f, 5750.0f, 0.0f};
    const GLfloat light1[4] = {4609.0f, 2500.0f, 5750.0f, 2500.0f};
    const GLfloat light2[4] = {4609.0f, 1000.0f, 5750.0f, 715.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light0);
    glLightfv(GL_LIGHT1, GL_POSITION, light1);
    glLightfv(GL_LIGHT2, GL_POSITION, light2);
}

void EcosystemRender::renderEcosystemFrame()
{
    if (terrainChanged) {
        uploadTerrainTextures();
        terrainRenderer->buildArrays();
        terrainChanged = false;
    }
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The sky and the terrain carry no normals: start every frame from OpenGL's initial normal so
    // their lighting never depends on what the previous frame drew last.
    glNormal3f(0.0f, 0.0f, 1.0f);
    checkGlError("Identity model");
    camera->applyFlyCamera();
    checkGlError("Camera set");
    setEcosystemLights();
    checkGlError("Lights set");
    if (displaySky)
        skyBox->draw();
    checkGlError("Sky konec");
    terrainRenderer->draw();
    if (!terrain->isAnalysed())
        computeTerrainMaps(*terrain);
    drawOverlays();
    lastRenderedCount = renderTrees();
}

void EcosystemRender::drawOverlays()
{
    if (displayTerrainNormals)
        overlays->draw(TerrainOverlays::Map::Normals);
    if (displayTerrainInclination)
        overlays->draw(TerrainOverlays::Map::Inclination);
    if (displayTerrainMoisture)
        overlays->draw(TerrainOverlays::Map::Moisture);
    if (displayTerrainSunniness)
        overlays->draw(TerrainOverlays::Map::Sunniness);
    if (displayTerrainWindiness)
        overlays->draw(TerrainOverlays::Map::Windiness);
    if (displayLandMarkings)
        landMarkings->draw();
    if (displaySun)
        overlays->drawSunMarkers(sunTexture);
}

int EcosystemRender::renderTrees()
{
    const ViewFrustum frustum = ViewFrustum::fromCurrentMatrices();
    const math::Vector3f eye = camera->position;
    const lignet::TreeDrawSettings &current = currentTree->settings();
    std::vector<int> counts;
    counts.reserve(simulation->species().size());
    int total = 0;
    for (const Species &species : simulation->species()) {
        int drawn = 0;
        lignet::TreeRenderer &tree = *trees[static_cast<std::size_t>(treeIndexForSpecies(species.index))];
        lignet::TreeDrawSettings &settings = tree.settings();
        for (const Plant &plant : species.plants) {
            const math::Vector3f &p = plant.position;
            if (!frustum.isSphereVisible(p.x, p.y + 2.5, p.z, 5.0))
                continue;
            ++drawn;
            glPushMatrix();
            glTranslatef(p.x, p.y, p.z);
            if (showNeighborHood && settings.quadric) {
                glDisable(GL_DEPTH_TEST);
                glPushMatrix();
                glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
                glDisable(GL_TEXTURE_2D);
                glDisable(GL_LIGHTING);
                unsigned char rgb[3];
                neighbourhoodColour(species.index, rgb);
                glColor3ub(rgb[0], rgb[1], rgb[2]);
                gluDisk(settings.quadric.get(), 0.0, plant.height, 16, 1);
                if (lightingEnabled)
                    glEnable(GL_LIGHTING);
                else
                    glDisable(GL_LIGHTING);
                glEnable(GL_TEXTURE_2D);
                glPopMatrix();
                glEnable(GL_DEPTH_TEST);
            }
            if (!doNotDrawTrees) {
                settings.wireframe = wireframe;
                settings.growing = true;
                settings.windOn = current.windOn;
                settings.spinning = current.spinning;
                settings.spinAngle = static_cast<double>(plant.id) * 17.19;
                settings.growthProgress = std::min(static_cast<double>(plant.size), 1.0);
                const double distance = static_cast<double>((p - eye).length());
                lignet::gl::drawTreeAtLevelOfDetail(tree, levelOfDetailForDistance(distance));
            }
            glPopMatrix();
        }
        counts.push_back(drawn);
        total += drawn;
    }
    simulation->statistics().recordRendered(counts);
    emit nrPlantsRenderedChanged();
    return total;
}

void EcosystemRender::checkGlError(const char *message)
{
    if (!checkGlErrors)
        return;
    // A lost context can report errors forever; a frame never has this many.
    for (int guard = 0; guard < 64; ++guard) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR)
            return;
        std::cout << message << ": ";
        switch (error) {
        case GL_INVALID_ENUM:
            std::cout << "GL_INVALID_ENUM";
            break;
        case GL_INVALID_VALUE:
            std::cout << "GL_INVALID_VALUE";
            break;
        case GL_INVALID_OPERATION:
            std::cout << "GL_INVALID_OPERATION";
            break;
        case GL_STACK_OVERFLOW:
            std::cout << "GL_STACK_OVERFLOW";
            break;
        case GL_OUT_OF_MEMORY:
            std::cout << "GL_OUT_OF_MEMORY";
            break;
        default:
            std::cout << error;
            break;
        }
        std::cout << std::endl;
    }
}

// ---------------------------------------------------------------------------------------------
// Textures

void EcosystemRender::makeCurrentTree(int index)
{
    currentTreeIndex = index;
    currentTree = trees[static_cast<std::size_t>(index)];
}

void EcosystemRender::reloadCurrentTreeTextures()
{
    const lignet::TreeParameters &parameters = currentTree->designedParameters();
    const QImage bark = TextureHelper::loadImage(QString::fromLocal8Bit(parameters.barkTexturePath.c_str()));
    if (bark.isNull()) {
        reportError(QStringLiteral("Error"), QStringLiteral("Could not open bark texture file."));
        return;
    }
    const QImage leaf = TextureHelper::loadImage(QString::fromLocal8Bit(parameters.leafTexturePath.c_str()));
    if (leaf.isNull()) {
        reportError(QStringLiteral("Error"), QStringLiteral("Could not open bark texture file."));
        return;
    }
    lignet::TreeDrawSettings &settings = currentTree->settings();
    GLuint oldBark = textureName(settings.barkTexture);
    GLuint oldLeaf = textureName(settings.leafTexture);
    TextureHelper::release(oldBark);
    TextureHelper::release(oldLeaf);
    settings.barkTexture = TextureHelper::upload(TextureHelper::applyColourKey(bark));
    settings.leafTexture = TextureHelper::upload(TextureHelper::applyColourKey(leaf));
    lignet::gl::setTextureParameters(*currentTree, true, true);
}

void EcosystemRender::reloadAllTreeTextures()
{
    const int previous = currentTreeIndex;
    for (int i = 0; i < static_cast<int>(trees.size()); ++i) {
        makeCurrentTree(i);
        reloadCurrentTreeTextures();
    }
    makeCurrentTree(previous);
}

void EcosystemRender::uploadTerrainTextures()
{
    TextureHelper::release(terrainRenderer->baseTextureName());
    TextureHelper::release(terrainRenderer->detailTextureName());
    const GLuint base = TextureHelper::upload(toQImage(terrain->heightTexture()));
    const QImage detailImage = TextureHelper::loadImage(detailTextureFile);
    if (detailImage.isNull())
        std::cerr << "Warning: detail texture \"" << detailTextureFile.toStdString()
                  << "\" not read; the terrain is drawn without detail." << std::endl;
    const GLuint detail = TextureHelper::upload(detailImage);
    terrainRenderer->setTextures(base, detail);
    terrainRenderer->useDetailTexture = detail != 0;
}

void EcosystemRender::initAllTextures(QOpenGLContext *context)
{
    if (context != nullptr && glContext == nullptr)
        glContext = context;
    reloadAllTreeTextures();
    sendSkyTexturesToSkyRender();
    uploadTerrainTextures();
    terrainRenderer->buildArrays();
    terrainChanged = false;
    if (sunTexture == 0)
        sunTexture = TextureHelper::upload(sunImage());
}

void EcosystemRender::sendSkyTexturesToSkyRender()
{
    std::array<GLuint, 6> names = skyBox->textures();
    for (GLuint &name : names)
        TextureHelper::release(name);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QImage image = TextureHelper::loadImage(skyTextureFiles[i]);
        if (image.isNull())
            std::cerr << "Warning: sky texture \"" << skyTextureFiles[i].toStdString()
                      << "\" not read; that face is drawn plain white." << std::endl;
        names[i] = TextureHelper::upload(image);
    }
    skyBox->setTextures(names);
}

void EcosystemRender::reloadSkyTextures(QString filenameSky1, QString filenameSky2, QString filenameSky3,
                                        QString filenameSky4, QString filenameSky5, QString filenameSky6)
{
    skyTextureFiles = {filenameSky1, filenameSky2, filenameSky3, filenameSky4, filenameSky5, filenameSky6};
    sendSkyTexturesToSkyRender();
    emit modelDataChanged();
}

void EcosystemRender::getSkyTextureFileNames(QString &filenameSky1, QString &filenameSky2, QString &filenameSky3,
                                             QString &filenameSky4, QString &filenameSky5, QString &filenameSky6)
{
    filenameSky1 = skyTextureFiles[0];
    filenameSky2 = skyTextureFiles[1];
    filenameSky3 = skyTextureFiles[2];
    filenameSky4 = skyTextureFiles[3];
    filenameSky5 = skyTextureFiles[4];
    filenameSky6 = skyTextureFiles[5];
}

// ---------------------------------------------------------------------------------------------
// Plant area, simulation and autosave

void EcosystemRender::setLupaMinX(int value)
{
    terrain->setLupaMinX(value);
}

void EcosystemRender::setLupaMaxX(int value)
{
    terrain->setLupaMaxX(value);
}

void EcosystemRender::setLupaMinY(int value)
{
    terrain->setLupaMinY(value);
}

void EcosystemRender::setLupaMaxY(int value)
{
    terrain->setLupaMaxY(value);
}

int EcosystemRender::getLupaMinX()
{
    return terrain->lupaMinX();
}

int EcosystemRender::getLupaMaxX()
{
    return terrain->lupaMaxX();
}

int EcosystemRender::getLupaMinY()
{
    return terrain->lupaMinY();
}

int EcosystemRender::getLupaMaxY()
{
    return terrain->lupaMaxY();
}

void EcosystemRender::simulateNextStepAndUpdateGL()
{
    simulation->simulateStep();
    std::cout << simulation->statistics().logLine() << std::endl;
    emit nrPlantsLivingChanged();
    if (++stepsSinceRepaint >= frameSkip) {
        stepsSinceRepaint = 0;
        emit modelDataChanged();
    }
    updateAutoSave();
}

bool EcosystemRender::loadSimulation(std::string fileName)
{
    const SimulationOutcome outcome = simulation->load(fileName, std::cout, std::cerr);
    if (outcome)
        emit nrPlantsLivingChanged();
    return outcome.ok;
}

bool EcosystemRender::saveSimulation(std::string fileName)
{
    return simulation->save(fileName, std::cout, std::cerr).ok;
}

std::vector<unsigned long long> EcosystemRender::getRandomGeneratorSeeds()
{
    return simulation->getSeeds();
}

void EcosystemRender::setRandomGeneratorSeeds(std::vector<unsigned long long> seeds)
{
    const SimulationOutcome outcome = simulation->setSeeds(seeds);
    if (!outcome)
        reportError(QStringLiteral("Error"), QString::fromStdString(outcome.message));
}

void EcosystemRender::setAutosave(int nrSteps)
{
    autosaveSteps = nrSteps;
}

void EcosystemRender::updateAutoSave()
{
    if (autosaveSteps < 1 || simulation->step() < 0)
        return;
    if (simulation->step() % autosaveSteps == 0)
        saveSimulation(std::to_string(simulation->step()) + ".sim");
}

// ---------------------------------------------------------------------------------------------
// Toggles and tree-facing slots

void EcosystemRender::toggleSingleRender()
{
    singleRender = !singleRender;
    lignet::TreeDrawSettings &settings = currentTree->settings();
    settings.growing = false;
    settings.spinAngle = 0.0;
    settings.wireframe = false;
}

void EcosystemRender::toggleLightingEnabled()
{
    lightingEnabled = !lightingEnabled;
}

void EcosystemRender::toggleShowFPS()
{
    showFPS = !showFPS;
}

void EcosystemRender::toggleWireframe()
{
    wireframe = !wireframe;
    terrainRenderer->wireframe = !terrainRenderer->wireframe;
}

void EcosystemRender::toggleShowNeighborHood()
{
    showNeighborHood = !showNeighborHood;
}

void EcosystemRender::toggleDoNotDrawTrees()
{
    doNotDrawTrees = !doNotDrawTrees;
}

void EcosystemRender::toggleDoNotRefreshDisplay()
{
    doNotRefreshDisplay = !doNotRefreshDisplay;
}

void EcosystemRender::toggleDisplayTerrainNormals()
{
    displayTerrainNormals = !displayTerrainNormals;
}

void EcosystemRender::toggleDisplayTerrainInclination()
{
    displayTerrainInclination = !displayTerrainInclination;
}

void EcosystemRender::toggleDisplayTerrainMoisture()
{
    displayTerrainMoisture = !displayTerrainMoisture;
}

void EcosystemRender::toggleDisplayTerrainSunniness()
{
    displayTerrainSunniness = !displayTerrainSunniness;
}

void EcosystemRender::toggleDisplayTerrainWindiness()
{
    displayTerrainWindiness = !displayTerrainWindiness;
}

void EcosystemRender::toggleDisplayLandMarkings()
{
    displayLandMarkings = !displayLandMarkings;
}

void EcosystemRender::toggleDisplaySun()
{
    displaySun = !displaySun;
}

void EcosystemRender::toggleDisplaySky()
{
    displaySky = !displaySky;
}

void EcosystemRender::selectNextTreeSpecies()
{
    lignet::TreeDrawSettings &old = currentTree->settings();
    const bool spinning = old.spinning;
    const bool windOn = old.windOn;
    old.spinning = false;
    old.windOn = false;
    makeCurrentTree(currentTreeIndex + 1 < static_cast<int>(trees.size()) ? currentTreeIndex + 1 : 0);
    currentTree->settings().spinning = spinning;
    currentTree->settings().windOn = windOn;
    emit modelDataChanged();
}

void EcosystemRender::actionEnlarge_leave_size()
{
    currentTree->designedParameters().leafSize *= 1.1f;
    emit modelDataChanged();
}

void EcosystemRender::actionReduce_leave_size()
{
    currentTree->designedParameters().leafSize *= 0.91f;
    --frameCountdown;
    if (frameCountdown <= 0) {
        frameCountdown = frameSkip;
        emit modelDataChanged();
    }
}

void EcosystemRender::actionGrow_tree()
{
    lignet::TreeDrawSettings &settings = currentTree->settings();
    settings.growthProgress = 0.0;
    settings.growing = !settings.growing;
    emit modelDataChanged();
    emit startTreeAnimation();
}

void EcosystemRender::actionSpin_tree()
{
    currentTree->settings().spinning = !currentTree->settings().spinning;
    emit modelDataChanged();
    emit startTreeAnimation();
}

void EcosystemRender::actionSway_tree_in_wind()
{
    currentTree->settings().windOn = !currentTree->settings().windOn;
    emit modelDataChanged();
    emit startTreeAnimation();
}

void EcosystemRender::actionRender_less_often_skip_more_frames()
{
    ++frameSkip;
}

void EcosystemRender::actionRender_more_often_skip_less_frames()
{
    frameSkip = std::max(1, frameSkip - 1);
}

} // namespace ecosystem::render
