// Forests drawn in batches and as impostors against the plants drawn one at a time.

#include "lignet/gl/forestbatch.h"
#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/impostorset.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treerenderer.h"
#include "render/offscreengl.h"

#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cmath>
#include <limits>
#include <numbers>

using lignet::TreeRenderer;
using lignet::gl::TreeMeshDrawer;

namespace {

constexpr int ViewSize = 320;
// The impostor distance while the simulation runs: every still plant is a quad.
constexpr double Everywhere = std::numeric_limits<double>::infinity();

struct Plant {
    math::Vector3f position;
    double size;
    int levelOfDetail;
    int id;
};

const auto f = [](int i) { return static_cast<float>(i); };

// rows x columns plants, numbered row by row; plant(row, column) gives the rest.
std::vector<Plant> field(int rows, int columns, const std::function<Plant(int, int)> &plant)
{
    std::vector<Plant> plants;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            plants.push_back(plant(row, column));
            plants.back().id = row * columns + column;
        }
    return plants;
}

// A 6 x 5 grid of small trees, the nearer rows in more detail, looked at from above and in front.
std::vector<Plant> grid()
{
    return field(5, 6, [](int row, int column) {
        return Plant{{f(column) * 6.0f - 15.0f, 0.0f, f(-row) * 7.0f},
                     0.4 + 0.2 * (column % 3),
                     row < 2 ? row : 3 + 2 * row,
                     0};
    });
}

lignet::TreeParameters smallTree()
{
    lignet::TreeParameters p;
    p.numberOfStrands = 150;
    p.leafSize = 0.25f;
    return p;
}

struct Look {
    math::Vector3f eye{0.0f, 9.0f, 16.0f};
    math::Vector3f target{0.0f, 2.0f, -12.0f};
};

// The ecosystem frame's camera and world-fixed lights.
void beginEcosystemFrame(const Look &look = {})
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glNormal3f(0.0f, 0.0f, 1.0f);
    gluLookAt(look.eye.x, look.eye.y, look.eye.z, look.target.x, look.target.y, look.target.z, 0.0, 1.0, 0.0);
    const GLfloat lights[3][4] = {{4609.0f, 0.0f, 5750.0f, 0.0f},
                                  {4609.0f, 2500.0f, 5750.0f, 2500.0f},
                                  {4609.0f, 1000.0f, 5750.0f, 715.0f}};
    for (int i = 0; i < 3; ++i)
        glLightfv(static_cast<GLenum>(GL_LIGHT0 + i), GL_POSITION, lights[i]);
}

// The per-plant settings the ecosystem frame gives the species tree before drawing a plant.
void placePlant(TreeRenderer &tree, const Plant &plant, bool wind)
{
    lignet::TreeDrawSettings &s = tree.settings();
    s.wireframe = false;
    s.growing = true;
    s.windOn = wind;
    s.spinAngle = plant.id * 17.19;
    s.growthProgress = std::min(plant.size, 1.0);
    s.levelOfDetail = plant.levelOfDetail;
}

// What the trees cover of the white background, and how much a picture darkens it in all.
const auto covered = [](QRgb p) { return qGray(p) < 250; };
const auto darkness = [](const QImage &image) {
    return sumPixels(image, [](QRgb p) { return 255 - qGray(p); });
};

// A view with the batching objects of its share group and an impostor set.
class ForestBatch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(view.valid()); }
    void TearDown() override
    {
        view.makeCurrent();
        impostors.release();
        batch.release();
        cache.clear();
        drawer.release();
    }

    // The plants drawn one at a time, as the ecosystem frame draws them without meshes.
    QImage reference(TreeRenderer &t, const std::vector<Plant> &plants, bool wind = false)
    {
        view.makeCurrent();
        beginEcosystemFrame();
        for (const Plant &plant : plants) {
            glPushMatrix();
            glTranslatef(plant.position.x, plant.position.y, plant.position.z);
            placePlant(t, plant, wind);
            lignet::gl::drawTreeAtLevelOfDetail(t, view.textures, plant.levelOfDetail);
            glPopMatrix();
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return view.grab();
    }

    QImage batched(MeshTestView &on, TreeRenderer &t, const std::vector<Plant> &plants, bool wind = false,
                   const Look &look = {})
    {
        on.makeCurrent();
        beginEcosystemFrame(look);
        batch.begin();
        for (const Plant &plant : plants) {
            placePlant(t, plant, wind);
            batch.add(t, on.textures, plant.position);
        }
        batch.flush();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return on.grab();
    }
    QImage batched(const std::vector<Plant> &plants, const Look &look = {})
    {
        return batched(view, tree, plants, false, look);
    }

    // The plants drawn exactly from their meshes, then every one as an impostor.
    std::pair<QImage, QImage> exactAndFar(const std::vector<Plant> &plants, const Look &look)
    {
        batch.setImpostors(nullptr, 0.0);
        const QImage exact = batched(plants, look);
        batch.setImpostors(&impostors, Everywhere);
        const QImage far = batched(plants, look);
        EXPECT_EQ(batch.stats().impostorPlants, plants.size());
        return {exact, far};
    }

    MeshTestView view{ViewSize};
    TreeRenderer tree{smallTree()};
    lignet::gl::GpuMeshCache cache;
    TreeMeshDrawer drawer;
    lignet::gl::ForestBatch batch{cache, drawer};
    lignet::gl::ImpostorSet impostors;
};

} // namespace

