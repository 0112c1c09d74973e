#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QOpenGLContext;

namespace lignet {
class TreeRenderer;
}

namespace ecosystem {
class TerrainModel;
class EcosystemSimulation;
class SimulationStatistics;
} // namespace ecosystem

namespace ecosystem::render {

class Camera;
class TerrainRenderer;
class TerrainOverlays;
class SkyBox;
class LandMarkings;
class GlExtensions;

// The one model object of the running program: it owns the terrain, the simulation, the six tree
// models, the camera and the drawing objects, holds every view flag and draws one frame per
// repaint, of the single current tree (tree edit mode) or of the whole ecosystem.
//
// Every GL-touching call (construction, initAllTextures, the texture reloads, render) must run with
// an OpenGL context of the view's share group current. With shared contexts all views draw with
// the same texture objects.
class EcosystemRender : public QObject {
    Q_OBJECT

public:
    // Receives a user-facing error: a title ("Error") and the message text. The GUI shows it as an
    // information box; without a handler the text goes to standard error.
    using ErrorHandler = std::function<void(const QString &title, const QString &text)>;

    // Builds everything and uploads all textures into `context`, which must be current. Errors of
    // the construction (missing texture images) go to `onError` when given, else to standard error.
    explicit EcosystemRender(QOpenGLContext *context, ErrorHandler onError = {});
    ~EcosystemRender() override;

    EcosystemRender(const EcosystemRender &) = delete;
    EcosystemRender &operator=(const EcosystemRender &) = delete;

    // Draws one frame into the current context's bound framebuffer (a view's paintGL calls this).
    void render();

    // Replaces where user-facing errors go (see ErrorHandler); an empty handler means standard
    // error unless the errorReported signal is connected.
    void setErrorHandler(ErrorHandler onError);

    // Loads a DEM file into the terrain, recomputes its maps and rebuilds the terrain drawing at the
    // next frame. On failure the previous terrain stays, the message is reported as an "Error" and
    // false is returned.
    bool loadDem(const std::string &fileName);

    // Accessors used by the GUI and the tests.
    Camera *getCamera() const { return camera; }
    lignet::TreeRenderer *getCurrentTree() const { return currentTree; }
    int getCurrentTreeIndex() const { return currentTreeIndex; }
    const std::vector<lignet::TreeRenderer *> &getTrees() const { return trees; }
    TerrainModel &getTerrain() const { return *terrain; }
    EcosystemSimulation &getSimulation() const { return *simulation; }
    bool isSimulationInitialised() const;
    SimulationStatistics &getStatistics() const;
    TerrainRenderer &getTerrainRenderer() const { return *terrainRenderer; }
    SkyBox &getSkyBox() const { return *skyBox; }

    bool isSingleRender() const { return singleRender; }
    bool isDisplayTerrainNormals() const { return displayTerrainNormals; }
    bool isDisplayTerrainInclination() const { return displayTerrainInclination; }
    bool isDisplayTerrainMoisture() const { return displayTerrainMoisture; }
    bool isDisplayTerrainSunniness() const { return displayTerrainSunniness; }
    bool isDisplayTerrainWindiness() const { return displayTerrainWindiness; }
    bool isDisplayLandMarkings() const { return displayLandMarkings; }
    bool isLightingEnabled() const { return lightingEnabled; }
    bool isWireframe() const { return wireframe; }
    bool isShowFPS() const { return showFPS; }
    bool isShowNeighborHood() const { return showNeighborHood; }
    bool isDoNotDrawTrees() const { return doNotDrawTrees; }
    bool isDoNotRefreshDisplay() const { return doNotRefreshDisplay; }
    bool isDisplaySun() const { return displaySun; }
    bool isDisplaySky() const { return displaySky; }
    bool isCheckGlErrors() const { return checkGlErrors; }
    void setCheckGlErrors(bool on) { checkGlErrors = on; }
    int getFrameSkip() const { return frameSkip; }
    int getFrameCountdown() const { return frameCountdown; }
    int getAutosaveSteps() const { return autosaveSteps; }
    QString getDetailTextureFile() const { return detailTextureFile; }

    // Number of plants the last ecosystem frame drew (all species).
    int getLastRenderedCount() const { return lastRenderedCount; }

