// Tree meshes, their keys and caches, the far-field tier's sizes and the vertex export.
#include "core/tempfolder.h"
#include "core/vectornear.h"
#include "lignet/countingtreesink.h"
#include "lignet/projectedsize.h"
#include "lignet/quadricgeometry.h"
#include "lignet/treemeshcache.h"
#include "lignet/treemeshsink.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

using namespace treetest;
using namespace testsupport;

namespace {

TreeMesh meshOf(TreeRenderer &tree)
{
    TreeMeshSink sink;
    tree.drawTree(sink);
    TreeMesh mesh;
    sink.finish(mesh);
    return mesh;
}

// A stand-in mesh of a chosen size, for bound and order checks.
struct Block {
    std::size_t bytes;
    std::size_t byteSize() const { return bytes; }
};

// Exports the next drawing of the tree and reads the file back.
class VertexExport : public ::testing::Test {
protected:
    std::string exportText(TreeRenderer &tree)
    {
        tree.requestVertexExport(folder.file("tree.crs"));
        draw(tree);
        EXPECT_EQ(tree.exportError(), "");
        return readBytes(folder.file("tree.crs"));
    }

    TempFolder folder;
};

} // namespace

TEST(TreeMesh, cylindersFollowGluSlicesStacksNormalsAndTextureCoordinatesAndTwigCountsTheDrawingOptions)
{
    std::vector<QuadricVertex> v;
    // A cone of base radius 2, top 1 and height 4 in 4 slices and 2 stacks.
    cylinderVertices(QuadricSlices(4), 2.0, 1.0, 4.0, 2, v);
    ASSERT_EQ(v.size(), 2u * 5u * 2u);
    const float len = std::sqrt(1.0f + 16.0f);
    // Slice 1 (90 degrees) of the first stack: low at radius 2, high at radius 1.5, height 2.
    expectNear(v[2].position, {2.0f, 0.0f, 0.0f});
    expectNear(v[3].position, {1.5f, 0.0f, 2.0f});
    expectNear(v[2].normal, {4.0f / len, 0.0f, 1.0f / len});
    EXPECT_EQ(std::tuple(v[2].s, v[2].t, v[3].t), std::tuple(0.75f, 0.0f, 0.5f));
    // The strip closes on slice 0 with s = 0; the second stack starts at height 2.
    expectNear(v[8].position, v[0].position);
    EXPECT_EQ(std::pair(v[8].s, v[0].s), std::pair(0.0f, 1.0f));
    expectNear(v[10].position, {0.0f, 1.5f, 2.0f});
    EXPECT_FLOAT_EQ(v[11].t, 1.0f);

    const std::tuple<int, double, double, double, int> invalid[] = {
        {5, -0.1, 1, 1, 1}, {5, 0, 0, 0, 1}, {5, 1, 1, 1, 0}, {1, 1, 1, 1, 1}};
    for (const auto &[slices, base, top, height, stacks] : invalid) {
        cylinderVertices(QuadricSlices(slices), base, top, height, stacks, v);
        EXPECT_TRUE(v.empty()) << slices << " " << base << " " << top << " " << height << " " << stacks;
    }
    diskFanVertices(QuadricSlices(4), 0.0, v);
    EXPECT_TRUE(v.empty());
    // A cone tapering to a point is still drawn.
    cylinderVertices(QuadricSlices(5), 1, 0, 1, 1, v);
    EXPECT_EQ(v.size(), 12u);
    // The leaf disk's vertices are compared with gluDisk's in the render tests (TreeMeshFeedback).

    // Twig counts follow the level of detail, the quality and wireframe.
    using enum MeshBatchKind;
    using Counts =
        std::array<std::uint32_t, 5>; // bark triangles and lines, wire lines, leaf triangles and points
    // Level of detail, high quality, wireframe and the counts; a wire prism is 4 quads of 4 edges, a
    // leaf outline a loop of 4 x 5 points, and from level 12 on only the points are drawn.
    const std::tuple<int, bool, bool, Counts> cases[] = {
        {0, false, false, {10, 0, 0, 20, 5}},    {0, true, false, {100, 0, 0, 20, 5}},
        {3, true, false, {10, 0, 0, 20, 5}},     {6, false, false, {0, 1, 0, 20, 5}},
        {0, false, true, {0, 0, 16 + 20, 0, 0}}, {12, false, false, {0, 0, 0, 0, 5}}};
    for (const auto &[lod, highQuality, wireframe, expected] : cases) {
        SCOPED_TRACE(testing::Message()
                     << "lod " << lod << " high quality " << highQuality << " wireframe " << wireframe);
        TreeRenderer tree(twig(SPIRAL, 5));
        tree.settings() = {.wireframe = wireframe, .highQuality = highQuality, .levelOfDetail = lod};
        const TreeMesh mesh = meshOf(tree);
        const auto count = [&mesh](MeshBatchKind kind) {
            const MeshBatch *b = mesh.batch(kind);
            return b ? b->primitiveCount() : 0u;
        };
        EXPECT_EQ((Counts{count(BarkTriangles), count(BarkLines), count(WireLines), count(LeafTriangles),
                          count(LeafPoints)}),
                  expected);
    }
}