// A grown tree's leaf points only write depth, so their order among the disks shows in scattered
// crown pixels: measured 0.07, 0.02 and 0.002 % apart instanced (the immediate order), 0.37, 0.06
// and 0.32 % fixed-function (points on one side of the disks, see leafPointsBeforeDisks).
TEST_F(ForestBatch, aGrownTreeLooksAsInTheReferencePlantsInTheWindAreRebuiltAndViewsShareTheBuffers)
{
    TreeRenderer grown;
    beginEcosystemFrame();
    const QImage bare = view.grab();
    for (const auto &[z, levelOfDetail, instancedLimit, fixedLimit] :
         {std::tuple{-12.0f, 3, 0.0015, 0.006}, std::tuple{-40.0f, 4, 0.0005, 0.002},
          std::tuple{-12.0f, 6, 0.0002, 0.006}}) {
        const std::vector<Plant> plant = {{{0.0f, 0.0f, z}, 1.0, levelOfDetail, 7}};
        const QImage exact = reference(grown, plant);
        EXPECT_GT(shareApart(bare, exact, 8), 0.001) << levelOfDetail;
        EXPECT_LT(shareApart(exact, batched(view, grown, plant), 8), instancedLimit) << levelOfDetail;
        drawer.setPath(TreeMeshDrawer::Path::Fixed);
        EXPECT_LT(shareApart(exact, batched(view, grown, plant), 8), fixedLimit) << levelOfDetail;
        drawer.setPath(TreeMeshDrawer::Path::Instanced);
    }

    // Plants in the wind are rebuilt per plant; a second view draws from the same buffers.
    cache.clear();
    const std::vector<Plant> plants = grid();
    TreeRenderer referenceTree(smallTree());
    referenceTree.settings().windTime = tree.settings().windTime = 0.3;
    const QImage exact = reference(referenceTree, plants, true);
    const QImage windy = batched(view, tree, plants, true);
    EXPECT_EQ(batch.stats().streamedPlants, plants.size());
    // Every plant advanced the wind clock, as in the reference.
    EXPECT_EQ(tree.settings().windTime, referenceTree.settings().windTime);
    EXPECT_LT(shareApart(exact, windy, 8), 0.02);

    MeshTestView second(ViewSize, &view);
    ASSERT_TRUE(second.valid());
    const QImage one = batched(plants);
    const auto built = cache.meshesBuilt();
    EXPECT_EQ(batched(second, tree, plants), one);
    EXPECT_EQ(cache.meshesBuilt(), built); // nothing uploaded again
}

// The same frame again: nothing rebuilt when it fits, else only what did not fit (no churn among the
// frame's own meshes), and the bound holds either way.
TEST_F(ForestBatch, theMeshCacheStaysWithinItsBoundWithoutChurn)
{
    const std::vector<Plant> plants = grid();
    const auto builtBySecondFrame = [&](std::size_t limit) {
        cache.clear();
        cache.setByteLimit(limit);
        batched(plants);
        const std::uint64_t built = cache.meshesBuilt();
        const std::uint64_t meshes = batch.stats().meshes;
        batched(plants);
        EXPECT_LE(cache.stats().bytes, limit);
        EXPECT_EQ(batch.stats().meshes, meshes);
        return std::pair{cache.meshesBuilt() - built, meshes};
    };
    EXPECT_EQ(builtBySecondFrame(std::size_t{256} << 20).first, 0u);
    const std::size_t needed = cache.stats().bytes;
    const auto [rebuilt, meshes] = builtBySecondFrame(needed / 2);
    EXPECT_GT(rebuilt, 0u);
    EXPECT_LT(rebuilt, meshes * 3 / 4);
    EXPECT_GT(cache.stats().refused, 0u);
}

