// The render model on an off-screen view: textures, species trees, actions, steps, frames and the
// forest drawn from meshes.

#include "assets/speciestrees.h"
#include "core/tempfolder.h"
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemframe.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/scenetextures.h"
#include "ecosystem/render/speciesappearance.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/treeparameterfile.h"
#include "lignet/treerenderer.h"
#include "render/offscreengl.h"

#include <QColor>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;

namespace {

// A render model on a 200 x 200 off-screen view, built in an empty working directory (the species
// trees then come from the copies built into the program). Errors are collected.
class RenderModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(workDir.isValid());
        QDir::setCurrent(workDir.path());
        ASSERT_TRUE(gl.create(Size, Size));
        makeModel();
    }
    void TearDown() override
    {
        if (model && gl.makeCurrent())
            model.reset();
        QDir::setCurrent(previousDir);
    }

    void makeModel()
    {
        const auto report = [this](const QString &title, const QString &text) {
            errors.push_back(title + QStringLiteral(": ") + text);
        };
        constructionWarnings =
            written([&] { model = std::make_unique<EcosystemRender>(gl.glContext(), report); }, true);
        model->toggleShowFPS(); // keep the test output quiet
    }

    // What `run` writes to standard output, or with `toErrors` to standard error.
    static std::string written(const std::function<void()> &run, bool toErrors = false)
    {
        toErrors ? ::testing::internal::CaptureStderr() : ::testing::internal::CaptureStdout();
        run();
        return toErrors ? ::testing::internal::GetCapturedStderr() : ::testing::internal::GetCapturedStdout();
    }

    QImage frame()
    {
        gl.makeCurrent();
        model->render();
        return gl.grab();
    }

    // Runs simulation steps with their log lines kept off the test output.
    void steps(int count)
    {
        stepOutput = written([this, count] {
            for (int i = 0; i < count; ++i)
                model->simulateNextStepAndUpdateGL();
        });
    }

    // A forest seeded into one cell keeps the frames quick to draw (software OpenGL under Xvfb).
    void growInOneCell(int count)
    {
        model->setLupaMinX(47);
        model->setLupaMaxX(48);
        model->setLupaMinY(45);
        model->setLupaMaxY(46);
        steps(count);
    }

    // Places the eye `above` units over the ground at (x, z).
    void placeCamera(float x, float z, float above, float heading, float lookPitch)
    {
        auto *camera = model->getCamera();
        camera->position = {x, 0.0f, z};
        camera->forceAtSurface = true;
        camera->followTerrain();
        camera->forceAtSurface = false;
        camera->position.y += above;
        camera->heading = heading;
        camera->lookPitch = lookPitch;
    }

    struct Drawn {
        QImage image;
        std::vector<int> perSpecies;
        std::uint64_t triangles = 0;
        std::uint64_t impostors = 0;
    };

    // A frame drawn from meshes or by the reference drawing, with the plants it drew of each species
    // (expected to be those of `countedAs` when given).
    Drawn draw(bool reference, const Drawn *countedAs = nullptr)
    {
        model->setReferenceDrawing(reference);
        Drawn d;
        d.image = frame();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        for (const auto &series : model->getStatistics().renderedSeries())
            d.perSpecies.push_back(series.points().empty() ? -1 : static_cast<int>(series.points().back().y));
        d.triangles = model->getLastTreeTriangles();
        d.impostors = model->treeMeshes().forest().stats().impostorPlants;
        if (countedAs != nullptr) {
            EXPECT_EQ(d.perSpecies, countedAs->perSpecies);
        }
        return d;
    }

    std::vector<float> plantSizes() const
    {
        std::vector<float> sizes;
        for (const auto &species : model->getSimulation().species())
            for (const auto &plant : species.plants)
                sizes.push_back(plant.size);
        return sizes;
    }

    static constexpr int Size = 200;
    QTemporaryDir workDir;
    QString previousDir = QDir::currentPath();
    OffscreenGl gl;
    std::unique_ptr<EcosystemRender> model;
    std::vector<QString> errors;
    std::string constructionWarnings;
    std::string stepOutput;
};

} // namespace