TEST(TreeMesh, defaultTreeHasTenTrianglesPerSegmentAndFourPlusAPointPerLeaf)
{
    TreeRenderer tree;
    CountingTreeSink counts;
    tree.drawTree(counts);
    const TreeMesh mesh = meshOf(tree);
    EXPECT_EQ(mesh.triangleCount(), static_cast<std::uint64_t>(10 * counts.segments + 4 * counts.leaves));
    EXPECT_EQ(mesh.pointCount(), static_cast<std::uint64_t>(counts.leaves));
    // Batches come in drawing order, bark before leaves, and cover the index array.
    using enum MeshBatchKind;
    ASSERT_EQ(mesh.batches.size(), 3u);
    EXPECT_EQ(std::tuple(mesh.batches[0].kind, mesh.batches[1].kind, mesh.batches[2].kind),
              std::tuple(BarkTriangles, LeafTriangles, LeafPoints));
    EXPECT_EQ(mesh.batches[2].firstIndex + mesh.batches[2].indexCount, mesh.indices.size());
    // Each leaf's point follows its disk (four triangles) in the leaf batch as a triangle of three
    // copies of the point's vertex, corners 1 to 3; only those vertices are corners.
    const MeshBatch &disks = mesh.batches[1], &points = mesh.batches[2];
    ASSERT_EQ(disks.pointTriangles, static_cast<std::uint32_t>(counts.leaves));
    ASSERT_EQ(disks.indexCount, 15u * disks.pointTriangles);
    ASSERT_EQ(mesh.pointCorners.size(), mesh.vertexCount());
    for (std::uint32_t leaf = 0; leaf < points.indexCount; ++leaf) {
        const std::uint32_t point = mesh.indices[points.firstIndex + leaf];
        const std::uint32_t *triangle = &mesh.indices[disks.firstIndex + 15 * leaf + 12];
        for (std::uint8_t corner = 0; corner < 3; ++corner) {
            ASSERT_EQ(triangle[corner], point + corner) << leaf;
            EXPECT_EQ(mesh.pointCorners[point + corner], corner + 1);
            EXPECT_EQ(mesh.positions[point + corner], mesh.positions[point]);
            EXPECT_EQ(mesh.texCoords[point + corner], mesh.texCoords[point]);
        }
        EXPECT_FALSE(mesh.isPointCorner(triangle[-1]));
    }
    EXPECT_EQ(std::count(mesh.pointCorners.begin(), mesh.pointCorners.end(), 0),
              static_cast<std::ptrdiff_t>(mesh.vertexCount() - 3 * points.indexCount));
    // From level of detail 3 on the points come before the disks.
    tree.settings().levelOfDetail = 3;
    const TreeMesh far = meshOf(tree);
    ASSERT_EQ(far.batches.size(), 3u);
    EXPECT_EQ(std::pair(far.batches[1].kind, far.batches[2].kind), std::pair(LeafPoints, LeafTriangles));
}