TEST_F(ForestBatch, distantPlantsBecomeImpostorsOfAboutTheSameLook)
{
    // A row of plants far away, each only a few pixels tall.
    std::vector<Plant> plants = field(1, 40, [](int, int i) {
        return Plant{{f(i) * 9.0f - 180.0f, 0.0f, -260.0f - f(i % 5) * 20.0f}, 0.5 + 0.0125 * i, 9, 0};
    });
    batch.setImpostors(&impostors, 12.0);
    batched(plants);
    EXPECT_EQ(impostors.quadsDrawn(), plants.size());

    // Without a limit (while the simulation runs) every still plant is a quad, even beside the eye.
    plants.push_back({{0.0f, 0.0f, 16.0f}, 1.0, 0, 99});
    plants.push_back({{0.0f, 0.0f, 0.0f}, 1.0, 0, 98});
    batch.setImpostors(&impostors, Everywhere);
    batched(plants);
    EXPECT_EQ(batch.stats().impostorPlants, plants.size());
    EXPECT_EQ(batch.stats().meshPlants, 0u);
    // Its pictures taken, the next frame draws a quad of two triangles each.
    batched(plants);
    EXPECT_EQ(batch.stats().draw.triangles, 2 * plants.size());

    // A dense stand: the exact drawing's leaf pictures write depth also where transparent, hiding
    // most plants drawn later behind them; the impostors' stand is about half as dark again.
    const std::vector<Plant> dense = field(30, 30, [](int row, int column) {
        return Plant{
            {f(column) * 3.0f - 45.0f, 0.0f, -60.0f - 2.0f * f(row)}, 0.5 + 0.5 * ((row + column) % 2), 6, 0};
    });
    const auto [exactStand, farStand] = exactAndFar(dense, {});
    EXPECT_NEAR(darkness(farStand) / darkness(exactStand), 1.0, 0.4);
    EXPECT_LT(shareApart(exactStand, farStand, 48), 0.03);
}

TEST_F(ForestBatch, plantsBelowTheSmallestPictureAreSpecks)
{
    // A wide field of plants so far away that each is at most a pixel or two tall.
    std::vector<Plant> plants = field(48, 40, [](int row, int column) {
        const float z = -600.0f - 8.0f * f(row);
        return Plant{{(f(column) - 19.5f) * -z / 40.0f, 0.0f, z}, 0.6 + 0.01 * column, 9, 0};
    });
    const QImage exact = batched(plants);
    batch.setImpostors(&impostors, 12.0);
    batched(plants);
    // The second frame: the atlas, made in the first, draws nothing of its own.
    const QImage far = batched(plants);
    const lignet::gl::ForestFrameStats &stats = batch.stats();
    EXPECT_EQ(stats.speckPlants, plants.size());
    EXPECT_EQ(stats.meshPlants + stats.impostorPlants, 0u);
    EXPECT_EQ(stats.draw.triangles + stats.draw.points, 0u);
    // One line per plant, but for the seedlings whose few short lines seldom light a pixel.
    EXPECT_LE(stats.draw.lines, plants.size());
    EXPECT_GT(stats.draw.lines, plants.size() * 9 / 10);
    // The pixels the exact drawing lights are nearly all there: its triangles seldom cover one.
    const auto lit = [](const QImage &image) { return countPixels(image, covered); };
    ASSERT_GT(lit(exact), 30);
    EXPECT_NEAR(static_cast<double>(lit(far)) / lit(exact), 1.0, 0.15) << lit(far) << " of " << lit(exact);
    EXPECT_LT(shareApart(exact, far, 8), 0.001);

    // At a level of detail without lines (cylinders and leaf disks) a tree is drawn whole, however small.
    for (Plant &p : plants) {
        p.position = p.position * 4.0f;
        p.levelOfDetail = 2;
    }
    batched(plants);
    EXPECT_EQ(stats.meshPlants, plants.size());
    EXPECT_EQ(stats.speckPlants + stats.impostorPlants, 0u);
}

