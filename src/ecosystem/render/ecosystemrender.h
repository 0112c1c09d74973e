#pragma once

#include "ecosystem/render/glerrorcheck.h"
#include "ecosystem/render/viewoptions.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <QObject>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QOpenGLContext;

namespace lignet {
class TreeRenderer;
}

namespace ecosystem {
class EcosystemSimulation;
class SimulationStatistics;
} // namespace ecosystem

namespace ecosystem::render {

class BackgroundStep;
class Camera;
class EcosystemFrame;
class SceneTextures;
class TreeMeshes;
struct TreeDrawCounts;

// The one model object of the running program, as the views and handlers see it: the scene
// (terrain, simulation, tree models), the camera, the view switches and the textures, and one
// frame per repaint, of the single current tree (tree edit mode) or of the whole ecosystem.
//
// Every GL-touching call (construction, initAllTextures, the texture reloads, render) must run with
// an OpenGL context of the views' share group current.
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

    // The switches as the View menu shows them: Wireframe is the current tree's in tree edit mode,
    // and the tree switches are the current tree's.
    bool isViewOptionOn(ViewOption option) const;
    // Switches as the View menu's action does: the tree's or the model's wireframe by mode, and the
    // sky together with the tree's background.
    void toggleViewOptionFromMenu(ViewOption option);
    const ViewOptions &viewOptions() const { return options; }

    // The scene and its parts, once no step runs on the worker (see BackgroundStep).
    EcosystemScene &scene() const;
    Camera *getCamera() const { return camera; }
    lignet::TreeRenderer *getCurrentTree() const;
    int getCurrentTreeIndex() const;
    TerrainModel &getTerrain() const;
    EcosystemSimulation &getSimulation() const;
    bool isSimulationInitialised() const;
    SimulationStatistics &getStatistics() const;
    EcosystemFrame &frame() const { return *ecosystemFrame; }
    const SceneTextures &textures() const { return *sceneTextures; }
    GlErrorCheck &glErrors() { return errorCheck; }
    int getFrameSkip() const { return frameSkip; }
    int getFrameCountdown() const { return frameCountdown; }
    QString getDetailTextureFile() const { return detailTextureFile; }

    // Number of plants the last ecosystem frame drew (all species).
    int getLastRenderedCount() const { return lastRenderedCount; }
    // Triangles and draw calls the trees of the last frame sent to OpenGL.
    std::uint64_t getLastTreeTriangles() const { return lastTreeTriangles; }
    std::uint64_t getLastTreeDrawCalls() const { return lastTreeDrawCalls; }

