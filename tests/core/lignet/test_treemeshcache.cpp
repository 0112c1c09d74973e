#include "lignet/projectedsize.h"
#include "lignet/treemeshcache.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <set>

using lignet::TreeMesh;
using lignet::TreeMeshCache;
using lignet::TreeMeshKey;
using lignet::TreeRenderer;

namespace {

// A stand-in mesh of a chosen size, for bound and order checks.
struct Block {
    std::size_t bytes;
    std::size_t byteSize() const { return bytes; }
};

} // namespace

TEST(TreeMeshKey, everyFieldTheDrawingDependsOnChangesTheKey)
{
    const std::vector<std::pair<const char *, std::function<void(TreeRenderer &)>>> changes = {
        {"growth progress", [](TreeRenderer &t) { t.settings().growthProgress = 0.25; }},
        {"growth step", [](TreeRenderer &t) { t.settings().growthStep = 0.002; }},
        {"level of detail", [](TreeRenderer &t) { t.settings().levelOfDetail = 4; }},
        {"wireframe", [](TreeRenderer &t) { t.settings().wireframe = true; }},
        {"leaves shown", [](TreeRenderer &t) { t.designedParameters().displayLeaves = false; }},
        {"high quality", [](TreeRenderer &t) { t.settings().highQuality = true; }},
        {"colour by orders", [](TreeRenderer &t) { t.settings().colourByOrders = true; }},
        {"highlight g min", [](TreeRenderer &t) { t.settings().highlightGMin = 1; }},
        {"highlight g max", [](TreeRenderer &t) { t.settings().highlightGMax = 1; }},
        {"highlight w min", [](TreeRenderer &t) { t.settings().highlightWMin = 1; }},
        {"highlight w max", [](TreeRenderer &t) { t.settings().highlightWMax = 1; }},
        {"revision", [](TreeRenderer &t) { t.bumpRevision(); }},
        {"growing", [](TreeRenderer &t) { t.settings().growing = false; }},
    };
    std::set<std::size_t> hashes;
    for (const auto &[name, change] : changes) {
        TreeRenderer tree;
        tree.settings().growing = true;
        tree.settings().growthProgress = 0.5;
        const TreeMeshKey before = TreeMeshKey::forNextDrawing(tree);
        change(tree);
        const TreeMeshKey after = TreeMeshKey::forNextDrawing(tree);
        EXPECT_FALSE(before == after) << name;
        hashes.insert(lignet::TreeMeshKeyHash{}(after));
    }
    EXPECT_EQ(hashes.size(), changes.size());

    // What does not change the drawing does not change the key.
    TreeRenderer tree;
    const TreeMeshKey plain = TreeMeshKey::forNextDrawing(tree);
    tree.settings().spinAngle = 40.0;
    tree.settings().windTime = 3.0;
    tree.settings().growthProgress = 0.7; // not growing: the progress is not used
    EXPECT_TRUE(plain == TreeMeshKey::forNextDrawing(tree));
    // Two trees never share a key.
    TreeRenderer other;
    EXPECT_FALSE(plain == TreeMeshKey::forNextDrawing(other));
    // A progress above 1 restarts at 0, as the drawing does.
    tree.settings().growing = true;
    tree.settings().growthProgress = 1.5;
    EXPECT_EQ(TreeMeshKey::forNextDrawing(tree).growthProgress(), 0.0);
}

TEST(TreeMeshCache, aHitAdvancesTheClocksExactlyAsADrawing)
{
    TreeMeshCache cache;
    TreeRenderer cached(withStrands(20));
    TreeRenderer drawn(withStrands(20));
    for (TreeRenderer *t : {&cached, &drawn}) {
        t->settings().growing = true;
        t->settings().spinning = true;
        t->settings().growthProgress = 0.5;
    }
    const auto mesh = cache.acquire(cached);
    cached.settings().growthProgress = 0.5;
    EXPECT_EQ(cache.acquire(cached), mesh);
    EXPECT_EQ(std::pair(cache.stats().hits, cache.stats().misses), std::pair(1ul, 1ul));

    lignet::TreeSink nothing;
    drawn.drawTree(nothing);
    drawn.settings().growthProgress = 0.5;
    drawn.drawTree(nothing);
    const auto clocks = [](const TreeRenderer &t) {
        return std::tuple(t.settings().growthProgress, t.settings().spinAngle, t.settings().windTime);
    };
    EXPECT_EQ(clocks(cached), clocks(drawn));
}