// The lights stay fixed in the world, so a stand seen against the light shows its shaded side;
// its impostors must show that side too, not the side their first picture was taken from. Seen from
// above, a tree shows more crown and less trunk than from the side: the quads of plants below the
// eye show pictures taken from above, leaning back to face the eye.
TEST_F(ForestBatch, impostorsShowTheSideTheEyeSees)
{
    const std::vector<Plant> plants = field(4, 4, [](int row, int column) {
        return Plant{
            {f(column) * 3.0f - 4.5f, 0.0f, f(row) * 3.0f - 4.5f}, 0.6 + 0.1 * ((row + column) % 4), 3, 0};
    });
    const auto treeBrightness = [](const QImage &image) {
        const int count = countPixels(image, covered);
        return count > 0 ? sumPixels(image, [](QRgb p) { return covered(p) ? qGray(p) : 0; }) / count : 255.0;
    };
    std::vector<double> exactBrightness;
    // The light comes from +x and +z: the eye first on that side, then on the other ones.
    for (const float heading : {315.0f, 45.0f, 135.0f, 225.0f}) {
        const float radians = heading / 180.0f * std::numbers::pi_v<float>;
        const math::Vector3f direction{std::sin(radians), 0.0f, -std::cos(radians)};
        const auto [exact, far] =
            exactAndFar(plants, {direction * -70.0f + math::Vector3f{0.0f, 4.0f, 0.0f}, {0.0f, 2.0f, 0.0f}});
        exactBrightness.push_back(treeBrightness(exact));
        // A picture shown down to 0.7 times its size thins its crown a little.
        EXPECT_NEAR(treeBrightness(far), exactBrightness.back(), 0.2 * exactBrightness.back()) << heading;
    }
    // Against the light the stand is clearly darker.
    EXPECT_LT(exactBrightness[2], 0.8 * exactBrightness[0]);
    // Only the pictures shown were drawn: the four diagonals of eight level directions, the stand's
    // four growth stages at a size or two each (the eye is a few degrees above the stand).
    placePlant(tree, plants.front(), false); // the atlas of the tree as the stand's first plant sets it
    const lignet::gl::ImpostorAtlas &atlas = impostors.atlasFor(tree, view.textures, cache, drawer);
    ASSERT_EQ(atlas.headings(), 8);
    ASSERT_EQ(atlas.views(), 32);
    for (int direction = 0; direction < atlas.views(); ++direction) {
        EXPECT_EQ(atlas.picturesDrawn(direction) > 0, direction < 8 && direction % 2 == 1) << direction;
        EXPECT_LE(atlas.picturesDrawn(direction), 8) << direction;
    }
    // Stages are measured when a plant first needs them: none of the stand's is fully grown.
    EXPECT_FALSE(atlas.stages().back().measured);
    // A plant shows the stage nearest its growth.
    const auto stages = static_cast<int>(atlas.stages().size());
    for (int stage = 0; stage < stages; ++stage)
        EXPECT_EQ(atlas.stageIndexFor((stage + 0.6) / stages), stage);
    // A size's texture is made with its first picture: not the 90 px one, half of all sizes.
    const std::vector<int> &sizes = impostors.settings().sizes;
    std::size_t everySize = 0;
    for (const int size : sizes)
        everySize += static_cast<std::size_t>(size * size) * atlas.stages().size() * 8 * 4;
    EXPECT_EQ(atlas.texture(static_cast<int>(sizes.size()) - 1, 0), 0u);
    EXPECT_GT(atlas.textureBytes(), 0u);
    EXPECT_LT(atlas.textureBytes(), everySize / 2);
    // The picture nearest the quad's size in ratio (32 and 45 px meet at 37.95); else the largest.
    const auto shown = [&](double pixels) { return sizes[static_cast<std::size_t>(atlas.sizeFor(pixels))]; };
    const std::pair<double, int> quads[] = {
        {1.0, 2}, {32.0, 32}, {37.9, 32}, {38.0, 45}, {500.0, sizes.back()}, {Everywhere, sizes.back()}};
    for (const auto &[pixels, size] : quads)
        EXPECT_EQ(shown(pixels), size) << pixels;

    // From 55 degrees above, only pictures taken from above are added.
    const auto picturesFromAbove = [&atlas](bool above) {
        int drawn = 0;
        for (int direction = 0; direction < atlas.views(); ++direction)
            drawn += (atlas.elevationOf(direction) > 0.0f) == above ? atlas.picturesDrawn(direction) : 0;
        return drawn;
    };
    const int level = picturesFromAbove(false);
    const float down = 55.0f / 180.0f * std::numbers::pi_v<float>;
    const auto [exact, far] =
        exactAndFar(plants, {math::Vector3f{0.0f, std::sin(down), std::cos(down)} * 60.0f, {}});
    EXPECT_NEAR(darkness(far) / darkness(exact), 1.0, 0.2);
    EXPECT_EQ(picturesFromAbove(false), level);
    EXPECT_GT(picturesFromAbove(true), 0);
}