TEST_F(RenderModel, startsOnTheAnalysedTerrainAndItsTexturesAreReloadedAndGoWithTheModelOrTheirContext)
{
    EXPECT_TRUE(model->getTerrain().isAnalysed());
    std::vector<GLuint> names(model->textures().sky().begin(), model->textures().sky().end());
    for (std::size_t i = 0; i < ecosystem::EcosystemScene::TreeCount; ++i)
        names.insert(names.end(), {model->textures().tree(i).bark, model->textures().tree(i).leaf});
    for (GLuint name : names)
        EXPECT_TRUE(glIsTexture(name));
    model->toggleSingleRender();
    frame();
    EXPECT_GT(model->treeMeshes().cache().stats().bytes, 0u);
    gl.makeCurrent();
    model.reset();
    gl.makeCurrent();
    for (GLuint name : names)
        EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // A missing picture keeps the textures, with its message.
    makeModel();
    const lignet::gl::TreeTextures loaded = model->textures().tree(5);
    auto &parameters = model->getCurrentTree()->designedParameters();
    const auto leafPicture = parameters.leafTexturePath;
    parameters.barkTexturePath = "no/such/bark.jpg";
    model->reloadCurrentTreeTextures();
    parameters.barkTexturePath = ":/gui/textures/bark.jpg";
    parameters.leafTexturePath = "no\\such\\leaf.png";
    model->reloadCurrentTreeTextures();
    EXPECT_EQ(errors, (std::vector<QString>{"Error: Could not open bark texture file.",
                                            "Error: Could not open leaf texture file."}));
    EXPECT_EQ(model->textures().tree(5).bark, loaded.bark);
    EXPECT_EQ(model->textures().tree(5).leaf, loaded.leaf);
    errors.clear();
    model->reloadAllTreeTextures(); // reports once, for the one tree whose picture is missing
    EXPECT_EQ(errors.size(), 1u);
    // A good reload releases the names it replaces (a released name may be given out again).
    parameters.leafTexturePath = leafPicture;
    model->reloadCurrentTreeTextures();
    const lignet::gl::TreeTextures reloaded = model->textures().tree(5);
    EXPECT_TRUE(glIsTexture(reloaded.bark) && glIsTexture(reloaded.leaf));
    for (const GLuint old : {loaded.bark, loaded.leaf})
        EXPECT_TRUE(!glIsTexture(old) || old == reloaded.bark || old == reloaded.leaf) << old;

    // A model that outlives its context has nothing left to release, and says nothing.
    model->toggleSingleRender();
    frame();
    gl.destroy();
    EXPECT_EQ(model->treeMeshes().cache().stats().entries, 0u);
    EXPECT_EQ(written([this] { model.reset(); }, true), "");
}

TEST_F(RenderModel, findsTheSpeciesTreesWhereverItIsStartedAndPrefersTheWorkingDirectory)
{
    // The working directory is empty: the built-in copies are the repository's files.
    EXPECT_TRUE(constructionWarnings.empty()) << constructionWarnings;
    const auto &files = assets::speciesTreeFiles();
    const auto repositoryText = [&files](std::size_t i) {
        lignet::TreeParameters expected;
        EXPECT_TRUE(lignet::TreeParameterFile::load(expected, VERDALIS_SOURCE_DIR "/" + files[i]));
        return lignet::TreeParameterFile::text(expected);
    };
    const auto treeText = [this](std::size_t i) {
        return lignet::TreeParameterFile::text(model->scene().tree(i).designedParameters());
    };
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(treeText(i), repositoryText(i)) << files[i];

    // A file in the working directory wins; a damaged one is named and the built-in copy used.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("bin/zbirka-4")));
    lignet::TreeParameters custom;
    custom.numberOfStrands = 77;
    ASSERT_TRUE(lignet::TreeParameterFile::save(custom, files[0]));
    testsupport::writeBytes(files[1], "bark\nleaf\nnot numbers\n");
    gl.makeCurrent();
    model.reset();
    makeModel();
    EXPECT_EQ(model->scene().tree(0).designedParameters().numberOfStrands, 77);
    EXPECT_EQ(treeText(1), repositoryText(1));
    EXPECT_NE(constructionWarnings.find("\"" + files[1] + "\""), std::string::npos) << constructionWarnings;
    EXPECT_EQ(std::count(constructionWarnings.begin(), constructionWarnings.end(), '\n'), 1);
}