TEST(TreeMeshKey, theFieldsTheDrawingDependsOnChangeTheKey)
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
        {"revision", [](TreeRenderer &t) { t.bumpRevision(); }},
        {"growing", [](TreeRenderer &t) { t.settings().growing = false; }},
    };
    std::set<std::size_t> hashes;
    for (const auto &[name, change] : changes) {
        TreeRenderer tree;
        tree.settings() = {.growthProgress = 0.5, .growing = true};
        const TreeMeshKey before = TreeMeshKey::forNextDrawing(tree);
        change(tree);
        const TreeMeshKey after = TreeMeshKey::forNextDrawing(tree);
        EXPECT_FALSE(before == after) << name;
        hashes.insert(TreeMeshKeyHash{}(after));
    }
    EXPECT_EQ(hashes.size(), changes.size());

    // What does not change the drawing does not change the key.
    TreeRenderer tree;
    const TreeMeshKey plain = TreeMeshKey::forNextDrawing(tree);
    // Not growing: the progress is not used.
    tree.settings() = {.growthProgress = 0.7, .windTime = 3.0, .spinAngle = 40.0};
    EXPECT_TRUE(plain == TreeMeshKey::forNextDrawing(tree));
    // Two trees never share a key.
    EXPECT_FALSE(plain == TreeMeshKey::forNextDrawing(TreeRenderer()));
    // A progress above 1 restarts at 0, as the drawing does.
    tree.settings().growing = true;
    tree.settings().growthProgress = 1.5;
    EXPECT_EQ(TreeMeshKey::forNextDrawing(tree).growthProgress(), 0.0);
}

TEST(TreeMeshCache,
     aHitAdvancesTheClocksAsADrawingChangesAreNeverStaleAndAnimatedOrExportingDrawingsNeverKept)
{
    TreeMeshCache cache;
    TreeRenderer cached(withStrands(20));
    TreeRenderer drawn(withStrands(20));
    for (TreeRenderer *t : {&cached, &drawn})
        t->settings() = {.growthProgress = 0.5, .growing = true, .spinning = true};
    const auto mesh = cache.acquire(cached);
    cached.settings().growthProgress = 0.5;
    EXPECT_EQ(cache.acquire(cached), mesh);
    EXPECT_EQ(std::pair(cache.stats().hits, cache.stats().misses), std::pair(1ul, 1ul));

    TreeSink nothing;
    drawn.drawTree(nothing);
    drawn.settings().growthProgress = 0.5;
    drawn.drawTree(nothing);
    const auto clocks = [](const TreeRenderer &t) {
        return std::tuple(t.settings().growthProgress, t.settings().spinAngle, t.settings().windTime);
    };
    EXPECT_EQ(clocks(cached), clocks(drawn));

    // Parameter changes are never served stale.
    cache.clear();
    TreeRenderer tree(withStrands(20));
    const auto before = cache.acquire(tree);
    tree.designedParameters().numberOfStrands = 40;
    tree.updateRevision();
    const auto after = cache.acquire(tree);
    EXPECT_GT(after->triangleCount(), before->triangleCount());
    // The old revision's mesh is gone, not just unused.
    EXPECT_EQ(std::tuple(cache.stats().entries, cache.stats().bytes), std::tuple(1u, after->byteSize()));
    cache.clear();

    // Animated and exporting drawings are built every time and not kept.
    tree.settings().windOn = true;
    EXPECT_NE(cache.acquire(tree), cache.acquire(tree));
    EXPECT_EQ(cache.stats().entries, 0u);
    tree.settings().windOn = false;
    cache.acquire(tree, false); // growth in the tree edit view: not kept
    EXPECT_EQ(cache.stats().entries, 0u);
    cache.acquire(tree);
    EXPECT_EQ(cache.stats().entries, 1u);

    // A pending export is written by a real walk even when the mesh is cached.
    const TempFolder folder;
    tree.requestVertexExport(folder.file("tree.crs"));
    cache.acquire(tree);
    EXPECT_FALSE(tree.vertexExporter().armed());
    EXPECT_GT(std::filesystem::file_size(folder.file("tree.crs")), 100u);
    EXPECT_EQ(cache.stats().hits, 1u); // only the first tree's
}

