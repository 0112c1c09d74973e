// The frames of the render model: sky, land, overlays and the forest. The forest drawn from meshes
// (batched, instanced or fixed-function, with the far-field tier) is compared with the
// immediate-mode reference drawing, as the program draws it; the tree edit frame's mesh drawing is
// compared in the mesh drawing tests.

#include "core/tempfolder.h"
#include "ecosystem/render/ecosystemframe.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/treerenderer.h"
#include "render/ecosystem/modelfixture.h"

#include <QColor>
#include <QSignalSpy>

#include <GL/gl.h>

#include <chrono>
#include <numeric>
#include <thread>

using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;
using lignet::gl::TreeMeshDrawer;

namespace {

constexpr int Level = 8;

// In a forest frame the blended leaves of neighbouring plants also overlap in another order (mesh
// by mesh instead of plant by plant), which shows in scattered crown pixels: at most 8 % of the
// pixels may differ by more than 8 levels, and 2 % by more than 64.
void expectSameForest(const QImage &reference, const QImage &batched)
{
    EXPECT_LE(shareApart(reference, batched, Level), 0.08);
    EXPECT_LE(shareApart(reference, batched, 64), 0.02);
}

class EcosystemFrame : public ModelFixture {
protected:
    struct Drawn {
        QImage image;
        std::vector<int> perSpecies;
        std::uint64_t triangles = 0;
    };

    Drawn draw(bool reference)
    {
        model->setReferenceDrawing(reference);
        Drawn d;
        d.image = frame();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        for (const auto &series : model->getStatistics().renderedSeries())
            d.perSpecies.push_back(series.points().empty() ? -1 : static_cast<int>(series.points().back().y));
        d.triangles = model->getLastTreeTriangles();
        return d;
    }

    void setExactDistantTrees(bool on)
    {
        if (model->isViewOptionOn(ViewOption::ExactDistantTrees) != on)
            model->toggleViewOptionFromMenu(ViewOption::ExactDistantTrees);
    }
};

} // namespace

using ForestDrawing = EcosystemFrame;

TEST_F(EcosystemFrame, plantsDrawnWithTheCurrentTreesModelLeaveItsOwnSettingsAloneAndNeighbourhoodDisksShow)
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
    int pure = 0;
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const QColor c = disks.pixelColor(x, y);
            pure += full(c.red()) && full(c.green()) && full(c.blue()) && c != QColor(Qt::white) &&
                    c != QColor(Qt::black) && bare.pixelColor(x, y) != c;
        }
    EXPECT_GT(pure, 20);
}

TEST_F(EcosystemFrame, everyOverlayChangesThePicture)
{
    growInOneCell(1);
    const QImage base = frame();
    for (const auto &info : ecosystem::render::viewOptionTable()) {
        if (info.overlayName.empty())
            continue;
        model->toggleViewOptionFromMenu(info.option);
        EXPECT_GT(differingPixels(base, frame()), 20) << info.overlayName;
        model->toggleViewOptionFromMenu(info.option);
    }
    EXPECT_EQ(differingPixels(base, frame()), 0);
}

TEST_F(EcosystemFrame, aFrozenTreeEditDisplayDrawsNothingAndOnlyStopsTheAnimation)
{
    model->toggleSingleRender();
    model->toggleDoNotRefreshDisplay();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    QSignalSpy stopped(model.get(), &EcosystemRender::stopTreeAnimation);
    EXPECT_EQ(frame().pixelColor(Size / 2, Size / 2), QColor(Qt::red));
    EXPECT_EQ(stopped.count(), 1);
}