TEST(TreeMeshCache, parameterChangesAreNeverServedStaleAndAnimatedOrExportingDrawingsNeverKept)
{
    TreeMeshCache cache;
    TreeRenderer tree(withStrands(20));
    const auto before = cache.acquire(tree);
    tree.designedParameters().numberOfStrands = 40;
    tree.updateRevision();
    const auto after = cache.acquire(tree);
    EXPECT_NE(after, before);
    EXPECT_GT(after->triangleCount(), before->triangleCount());
    // The old revision's mesh is gone, not just unused.
    EXPECT_EQ(std::pair(cache.stats().entries, cache.stats().bytes),
              std::pair(std::size_t(1), after->byteSize()));
    cache.clear();

    // Animated and exporting drawings are built every time and not kept.
    tree.settings().windOn = true;
    const auto first = cache.acquire(tree);
    const auto second = cache.acquire(tree);
    EXPECT_NE(first, second);
    EXPECT_EQ(cache.stats().entries, 0u);
    tree.settings().windOn = false;
    cache.acquire(tree, false); // growth in the tree edit view: not kept
    EXPECT_EQ(cache.stats().entries, 0u);
    cache.acquire(tree);
    EXPECT_EQ(cache.stats().entries, 1u);

    // A pending export is written by a real walk even when the mesh is cached.
    const auto file = std::filesystem::temp_directory_path() / "verdalis_cache_export.crs";
    tree.requestVertexExport(file.string());
    cache.acquire(tree);
    EXPECT_FALSE(tree.vertexExporter().armed());
    EXPECT_GT(std::filesystem::file_size(file), 100u);
    EXPECT_EQ(cache.stats().hits, 0u);
    std::filesystem::remove(file);
}

TEST(MeshCache, evictsTheLeastRecentlyUsedToStayWithinTheBound)
{
    const auto keyOf = [](std::uint64_t model, int lod) { return TreeMeshKey{model, 0, 0, 0, lod}; };
    lignet::MeshCache<Block> cache(1000);
    for (int lod = 0; lod < 4; ++lod)
        cache.insert(keyOf(1, lod), std::make_shared<Block>(Block{300}));
    // The fourth block pushed the first out.
    EXPECT_FALSE(cache.contains(keyOf(1, 0)));
    EXPECT_EQ(cache.stats().bytes, 900u);
    EXPECT_EQ(cache.stats().evictions, 1u);
    // Using block 1 makes block 2 the oldest.
    EXPECT_TRUE(cache.find(keyOf(1, 1)));
    cache.insert(keyOf(1, 4), std::make_shared<Block>(Block{300}));
    EXPECT_TRUE(cache.contains(keyOf(1, 1)) && !cache.contains(keyOf(1, 2)));
    std::vector<int> order;
    cache.forEachKey([&](const TreeMeshKey &k) { order.push_back(k.levelOfDetail); });
    EXPECT_EQ(order, (std::vector<int>{4, 1, 3}));
    // A mesh larger than the bound is not kept at all; lowering the bound evicts.
    cache.insert(keyOf(2, 0), std::make_shared<Block>(Block{1001}));
    EXPECT_FALSE(cache.contains(keyOf(2, 0)));
    cache.setByteLimit(400);
    EXPECT_EQ(cache.stats().entries, 1u);
    EXPECT_LE(cache.stats().bytes, 400u);
    cache.eraseModel(1);
    EXPECT_EQ(std::pair(cache.stats().entries, cache.stats().bytes),
              std::pair(std::size_t(0), std::size_t(0)));
}

TEST(ProjectedSize, heightInPixelsFollowsTheProjectionAndViewport)
{
    // gluPerspective(90, 1, 1, 30000): element 5 is cot(45 degrees) = 1.
    std::array<float, 16> projection{};
    projection[5] = 1.0f;
    EXPECT_DOUBLE_EQ(lignet::projectedHeightPixels(2.0, 100.0, projection, 800), 8.0);
    EXPECT_EQ(lignet::projectedHeightPixels(2.0, 0.0, projection, 800), HUGE_VAL); // at the eye
    projection[5] = 2.0f;
    EXPECT_DOUBLE_EQ(lignet::projectedHeightPixels(2.0, 100.0, projection, 400), 8.0);
}

TEST(FarFieldTier, aFrameRaisesItsThresholdUntilThePlantsDrawnExactlyKeepToTheBudget)
{
    // Six plants reach 16 px; the two of 30 px are a tie; 80 px is above the ceiling.
    const std::vector<lignet::ProjectedPlant> plants = {{5.0, 1.0},  {80.0, 1.0}, {20.0, 0.25}, {16.0, 1.0},
                                                        {30.0, 0.5}, {30.0, 0.5}, {40.0, 1.0},  {12.0, 1.0}};
    struct Row {
        double budget;
        double threshold;
        double exactCost; // of the plants reaching it
    };
    const double above = 1e9;
    for (const Row row :
         {Row{4.25, 16.0, 4.25}, Row{9.0, 16.0, 4.25}, Row{4.0, std::nextafter(16.0, above), 3.25},
          Row{3.0, std::nextafter(20.0, above), 3.0}, Row{2.5, std::nextafter(30.0, above), 2.0},
          Row{1.5, std::nextafter(40.0, above), 1.0}, Row{0.0, 64.0, 1.0}}) {
        std::vector<lignet::ProjectedPlant> reordered = plants;
        const double threshold = lignet::thresholdWithinBudget(reordered, 16.0, 64.0, row.budget);
        EXPECT_EQ(threshold, row.threshold) << "budget " << row.budget;
        double cost = 0.0;
        for (const lignet::ProjectedPlant &p : plants)
            cost += p.pixels >= threshold ? p.cost : 0.0;
        EXPECT_EQ(cost, row.exactCost) << "budget " << row.budget;
    }
    std::vector<lignet::ProjectedPlant> reordered = plants;
    EXPECT_EQ(lignet::thresholdWithinBudget(reordered, 64.0, 64.0, 0.0), 64.0); // nothing to raise
}