TEST(MeshCache, evictsTheLeastRecentlyUsedToStayWithinTheBoundButKeepsThePreviousFramesMeshesAFrameLonger)
{
    const auto keyOf = [](std::uint64_t model, int lod) { return TreeMeshKey{model, 0, 0, 0, lod}; };
    MeshCache<Block> cache(1000);
    for (int lod = 0; lod < 4; ++lod)
        cache.insert(keyOf(1, lod), std::make_shared<Block>(Block{300}));
    // The fourth block pushed the first out.
    EXPECT_FALSE(cache.contains(keyOf(1, 0)));
    EXPECT_EQ(std::tuple(cache.stats().bytes, cache.stats().evictions), std::tuple(900u, 1u));
    // Using block 1 makes block 2 the oldest.
    EXPECT_TRUE(cache.find(keyOf(1, 1)));
    cache.insert(keyOf(1, 4), std::make_shared<Block>(Block{300}));
    EXPECT_TRUE(cache.contains(keyOf(1, 1)) && !cache.contains(keyOf(1, 2)));
    // A mesh larger than the bound is not kept at all; lowering the bound evicts.
    cache.insert(keyOf(2, 0), std::make_shared<Block>(Block{1001}));
    EXPECT_FALSE(cache.contains(keyOf(2, 0)));
    cache.setByteLimit(400);
    EXPECT_EQ(cache.stats().entries, 1u);

    // Counting frames, the previous frame's meshes stay for a mesh of this one; a frame later they go.
    MeshCache<Block> frames(1000);
    frames.beginFrame();
    for (int lod = 0; lod < 3; ++lod)
        frames.insert(keyOf(1, lod), std::make_shared<Block>(Block{300}));
    for (const bool kept : {false, true}) {
        frames.beginFrame();
        frames.insert(keyOf(2, 0), std::make_shared<Block>(Block{300}));
        EXPECT_EQ(std::pair(frames.contains(keyOf(2, 0)), frames.contains(keyOf(1, 0))),
                  std::pair(kept, !kept));
    }
}

TEST(FarFieldTier, heightsInPixelsFollowTheProjectionAndAFrameRaisesItsThresholdToKeepToTheBudget)
{
    // gluPerspective(90, 1, 1, 30000): element 5 is cot(45 degrees) = 1.
    std::array<float, 16> projection{};
    projection[5] = 1.0f;
    EXPECT_DOUBLE_EQ(projectedHeightPixels(2.0, 100.0, projection, 800), 8.0);
    EXPECT_EQ(projectedHeightPixels(2.0, 0.0, projection, 800), HUGE_VAL); // at the eye
    projection[5] = 2.0f;
    EXPECT_DOUBLE_EQ(projectedHeightPixels(2.0, 100.0, projection, 400), 8.0);

    // Six plants reach 16 px; the two of 30 px are a tie; 80 px is above the ceiling.
    const std::vector<ProjectedPlant> plants = {{5.0, 1.0},  {80.0, 1.0}, {20.0, 0.25}, {16.0, 1.0},
                                                {30.0, 0.5}, {30.0, 0.5}, {40.0, 1.0},  {12.0, 1.0}};
    struct Row {
        double budget, threshold, exactCost; // the cost of the plants reaching the threshold
    };
    const double above = 1e9;
    for (const Row row :
         {Row{4.25, 16.0, 4.25}, Row{9.0, 16.0, 4.25}, Row{4.0, std::nextafter(16.0, above), 3.25},
          Row{2.5, std::nextafter(30.0, above), 2.0}, Row{0.0, 64.0, 1.0}}) {
        std::vector<ProjectedPlant> reordered = plants;
        const double threshold = thresholdWithinBudget(reordered, 16.0, 64.0, row.budget);
        double cost = 0.0;
        for (const ProjectedPlant &p : plants)
            cost += p.pixels >= threshold ? p.cost : 0.0;
        EXPECT_EQ(std::pair(threshold, cost), std::pair(row.threshold, row.exactCost))
            << "budget " << row.budget;
    }
}

