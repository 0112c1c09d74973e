// The forest of the render model drawn from meshes (batched, instanced or fixed-function, with the
// far-field tier) against the immediate-mode reference drawing, as the program draws it. The tree
// edit frame's mesh drawing is compared in the mesh drawing tests.

#include "ecosystem/render/treemeshes.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/treerenderer.h"
#include "render/ecosystem/modelfixture.h"
#include "render/lignet/meshtestscene.h"

#include <GL/gl.h>

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

} // namespace

class ForestDrawing : public ModelFixture {
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

TEST_F(ForestDrawing, batchedFramesAfterFiftyStepsAreTheReferenceFramesWithTheSameCounts)
{
    growInOneCell(50);
    placeCamera(1187.0f, 1190.0f, 6.0f, 0.0f, 6.0f); // 50 units south of the forest, towards it
    EXPECT_FALSE(model->isViewOptionOn(ViewOption::ExactDistantTrees)); // the far-field tier is on
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
    ASSERT_GT(model->getLastRenderedCount(), 0);
    EXPECT_EQ(instanced.perSpecies, reference.perSpecies);
    EXPECT_EQ(instanced.triangles, reference.triangles);
    expectSameForest(reference.image, instanced.image);
    // Far fewer calls than primitives: that is the point. Plants sharing a mesh are drawn with one
    // call per batch of it.
    EXPECT_LT(model->getLastTreeDrawCalls() * 10, instanced.triangles);
    const lignet::gl::ForestFrameStats &stats = model->treeMeshes().forest().stats();
    EXPECT_LT(stats.meshes, stats.meshPlants);
    EXPECT_LE(stats.draw.drawCalls, 3 * stats.meshes);

    model->treeMeshes().drawer().setPath(TreeMeshDrawer::Path::Fixed);
    const Drawn fixed = draw(false);
    EXPECT_EQ(fixed.perSpecies, reference.perSpecies);
    EXPECT_LE(shareApart(fixed.image, instanced.image, Level), 0.001);
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
    std::vector<float> after;
    for (const auto &species : model->getSimulation().species())
        for (const auto &plant : species.plants)
            after.push_back(plant.size);
    EXPECT_EQ(after, sizes);

    // Distant trees as impostors (the default) count as drawn like the exact ones.
    ASSERT_TRUE(model->setTreeScale(1));
    setExactDistantTrees(false);
    const Drawn far = draw(false);
    const std::uint64_t farImpostors = model->treeMeshes().forest().stats().impostorPlants;
    EXPECT_GT(model->treeMeshes().forest().stats().impostorPlants, 0u);
    EXPECT_EQ(far.perSpecies, instanced.perSpecies);
    EXPECT_LE(shareApart(instanced.image, far.image, Level), 0.02);

    // While the simulation runs, every plant the tier can take is an impostor; the switch still
    // draws every plant exactly.
    model->setSimulationRunning(true);
    const Drawn running = draw(false);
    EXPECT_GT(model->treeMeshes().forest().stats().impostorPlants, farImpostors);
    EXPECT_LT(running.triangles, far.triangles);
    EXPECT_EQ(running.perSpecies, instanced.perSpecies);
    setExactDistantTrees(true);
    EXPECT_EQ(draw(false).triangles, instanced.triangles);
    model->setSimulationRunning(false);
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