TEST_F(RenderModel, treeActionsAnimateTheCurrentTreeTheNextSpeciesTakesOverSeedsAreCheckedAndFramesSkipped)
{
    QSignalSpy started(model.get(), &EcosystemRender::startTreeAnimation);
    auto &old = model->getCurrentTree()->settings();
    old.growthProgress = 0.7;
    model->actionGrow_tree();
    EXPECT_DOUBLE_EQ(old.growthProgress, 0.0);
    model->actionSpin_tree();
    model->actionSway_tree_in_wind();
    EXPECT_EQ(started.count(), 3);
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    model->selectNextTreeSpecies();
    EXPECT_EQ(model->getCurrentTree(), &model->scene().tree(0));
    const auto &next = model->getCurrentTree()->settings();
    EXPECT_TRUE(next.spinning && next.windOn && !next.growing);
    EXPECT_TRUE(!old.spinning && !old.windOn && old.growing);
    EXPECT_EQ(changed.count(), 1);
    // Leaves grow by a tenth and shrink by nine hundredths.
    float &leaf = model->getCurrentTree()->designedParameters().leafSize;
    const float size = leaf;
    model->actionEnlarge_leave_size();
    EXPECT_FLOAT_EQ(leaf, size * 1.1f);
    model->actionReduce_leave_size();
    EXPECT_FLOAT_EQ(leaf, size * 1.1f * 0.91f);

    // Entering tree edit mode stops growth and resets the spin and the wireframe, not the spinning.
    auto &settings = model->getCurrentTree()->settings();
    settings.growing = settings.wireframe = true;
    settings.spinAngle = 40.0;
    model->toggleSingleRender();
    EXPECT_TRUE(!settings.growing && !settings.wireframe && settings.spinning);
    EXPECT_DOUBLE_EQ(settings.spinAngle, 0.0);

    // Short seed vectors are refused; repaints are thinned by the frame skip, never below one.
    auto seeds = model->getRandomGeneratorSeeds();
    ASSERT_EQ(seeds.size(), 13u);
    seeds[4] = 777;
    model->setRandomGeneratorSeeds(seeds);
    model->setRandomGeneratorSeeds({1, 2, 3});
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(model->getRandomGeneratorSeeds(), seeds);

    model->actionRender_more_often_skip_less_frames();
    EXPECT_EQ(model->getFrameSkip(), 1);
    changed.clear();
    model->actionRender_less_often_skip_more_frames();
    steps(5);
    EXPECT_EQ(changed.count(), 2);
    model->actionRender_less_often_skip_more_frames();
    for (int i = 0; i < 6; ++i)
        model->actionReduce_leave_size();
    EXPECT_EQ(changed.count(), 2 + 2);
}