TEST_F(VertexExport, singleStrandTreeWithOneLeafIsWrittenExactly)
{
    TreeRenderer tree(twig(SPIRAL, 1, 0.1f));
    // Quads of the corners (+-0.01, 0, +-0.01) at 0, 90, 180 and 270 degrees; the top ring of radius 0
    // sits on the axis. The leaf square lies at (0, 5, 0.1) with corners 0.1 away; a quarter turn in
    // float leaves a rounding residue, written in exponent form.
    EXPECT_EQ(exportText(tree), "B 0\n"
                                "0.01 0 -0.01\n0 5 0\n0 5 0\n0.01 0 0.01\n"
                                "-0.01 0 -0.01\n0 5 0\n0 5 0\n0.01 0 -0.01\n"
                                "-0.01 0 0.01\n0 5 0\n0 5 0\n-0.01 0 -0.01\n"
                                "0.01 0 0.01\n0 5 0\n0 5 0\n-0.01 0 0.01\n"
                                "L 0\n"
                                "0.1 5 0.1\n-4.37114e-09 5 0\n-0.1 5 0.1\n1.19249e-09 5 0.2\n");
    // A base frame moves the coordinates of one export only.
    tree.vertexExporter().setBaseFrame(Mat4::translation(10.0f, 0.0f, 0.0f));
    EXPECT_EQ(exportText(tree).rfind("B 0\n10.01 0 -0.01\n10 5 0\n10 5 0\n10.01 0 0.01\n", 0), 0u);
    EXPECT_EQ(exportText(tree).rfind("B 0\n0.01 0 -0.01\n", 0), 0u);
}

// Record and point counts of every option are checked on the command line's `tree vertices`, the
// corners of a single segment by the exact file above.
TEST_F(VertexExport, aMajorContinuationReusesItsParentsTopRingAndAMinorSubbranchStartsItsOwn)
{
    TreeParameters p = withStrands(3); // root of 3 strands, its major continuation keeps 2
    p.displayLeaves = false;
    TreeRenderer tree(p);
    // Five records of a header and 4 quads of 4 points: the root, its minor, its major, whose two
    // single strands follow.
    const auto lines = split(exportText(tree));
    ASSERT_EQ(lines.size(), 5u * 17u);
    EXPECT_EQ(lines[0] + lines[17] + lines[34], "B 0B 1B 0");
    // Quad i of a record lists bottom[i + 1], top[i + 1], top[i], bottom[i].
    const auto corner = [&lines](std::size_t record, std::size_t i, bool top) {
        return lines[17 * record + 1 + 4 * i + (top ? 2 : 3)];
    };
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(corner(2, i, false), corner(0, (i + 1) % 4, true)) << i; // shifted by a quarter
    EXPECT_NE(corner(1, 0, false), corner(0, 1, true));
}

TEST_F(VertexExport, onlyTheNextDrawingIsWrittenUnderTheLastNameAndAFailureIsReportedOnce)
{
    TreeRenderer tree(withStrands(5));
    writeBytes(folder.file("second.crs"), std::string(100000, 'x')); // truncated
    tree.requestVertexExport(folder.file("first.crs"));
    tree.requestVertexExport(folder.file("second.crs"));
    draw(tree);
    EXPECT_EQ(folder.entryCount(), 1u);
    const std::string written = readBytes(folder.file("second.crs"));
    EXPECT_EQ(written.rfind("B 0\n", 0), 0u);
    EXPECT_EQ(written.find('x'), std::string::npos);
    tree.designedParameters().numberOfStrands = 50;
    draw(tree);
    EXPECT_EQ(readBytes(folder.file("second.crs")), written);

    // An unwritable file is reported and the drawing goes on.
    tree.requestVertexExport(folder.file("missing/tree.crs"));
    const auto sink = draw(tree);
    EXPECT_NE(tree.exportError().find("could not open"), std::string::npos);
    // Taken once, for the one report to the user.
    EXPECT_NE(tree.takeExportError().find("tree.crs"), std::string::npos);
    EXPECT_EQ(tree.exportError(), "");
    EXPECT_FALSE(sink.segments.empty());
    EXPECT_FALSE(tree.vertexExporter().armed());
    EXPECT_FALSE(exportText(tree).empty()); // the next request succeeds and clears the error
}