    // Trees are drawn from meshes shared by every view, batched by mesh; the reference drawing
    // (immediate mode, one primitive at a time) instead when switched on, or at start with the
    // environment variable VERDALIS_REFERENCE_DRAWING=1.
    bool isReferenceDrawing() const { return referenceDrawing; }
    void setReferenceDrawing(bool on) { referenceDrawing = on; }
    TreeMeshes &treeMeshes() const { return *meshes; }
    // The View menu's "Tree scale": one of TreeScales; other values are refused (false).
    int getTreeScale() const { return treeScale; }
    bool setTreeScale(int scale);
    // Whether the simulation runs step after step (F5): its frames draw the far-field tier for
    // every plant it can take (see TreeMeshes::setSimulationRunning); stopping repaints exactly.
    // While it runs, steps are taken on a worker thread.
    void setSimulationRunning(bool running);
    // Whether the fly camera is coasting after a navigation key, or has just come to rest: its
    // frames draw the same tier as a running simulation's; clearing it repaints exactly.
    void setCameraMoving(bool moving);
    // Whether running steps go to the worker (the default) or are taken on this thread, one per
    // tick (also at start with the environment variable VERDALIS_STEP_ON_GUI_THREAD=1).
    bool areStepsInBackground() const { return backgroundSteps; }
    void setStepsInBackground(bool on) { backgroundSteps = on; }
    // A step has been started on the worker and not yet reported.
    bool isStepPending() const;
    // Waits until no step runs on the worker; its report still comes from the event loop.
    void waitForStep() const;
    // Waits for a pending step and reports it now (its log line, repaint and autosave).
    void finishStep();

signals:
    void modelDataChanged();
    void startTreeAnimation();
    void stopTreeAnimation();
    void nrPlantsLivingChanged();
    void nrPlantsRenderedChanged();
    // A user-facing error (title "Error", e.g. "Could not open bark texture file.").
    void errorReported(const QString &title, const QString &text);
    // A vertex file armed for a tree could not be written during the frame just drawn. Sent from
    // inside a paint: receivers that open a box must be connected queued.
    void vertexExportFailed(const QString &reason);
    // An autosave file could not be written; the file of that name, if any, is as it was.
    void autosaveFailed(const QString &reason);
    // A frame has been drawn (not sent while the display is not refreshed).
    void frameRendered();
    // A simulation step has been reported (after its repaint, if one was due).
    void stepReported();

public slots:
    // The plant area, in terrain cells.
    void setLupaMinX(int value) { getTerrain().setLupaMinX(value); }
    void setLupaMaxX(int value) { getTerrain().setLupaMaxX(value); }
    void setLupaMinY(int value) { getTerrain().setLupaMinY(value); }
    void setLupaMaxY(int value) { getTerrain().setLupaMaxY(value); }
    int getLupaMinX() { return getTerrain().lupaMinX(); }
    int getLupaMaxX() { return getTerrain().lupaMaxX(); }
    int getLupaMinY() { return getTerrain().lupaMinY(); }
    int getLupaMaxY() { return getTerrain().lupaMaxY(); }
    void reloadCurrentTreeTextures();
    void reloadAllTreeTextures();
    // Uploads every texture into `context` (current): the first view's at construction, each
    // further view's from its initializeGL.
    void initAllTextures(QOpenGLContext *context);
    void toggleSingleRender();
    void toggleLightingEnabled() { options.toggle(ViewOption::LightingEnabled); }
    // One simulation step. The repaint request (modelDataChanged) is thinned by frameSkip: it is
    // sent after every frameSkip-th step, so callers should not thin the steps themselves. While the
    // simulation runs (setSimulationRunning) the step starts on the worker and is reported when it
    // ends (stepReported); a call while one is pending does nothing.
    void simulateNextStepAndUpdateGL();
    void toggleShowFPS() { options.toggle(ViewOption::ShowFPS); }
    void toggleWireframe() { options.toggle(ViewOption::Wireframe); }
    void toggleShowNeighborHood() { options.toggle(ViewOption::ShowNeighborHood); }
    void toggleDoNotDrawTrees() { options.toggle(ViewOption::DoNotDrawTrees); }
    void toggleDoNotRefreshDisplay() { options.toggle(ViewOption::DoNotRefreshDisplay); }
    void toggleDisplayTerrainNormals() { options.toggle(ViewOption::DisplayTerrainNormals); }
    void toggleDisplayTerrainInclination() { options.toggle(ViewOption::DisplayTerrainInclination); }
    void toggleDisplayTerrainMoisture() { options.toggle(ViewOption::DisplayTerrainMoisture); }
    void toggleDisplayTerrainSunniness() { options.toggle(ViewOption::DisplayTerrainSunniness); }
    void toggleDisplayTerrainWindiness() { options.toggle(ViewOption::DisplayTerrainWindiness); }
    void toggleDisplayLandMarkings() { options.toggle(ViewOption::DisplayLandMarkings); }
    void toggleDisplaySun() { options.toggle(ViewOption::DisplaySun); }
    void selectNextTreeSpecies();
    void actionEnlarge_leave_size();
    void actionReduce_leave_size();
    void actionGrow_tree();
    void actionSpin_tree();
    void actionSway_tree_in_wind();
    void actionRender_less_often_skip_more_frames() { ++frameSkip; }
    void actionRender_more_often_skip_less_frames() { frameSkip = std::max(1, frameSkip - 1); }
    void checkGlError(const char *message) { errorCheck.check(message); }
    // Both return whether the file was read / written; failures are reported on standard error.
    bool loadSimulation(std::string fileName);
    bool saveSimulation(std::string fileName);
    std::vector<unsigned long long> getRandomGeneratorSeeds();
    // Fewer than thirteen seeds are refused (reported as an "Error"); the generators stay as they were.
    void setRandomGeneratorSeeds(std::vector<unsigned long long> seeds);
    void toggleDisplaySky() { options.toggle(ViewOption::DisplaySky); }
    // Switches "Environmental deaths" of the simulation: when on, a fired environmental test kills.
    void actionEnvironmentalDeaths();
    bool environmentalDeaths() const;
    // Every nrSteps steps the simulation is saved as "<step>.sim"; below 1 means off.
    void setAutosave(int nrSteps);
    int getAutosaveSteps() const;
    void updateAutoSave();
    void reloadSkyTextures(QString filenameSky1, QString filenameSky2, QString filenameSky3,
                           QString filenameSky4, QString filenameSky5, QString filenameSky6);
    void sendSkyTexturesToSkyRender();
    void getSkyTextureFileNames(QString &filenameSky1, QString &filenameSky2, QString &filenameSky3,
                                QString &filenameSky4, QString &filenameSky5, QString &filenameSky6);

private:
    // Repaints when the frame threshold, which was thresholdBefore, is a finite one again.
    void repaintIfQuickFramesEnded(double thresholdBefore);
    void reportError(const QString &title, const QString &text);
    static QString errorTitle();
    void loadBuiltInData();
    void countFrameRate();
    void renderTreeEditFrame();
    void renderEcosystemFrame();
    void reportVertexExportFailures();
    void reportStep(const EcosystemScene::StepReport &report);
    void reportAutosaveProblem(const std::string &problem);

    std::unique_ptr<EcosystemScene> ecosystem;
    // Declared after the scene: it waits for its worker before the scene goes.
    std::unique_ptr<BackgroundStep> stepper;
    ViewOptions options;
    Camera *camera = nullptr;
    std::unique_ptr<SceneTextures> sceneTextures;
    std::unique_ptr<EcosystemFrame> ecosystemFrame;
    std::unique_ptr<TreeMeshes> meshes;
    GlErrorCheck errorCheck;
    ErrorHandler errorHandler;
    int frameSkip = 1;
    int frameCountdown = 1;
    int stepsSinceRepaint = 0;
    int lastRenderedCount = 0;
    std::uint64_t lastTreeTriangles = 0;
    std::uint64_t lastTreeDrawCalls = 0;
    bool referenceDrawing = false;
    bool backgroundSteps = true;
    int treeScale = 1;
    QString detailTextureFile;
    std::array<QString, 6> skyTextureFiles;
    // Set by a DEM load: the terrain drawing takes up the new grid and texture before the next
    // ecosystem frame.
    bool terrainChanged = false;
};

} // namespace ecosystem::render