// While the simulation runs, each step goes to a worker thread; every step is reported exactly once,
// and the forest, its saves and its log are as with the steps taken one by one.
TEST_F(RenderModel, stepsOnTheWorkerGiveTheSameForestSavesAndReportsAsStepsTakenInTurnAndSavesLoadBack)
{
    QSignalSpy reported(model.get(), &EcosystemRender::stepReported);
    model->setAutosave(3);
    model->setSimulationRunning(true);
    ::testing::internal::CaptureStdout();
    for (int i = 1; i <= 6; ++i) {
        model->simulateNextStepAndUpdateGL();
        EXPECT_TRUE(model->isStepPending());
        model->simulateNextStepAndUpdateGL(); // a tick while the step runs starts none
        EXPECT_EQ(model->getSimulation().step(), i);
        EXPECT_EQ(reported.count(), i - 1);
        ASSERT_TRUE(reported.wait(10000));
        EXPECT_FALSE(model->isStepPending());
    }
    // Stopped with a step under way: the next step asked for is that one.
    model->simulateNextStepAndUpdateGL();
    model->setSimulationRunning(false);
    model->simulateNextStepAndUpdateGL();
    EXPECT_FALSE(model->isStepPending());
    EXPECT_EQ(model->getSimulation().step(), 7);
    const std::string log = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(reported.count(), 7);
    for (const char *line : {"@1:", "@7:", "Simulation @ step 6successfouly"})
        EXPECT_NE(log.find(line), std::string::npos) << line << " is not in:\n" << log;

    // In turn: autosaves every third step, none when switched off, and a save loads back.
    ASSERT_TRUE(QDir().rename(QStringLiteral("6.sim"), QStringLiteral("worker.sim")));
    makeModel();
    model->setAutosave(3);
    steps(6);
    EXPECT_FALSE(testsupport::readBytes("6.sim").empty());
    EXPECT_EQ(testsupport::readBytes("worker.sim"), testsupport::readBytes("6.sim"));
    const int livingAtSix = model->getStatistics().nrPlants();
    steps(1);
    EXPECT_NE(stepOutput.find("@7:"), std::string::npos);
    const QStringList saves = {"3.sim", "6.sim", "worker.sim"};
    EXPECT_EQ(QDir().entryList({QStringLiteral("*.sim")}), saves);
    model->setAutosave(0);
    steps(2);
    EXPECT_EQ(QDir().entryList({QStringLiteral("*.sim")}), saves);

    written([this] { EXPECT_TRUE(model->loadSimulation("6.sim")); });
    EXPECT_EQ(model->getSimulation().step(), 6);
    EXPECT_EQ(plantSizes().size(), static_cast<std::size_t>(livingAtSix));
}

TEST_F(RenderModel, plantsDrawnWithTheCurrentTreesModelKeepItsSettingsAndDisksShowInSpeciesColours)
{
    // The first species tree is the current tree, as after "Select next tree parameters".
    model->selectNextTreeSpecies();
    ASSERT_EQ(model->getCurrentTreeIndex(), 0);
    lignet::TreeDrawSettings &own = model->getCurrentTree()->settings();
    own.growthProgress = 0.25;
    own.spinAngle = 12.0;
    own.windOn = true;
    const lignet::TreeDrawSettings before = own;
    model->toggleWireframe();
    growInOneCell(20);
    placeCamera(1187.0f, 1137.0f, 40.0f, 180.0f, 89.0f); // straight down onto the forest
    frame();
    ASSERT_GT(model->getLastRenderedCount(), 0);
    ASSERT_GT(model->getStatistics().renderedSeries().at(0).points().back().y, 0.0);
    // Not growing, solid, not spinning, in the wind, at its own progress, angle and detail.
    const auto kept = [](const lignet::TreeDrawSettings &s) {
        return std::tuple(s.growing, s.wireframe, s.spinning, s.windOn, s.growthProgress, s.spinAngle,
                          s.levelOfDetail);
    };
    EXPECT_EQ(kept(own), std::tuple(false, false, false, true, 0.25, 12.0, before.levelOfDetail));
    // The wind clock of the swaying plants runs on.
    EXPECT_GT(own.windTime, before.windTime);

    // Nothing animates once the wind stops, and the frame says so.
    own.windOn = false;
    QSignalSpy stopped(model.get(), &EcosystemRender::stopTreeAnimation);
    frame();
    EXPECT_EQ(stopped.count(), 1);

    // Neighbourhood disks without trees, in pure colours, keep the modelview stack balanced.
    model->toggleWireframe();
    model->toggleDoNotDrawTrees();
    const QImage bare = frame();
    model->toggleShowNeighborHood();
    const QImage disks = frame();
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    const auto full = [](int v) { return v == 0 || v == 255; };
    const auto pure = [&full](QRgb p) {
        return full(qRed(p)) && full(qGreen(p)) && full(qBlue(p)) && p != qRgb(255, 255, 255) &&
               p != qRgb(0, 0, 0);
    };
    EXPECT_GT(countPixels(disks, pure) - countPixels(bare, pure), 20);
    // Species beyond the table are drawn with the sixth tree, their disks white.
    EXPECT_EQ(ecosystem::EcosystemScene::treeIndexForSpecies(7), 5u);
    unsigned char rgb[3];
    ecosystem::render::neighbourhoodColour(7, rgb);
    EXPECT_EQ(QColor(rgb[0], rgb[1], rgb[2]), QColor(Qt::white));
}

