// The trees of the render model drawn from meshes (batched, instanced or fixed-function, with the
// far-field tier) against the immediate-mode reference drawing, as the program draws them.

#include "ecosystem/render/treemeshes.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/treerenderer.h"
#include "render/ecosystem/modelfixture.h"
#include "render/lignet/meshtestscene.h"

#include <GL/gl.h>

using ecosystem::render::ViewOption;
using lignet::gl::TreeMeshDrawer;

namespace {

// A tree edit frame counts as the same drawing when under 1.5 % of the pixels differ by more than
// 8 levels of 255 in a channel: the mesh paths draw bark before leaves and each leaf kind in one
// batch, so where a blended leaf and a branch overlap the order shows in a few pixels.
constexpr int Level = 8;
constexpr double SameDrawing = 0.015;

// In a forest frame the blended leaves of neighbouring plants also overlap in another order (mesh
// by mesh instead of plant by plant), which shows in scattered crown pixels: at most 8 % of the
// pixels may differ by more than 8 levels, and 2 % by more than 64.
void expectSameForest(const QImage &reference, const QImage &batched)
{
    EXPECT_LE(compareImages(reference, batched, Level).shareAbove, 0.08);
    EXPECT_LE(compareImages(reference, batched, 64).shareAbove, 0.02);
}

} // namespace

class ForestDrawing : public ModelFixture {
protected:
    // A forest seeded into one cell keeps the reference frames quick to draw.
    void grow(int steps)
    {
        model->setLupaMinX(47);
        model->setLupaMaxX(48);
        model->setLupaMinY(45);
        model->setLupaMaxY(46);
        for (int i = 0; i < steps; ++i)
            model->getSimulation().simulateStep();
    }

    // From 50 units south of the forest towards it, slightly downwards.
    void lookAcrossTheForest()
    {
        auto *camera = model->getCamera();
        camera->position = {1187.0f, 0.0f, 1190.0f};
        camera->forceAtSurface = true;
        camera->followTerrain();
        camera->forceAtSurface = false;
        camera->position.y += 6.0f;
        camera->heading = 0.0f;
        camera->lookPitch = 6.0f;
    }

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

TEST_F(ForestDrawing, batchedFramesAfterFiftyStepsAreTheReferenceFramesWithTheSameCounts)
{
    grow(50);
    lookAcrossTheForest();
    setExactDistantTrees(true);
    std::vector<float> sizes;
    for (const auto &species : model->getSimulation().species())
        for (const auto &plant : species.plants)
            sizes.push_back(plant.size);
    model->toggleDoNotDrawTrees();
    const QImage bare = frame();
    model->toggleDoNotDrawTrees();
    const Drawn reference = draw(true);
    const Drawn instanced = draw(false);
    keep(reference.image, "forest-reference");
    keep(instanced.image, "forest-batched");
    ASSERT_GT(model->getLastRenderedCount(), 0);
    EXPECT_EQ(instanced.perSpecies, reference.perSpecies);
    EXPECT_EQ(instanced.triangles, reference.triangles);
    expectSameForest(reference.image, instanced.image);
    // Far fewer calls than primitives: that is the point.
    EXPECT_LT(model->getLastTreeDrawCalls() * 10, instanced.triangles);

    model->treeMeshes().drawer().setPath(TreeMeshDrawer::Path::Fixed);
    const Drawn fixed = draw(false);
    EXPECT_EQ(fixed.perSpecies, reference.perSpecies);
    EXPECT_LE(compareImages(fixed.image, instanced.image, Level).shareAbove, 0.001);
    model->treeMeshes().drawer().setPath(TreeMeshDrawer::Path::Instanced);

    // Tree scale: bigger trees, more of them in view (the culling sphere grows too), the same
    // simulation.
    EXPECT_FALSE(model->setTreeScale(3));
    EXPECT_EQ(model->getTreeScale(), 1);
    ASSERT_TRUE(model->setTreeScale(5));
    const Drawn five = draw(false);
    keep(five.image, "forest-scale-5");
    EXPECT_GT(differingPixels(bare, five.image), 2 * differingPixels(bare, instanced.image));
    for (std::size_t i = 0; i < instanced.perSpecies.size(); ++i)
        EXPECT_GE(five.perSpecies[i], instanced.perSpecies[i]);
    const Drawn fiveReference = draw(true);
    EXPECT_EQ(fiveReference.perSpecies, five.perSpecies);
    expectSameForest(fiveReference.image, five.image);
    std::vector<float> after;
    for (const auto &species : model->getSimulation().species())
        for (const auto &plant : species.plants)
            after.push_back(plant.size);
    EXPECT_EQ(after, sizes);
}

TEST_F(ForestDrawing, distantTreesAsImpostorsAreHardToTellFromTheExactDrawing)
{
    grow(50);
    lookAcrossTheForest();
    EXPECT_FALSE(model->isViewOptionOn(ViewOption::ExactDistantTrees)); // the tier is on by default
    setExactDistantTrees(true);
    const Drawn exact = draw(false);
    setExactDistantTrees(false);
    const Drawn far = draw(false);
    const std::uint64_t farImpostors = model->treeMeshes().forest().stats().impostorPlants;
    keep(far.image, "forest-far-field");
    EXPECT_GT(model->treeMeshes().forest().stats().impostorPlants, 0u);
    EXPECT_EQ(far.perSpecies, exact.perSpecies);
    EXPECT_LE(compareImages(exact.image, far.image, Level).shareAbove, 0.02);
    // The reference drawing has no impostors.
    const Drawn reference = draw(true);
    EXPECT_EQ(reference.triangles, exact.triangles);

    // While the simulation runs, every plant the tier can take is an impostor; the switch still
    // draws every plant exactly.
    model->setSimulationRunning(true);
    const Drawn running = draw(false);
    EXPECT_GT(model->treeMeshes().forest().stats().impostorPlants, farImpostors);
    EXPECT_LT(running.triangles, far.triangles);
    EXPECT_EQ(running.perSpecies, exact.perSpecies);
    setExactDistantTrees(true);
    EXPECT_EQ(draw(false).triangles, exact.triangles);
    model->setSimulationRunning(false);
}

TEST_F(ForestDrawing, treeEditFrameFromMeshesShowsEveryChangeInTheNextFrame)
{
    model->toggleSingleRender();
    const Drawn reference = draw(true);
    const Drawn mesh = draw(false);
    EXPECT_EQ(mesh.triangles, reference.triangles);
    EXPECT_LE(compareImages(reference.image, mesh.image, Level).shareAbove, SameDrawing);

    // Switches that edit the parameter set or the draw settings: no stale mesh is drawn.
    for (ViewOption option :
         {ViewOption::DisplayLeaves, ViewOption::ColourByOrders, ViewOption::HighQuality}) {
        model->toggleViewOptionFromMenu(option);
        const Drawn changed = draw(false);
        EXPECT_GT(differingPixels(changed.image, mesh.image), 0) << static_cast<int>(option);
        const Drawn changedReference = draw(true);
        EXPECT_LE(compareImages(changedReference.image, changed.image, Level).shareAbove, SameDrawing)
            << static_cast<int>(option);
        model->toggleViewOptionFromMenu(option);
    }
    model->getCurrentTree()->designedParameters().leafSize *= 2.0f;
    const Drawn bigLeaves = draw(false);
    EXPECT_LE(compareImages(draw(true).image, bigLeaves.image, Level).shareAbove, SameDrawing);
    EXPECT_GT(differingPixels(bigLeaves.image, mesh.image), 0);
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