    // Paths of the six species parameter files, relative to the working directory; the sixth is
    // empty, so the editable tree keeps the default parameters.
    static const std::array<std::string, 6> &speciesFiles();

signals:
    void modelDataChanged();
    void startTreeAnimation();
    void stopTreeAnimation();
    void nrPlantsLivingChanged();
    void nrPlantsRenderedChanged();
    // A user-facing error (title "Error", e.g. "Could not open bark texture file.").
    void errorReported(const QString &title, const QString &text);

public slots:
    void setLupaMinX(int value);
    void setLupaMaxX(int value);
    void setLupaMinY(int value);
    void setLupaMaxY(int value);
    int getLupaMinX();
    int getLupaMaxX();
    int getLupaMinY();
    int getLupaMaxY();
    void reloadCurrentTreeTextures();
    void reloadAllTreeTextures();
    // Uploads every texture into `context` (current): the first view's at construction, each
    // further view's from its initializeGL.
    void initAllTextures(QOpenGLContext *context);
    void toggleSingleRender();
    void toggleLightingEnabled();
    // One simulation step. The repaint request (modelDataChanged) is thinned by frameSkip: it is
    // sent after every frameSkip-th step, so callers should not thin the steps themselves.
    void simulateNextStepAndUpdateGL();
    void toggleShowFPS();
    void toggleWireframe();
    void toggleShowNeighborHood();
    void toggleDoNotDrawTrees();
    void toggleDoNotRefreshDisplay();
    void toggleDisplayTerrainNormals();
    void toggleDisplayTerrainInclination();
    void toggleDisplayTerrainMoisture();
    void toggleDisplayTerrainSunniness();
    void toggleDisplayTerrainWindiness();
    void toggleDisplayLandMarkings();
    void toggleDisplaySun();
    void selectNextTreeSpecies();
    void actionEnlarge_leave_size();
    void actionReduce_leave_size();
    void actionGrow_tree();
    void actionSpin_tree();
    void actionSway_tree_in_wind();
    void actionRender_less_often_skip_more_frames();
    void actionRender_more_often_skip_less_frames();
    void checkGlError(const char *message);
    // Both return whether the file was read / written; failures are reported on standard error.
    bool loadSimulation(std::string fileName);
    bool saveSimulation(std::string fileName);
    std::vector<unsigned long long> getRandomGeneratorSeeds();
    // Fewer than thirteen seeds are refused (reported as an "Error"); the generators stay as they were.
    void setRandomGeneratorSeeds(std::vector<unsigned long long> seeds);
    void toggleDisplaySky();
    void setAutosave(int nrSteps);
    void updateAutoSave();
    void reloadSkyTextures(QString filenameSky1, QString filenameSky2, QString filenameSky3,
                           QString filenameSky4, QString filenameSky5, QString filenameSky6);
    void sendSkyTexturesToSkyRender();
    void getSkyTextureFileNames(QString &filenameSky1, QString &filenameSky2, QString &filenameSky3,
                                QString &filenameSky4, QString &filenameSky5, QString &filenameSky6);

private:
    void reportError(const QString &title, const QString &text);
    void countFrameRate();
    void renderTreeEditFrame();
    void renderEcosystemFrame();
    void setEcosystemLights();
    int renderTrees();
    void makeCurrentTree(int index);
    void uploadTerrainTextures();
    void drawOverlays();

    bool singleRender = false;
    bool displayTerrainNormals = false;
    bool displayTerrainInclination = false;
    bool displayTerrainMoisture = false;
    bool displayTerrainSunniness = false;
    bool displayTerrainWindiness = false;
    bool displayLandMarkings = false;
    Camera *camera = nullptr;
    TerrainRenderer *terrainRenderer = nullptr;
    TerrainOverlays *overlays = nullptr;
    SkyBox *skyBox = nullptr;
    TerrainModel *terrain = nullptr;
    EcosystemSimulation *simulation = nullptr;
    std::vector<lignet::TreeRenderer *> trees;
    lignet::TreeRenderer *currentTree = nullptr;
    int currentTreeIndex = 5;
    QOpenGLContext *glContext = nullptr;
    int frameSkip = 1;
    bool lightingEnabled = true;
    bool wireframe = false;
    bool showFPS = true;
    bool showNeighborHood = false;
    bool doNotDrawTrees = false;
    bool doNotRefreshDisplay = false;
    int frameCountdown = 1;
    bool displaySun = false;
    bool displaySky = true;
    int autosaveSteps = -1;
    QString detailTextureFile;
    std::array<QString, 6> skyTextureFiles;
    bool checkGlErrors = false;

    LandMarkings *landMarkings = nullptr;
    std::unique_ptr<GlExtensions> gl;
    ErrorHandler errorHandler;
    int stepsSinceRepaint = 0;
    int lastRenderedCount = 0;
    // Our own sun marker texture (made in code), so the markers never depend on which texture
    // happens to carry name 1.
    unsigned int sunTexture = 0;
    // Set by a DEM load: the terrain drawing takes up the new grid and texture before the next
    // ecosystem frame.
    bool terrainChanged = false;
};

} // namespace ecosystem::render