TEST_F(RenderModel, everyOverlayChangesThePictureAndADamagedDemIsRefusedAndAGoodOneDrawnAtTheNextFrame)
{
    growInOneCell(1);
    const QImage before = frame();
    std::vector<QImage> shown{before}; // each overlay shows its own map
    for (const auto &info : ecosystem::render::viewOptionTable()) {
        if (info.overlayName.empty())
            continue;
        model->toggleViewOptionFromMenu(info.option);
        const QImage overlaid = frame();
        for (const QImage &other : shown)
            EXPECT_GT(shareApart(other, overlaid, 0), 0.0005) << info.overlayName;
        shown.push_back(overlaid);
        model->toggleViewOptionFromMenu(info.option);
    }

    testsupport::writeBytes("short.dmr", "1 2 3\n4 5 6\n");
    EXPECT_FALSE(model->loadDem("short.dmr"));
    EXPECT_FALSE(model->loadDem("does-not-exist.dmr"));
    EXPECT_EQ(errors, (std::vector<QString>{"Error: Error reading DEM terrain file.",
                                            "Error: Could not open DEM terrain file."}));
    EXPECT_EQ(shareApart(before, frame(), 0), 0.0);
    std::string plane; // a tilted plane: height grows with the row
    for (int i = 0; i < 10000; ++i)
        plane += std::to_string(i % 100 * 25) + ' ' + std::to_string(i / 100 * 25) + ' ' +
                 std::to_string(500 + i / 100 * 2) + '\n';
    testsupport::writeBytes("plane.dmr", plane);
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    EXPECT_TRUE(model->loadDem("plane.dmr"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FLOAT_EQ(model->getTerrain().heightRange(), 198.0f);
    EXPECT_GT(shareApart(before, frame(), 0), 0.025);
}

TEST_F(RenderModel, glErrorsArePrintedByNameOnlyWhenSwitchedOnAndAFrozenDisplayDrawsNothing)
{
    glEnable(0x7FFF); // an invalid capability: GL_INVALID_ENUM
    const auto check = [this] { model->checkGlError("Test"); };
    EXPECT_EQ(written(check), "");
    while (glGetError() != GL_NO_ERROR) {
    }
    model->glErrors().setOn(true);
    glEnable(0x7FFF);
    EXPECT_EQ(written(check), "Test: GL_INVALID_ENUM\n");
    EXPECT_EQ(model->glErrors().reportedErrors(), 1);

    // A frozen tree edit display draws nothing and only stops the animation.
    model->toggleSingleRender();
    model->toggleDoNotRefreshDisplay();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    QSignalSpy stopped(model.get(), &EcosystemRender::stopTreeAnimation);
    EXPECT_EQ(frame().pixelColor(Size / 2, Size / 2), QColor(Qt::red));
    EXPECT_EQ(stopped.count(), 1);
}

// Fifty steps of a forest seen from 50 units south of it: the plants in view drawn from meshes as the
// reference drawing draws them, and counted alike.
TEST_F(RenderModel, fiftyStepsShowTheTreesInViewBatchedAsInTheReferenceFrames)
{
    growInOneCell(50);
    placeCamera(1187.0f, 1190.0f, 6.0f, 0.0f, 6.0f);
    const std::vector<float> sizesBefore = plantSizes();
    model->toggleViewOptionFromMenu(ViewOption::ExactDistantTrees); // on
    model->toggleDoNotDrawTrees();
    const QImage bare = frame();
    model->toggleDoNotDrawTrees();
    const Drawn reference = draw(true);
    const Drawn instanced = draw(false, &reference);
    ASSERT_GT(model->getLastRenderedCount(), 0);
    EXPECT_EQ(std::accumulate(instanced.perSpecies.begin(), instanced.perSpecies.end(), 0),
              model->getLastRenderedCount());
    EXPECT_GT(shareApart(instanced.image, bare, 0), 0.0025);
    EXPECT_EQ(instanced.triangles, reference.triangles);
    // Blended leaves of neighbouring plants overlap in another order (mesh by mesh, not plant by
    // plant), which shows in scattered crown pixels.
    EXPECT_LT(shareApart(reference.image, instanced.image, 8), 0.015);
    // Far fewer calls than primitives: plants sharing a mesh are drawn with one call per batch.
    EXPECT_LT(model->getLastTreeDrawCalls() * 10, instanced.triangles);
    const lignet::gl::ForestFrameStats &stats = model->treeMeshes().forest().stats();
    EXPECT_LT(stats.meshes, stats.meshPlants);

    // Tree scale: bigger trees, more in view (the culling sphere grows too), the same simulation.
    EXPECT_FALSE(model->setTreeScale(3));
    ASSERT_TRUE(model->setTreeScale(5));
    const Drawn five = draw(false);
    EXPECT_GT(shareApart(bare, five.image, 0), 2 * shareApart(bare, instanced.image, 0));
    const Drawn fiveReference = draw(true, &five);
    EXPECT_LE(shareApart(fiveReference.image, five.image, 8), 0.08);
    EXPECT_EQ(plantSizes(), sizesBefore);

    // Distant trees as impostors (the default) count as drawn like the exact ones.
    ASSERT_TRUE(model->setTreeScale(1));
    model->toggleViewOptionFromMenu(ViewOption::ExactDistantTrees); // off
    const Drawn far = draw(false, &instanced);
    EXPECT_GT(far.impostors, 0u);
    EXPECT_LE(shareApart(instanced.image, far.image, 8), 0.02);

    // While the simulation runs or the camera coasts, every plant the tier can take is an impostor.
    model->setSimulationRunning(true);
    const Drawn running = draw(false, &instanced);
    EXPECT_GT(running.impostors, far.impostors);
    model->setSimulationRunning(false);
    model->setCameraMoving(true);
    const Drawn coasting = draw(false);
    EXPECT_GE(coasting.impostors, running.impostors);
    // At rest the near plants are exact again.
    model->setCameraMoving(false);
    const Drawn rest = draw(false);
    EXPECT_LT(rest.impostors, coasting.impostors);
    // Fast distant trees take nearer plants as impostors too.
    model->toggleViewOptionFromMenu(ViewOption::FastDistantTrees);
    EXPECT_GT(draw(false).impostors, rest.impostors);
    model->toggleViewOptionFromMenu(ViewOption::FastDistantTrees);

    // Far west of the terrain, looking further west: the frustum's planes pass far from every plant.
    model->getCamera()->position = {-5000.0f, 400.0f, 1250.0f};
    model->getCamera()->heading = 270.0f;
    frame();
    EXPECT_EQ(model->getLastRenderedCount(), 0);
}