TEST_F(EcosystemFrame, damagedDemIsRefusedAndAGoodOneIsDrawnAtTheNextFrame)
{
    const QImage before = frame();
    const float range = model->getTerrain().heightRange();
    testsupport::writeBytes("short.dmr", "1 2 3\n4 5 6\n");
    EXPECT_FALSE(model->loadDem("short.dmr"));
    EXPECT_FALSE(model->loadDem("does-not-exist.dmr"));
    EXPECT_EQ(errors, (std::vector<QString>{"Error: Error reading DEM terrain file.",
                                            "Error: Could not open DEM terrain file."}));
    EXPECT_EQ(model->getTerrain().heightRange(), range);
    EXPECT_EQ(differingPixels(before, frame()), 0);

    std::string plane; // a tilted plane: height grows with the row
    for (int i = 0; i < 10000; ++i)
        plane += std::to_string(i % 100 * 25) + ' ' + std::to_string(i / 100 * 25) + ' ' +
                 std::to_string(500 + i / 100 * 2) + '\n';
    testsupport::writeBytes("plane.dmr", plane);
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    EXPECT_TRUE(model->loadDem("plane.dmr"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(model->frame().terrainRenderer().hasArrays());
    EXPECT_FLOAT_EQ(model->getTerrain().heightRange(), 198.0f);
    EXPECT_GT(differingPixels(before, frame()), 1000);
    EXPECT_TRUE(model->frame().terrainRenderer().hasArrays());
}

TEST_F(EcosystemFrame, glErrorsArePrintedByNameOnlyWhenSwitchedOnAndAFrameRaisesNone)
{
    glEnable(0x7FFF); // an invalid capability: GL_INVALID_ENUM
    const auto check = [this] { model->checkGlError("Test"); };
    EXPECT_EQ(written(check), "");
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_EQ(model->glErrors().reportedErrors(), 0);
    model->glErrors().setOn(true);
    glEnable(0x7FFF);
    EXPECT_EQ(written(check), "Test: GL_INVALID_ENUM\n");
    EXPECT_EQ(model->glErrors().reportedErrors(), 1);
    EXPECT_EQ(written([this] { frame(); }), "");
}

TEST_F(EcosystemFrame, frameRateLineOnceASecondWhileEnabled)
{
    const auto outputAfterASecond = [this] {
        frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        return written([this] { frame(); });
    };
    EXPECT_EQ(outputAfterASecond(), ""); // the fixture switched it off
    model->toggleShowFPS();
    const std::string line = outputAfterASecond();
    ASSERT_GE(line.size(), 4u);
    EXPECT_EQ(line.substr(line.size() - 4), "fps\n");
    EXPECT_GT(std::stod(line), 0.0);
}

// Fifty steps of a forest seen from 50 units south of it: sky above, land below, and the plants in
// view drawn from meshes as the reference drawing draws them, and counted alike.
TEST_F(ForestDrawing, fiftyStepsShowSkyLandAndTheTreesInViewBatchedAsInTheReferenceFrames)
{
    growInOneCell(50);
    placeCamera(1187.0f, 1190.0f, 6.0f, 0.0f, 6.0f);
    const auto sizes = [this] {
        std::vector<float> all;
        for (const auto &species : model->getSimulation().species())
            for (const auto &plant : species.plants)
                all.push_back(plant.size);
        return all;
    };
    const std::vector<float> sizesBefore = sizes();
    EXPECT_FALSE(model->isViewOptionOn(ViewOption::ExactDistantTrees)); // the far-field tier is on
    setExactDistantTrees(true);
    model->toggleDoNotDrawTrees();
    const QImage bare = frame();
    model->toggleDoNotDrawTrees();
    QSignalSpy rendered(model.get(), &EcosystemRender::nrPlantsRenderedChanged);
    const Drawn reference = draw(true);
    const Drawn instanced = draw(false);
    EXPECT_EQ(rendered.count(), 2);
    ASSERT_GT(model->getLastRenderedCount(), 0);
    EXPECT_EQ(std::accumulate(instanced.perSpecies.begin(), instanced.perSpecies.end(), 0),
              model->getLastRenderedCount());
    // Upper third: the sky box, not the white clear colour, trees or not; lower third: green land.
    const auto skyBlue = [](const QImage &image) {
        return countPixels(image.copy(0, 0, Size, Size / 3),
                           [](QRgb p) { return qBlue(p) > qRed(p) + 20 && qBlue(p) > qGreen(p); });
    };
    EXPECT_GT(skyBlue(instanced.image), Size * Size / 3 / 2);
    EXPECT_EQ(skyBlue(bare), skyBlue(instanced.image));
    EXPECT_GT(countPixels(instanced.image.copy(0, 2 * Size / 3, Size, Size - 2 * Size / 3),
                          [](QRgb p) { return qGreen(p) > qRed(p) && qGreen(p) > qBlue(p); }),
              Size * Size / 3 / 4);
    EXPECT_GT(differingPixels(instanced.image, bare), 100);
    EXPECT_EQ(instanced.perSpecies, reference.perSpecies);
    EXPECT_EQ(instanced.triangles, reference.triangles);
    expectSameForest(reference.image, instanced.image);
    // Far fewer calls than primitives: that is the point. Plants sharing a mesh are drawn with one
    // call per batch of it.
    EXPECT_LT(model->getLastTreeDrawCalls() * 10, instanced.triangles);
    const lignet::gl::ForestFrameStats &stats = model->treeMeshes().forest().stats();
    EXPECT_LT(stats.meshes, stats.meshPlants);
    EXPECT_LE(stats.draw.drawCalls, 3 * stats.meshes);

    // Without instancing: the same picture; with the fixed-function pipeline the leaf points' order
    // differs (0.7 % of the pixels apart from the reference instanced, 2.8 % fixed-function).
    model->treeMeshes().drawer().setPath(TreeMeshDrawer::Path::PerPlant);
    const Drawn perPlant = draw(false);
    EXPECT_EQ(perPlant.perSpecies, reference.perSpecies);
    EXPECT_LE(shareApart(perPlant.image, instanced.image, Level), 0.0001);
    model->treeMeshes().drawer().setPath(TreeMeshDrawer::Path::Fixed);
    const Drawn fixed = draw(false);
    EXPECT_EQ(fixed.perSpecies, reference.perSpecies);
    expectSameForest(reference.image, fixed.image);
    EXPECT_LT(shareApart(reference.image, instanced.image, Level), 0.015);
    model->treeMeshes().drawer().setPath(TreeMeshDrawer::Path::Instanced);

    // Tree scale: bigger trees, more of them in view (the culling sphere grows too), the same
    // simulation.
    EXPECT_FALSE(model->setTreeScale(3));
    EXPECT_EQ(model->getTreeScale(), 1);
    ASSERT_TRUE(model->setTreeScale(5));
    const Drawn five = draw(false);
    EXPECT_GT(differingPixels(bare, five.image), 2 * differingPixels(bare, instanced.image));
    for (std::size_t i = 0; i < instanced.perSpecies.size(); ++i)
        EXPECT_GE(five.perSpecies[i], instanced.perSpecies[i]);
    const Drawn fiveReference = draw(true);
    EXPECT_EQ(fiveReference.perSpecies, five.perSpecies);
    expectSameForest(fiveReference.image, five.image);
    EXPECT_EQ(sizes(), sizesBefore);

    // Distant trees as impostors (the default) count as drawn like the exact ones.
    ASSERT_TRUE(model->setTreeScale(1));
    setExactDistantTrees(false);
    const auto impostors = [&] { return model->treeMeshes().forest().stats().impostorPlants; };
    const Drawn far = draw(false);
    const std::uint64_t farImpostors = impostors();
    EXPECT_GT(farImpostors, 0u);
    EXPECT_EQ(far.perSpecies, instanced.perSpecies);
    EXPECT_LE(shareApart(instanced.image, far.image, Level), 0.02);
    // "Fast distant trees" takes the plants up to a larger height as well; "Exact distant trees"
    // still draws every plant exactly.
    model->toggleViewOptionFromMenu(ViewOption::FastDistantTrees);
    const Drawn fast = draw(false);
    EXPECT_GT(impostors(), farImpostors);
    EXPECT_LT(fast.triangles, far.triangles);
    EXPECT_EQ(fast.perSpecies, instanced.perSpecies);
    setExactDistantTrees(true);
    EXPECT_EQ(draw(false).triangles, instanced.triangles);
    setExactDistantTrees(false);
    model->toggleViewOptionFromMenu(ViewOption::FastDistantTrees);

    // While the simulation runs or the camera coasts, every plant the tier can take is an
    // impostor; the switch still draws every plant exactly.
    model->setSimulationRunning(true);
    const Drawn running = draw(false);
    const std::uint64_t runningImpostors = impostors();
    EXPECT_GT(runningImpostors, farImpostors);
    EXPECT_LT(running.triangles, far.triangles);
    EXPECT_EQ(running.perSpecies, instanced.perSpecies);
    model->setSimulationRunning(false);
    model->setCameraMoving(true);
    // The running frame drew the pictures this one needs.
    const Drawn coasting = draw(false);
    const std::uint64_t coastingImpostors = impostors();
    EXPECT_LE(coasting.triangles, running.triangles);
    EXPECT_GE(coastingImpostors, runningImpostors);
    setExactDistantTrees(true);
    EXPECT_EQ(draw(false).triangles, instanced.triangles);
    // At rest the near plants are exact again.
    model->setCameraMoving(false);
    setExactDistantTrees(false);
    EXPECT_GT(draw(false).triangles, coasting.triangles);
    EXPECT_LT(impostors(), coastingImpostors);
    setExactDistantTrees(true);

    // From the middle of the forest northwards the plants behind the eye are out of view.
    placeCamera(1187.0f, 1137.0f, 10.0f, 0.0f, 0.0f);
    frame();
    EXPECT_GT(model->getLastRenderedCount(), 0);
    EXPECT_LT(static_cast<std::size_t>(model->getLastRenderedCount()), sizes().size());
    // Far west of the terrain, looking further west: the frustum's planes pass far from every plant.
    model->getCamera()->position = {-5000.0f, 400.0f, 1250.0f};
    model->getCamera()->heading = 270.0f;
    frame();
    EXPECT_EQ(model->getLastRenderedCount(), 0);
    for (const auto &s : model->getStatistics().renderedSeries())
        EXPECT_EQ(s.points().back().y, 0.0);
}

TEST_F(ForestDrawing, meshBuffersGoWithTheModelOrWithTheirContext)
{
    model->toggleSingleRender();
    frame();
    EXPECT_GT(model->treeMeshes().cache().stats().bytes, 0u);
    const std::size_t bound = model->treeMeshes().cache().byteLimit();
    EXPECT_EQ(bound, ecosystem::render::TreeMeshes::meshCacheBound());
    EXPECT_GE(bound, ecosystem::render::TreeMeshes::MinimumCacheBytes);
    EXPECT_LE(bound, ecosystem::render::TreeMeshes::MaximumCacheBytes);
    gl.makeCurrent();
    model.reset();
    gl.makeCurrent();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    makeModel();
    model->toggleSingleRender();
    frame();
    gl.destroy();
    EXPECT_EQ(model->treeMeshes().cache().stats().entries, 0u);
    ::testing::internal::CaptureStderr();
    model.reset();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}
