#include "lignet/countingtreesink.h"
#include "lignet/quadricgeometry.h"
#include "lignet/treemeshcache.h"
#include "lignet/treemeshsink.h"
#include "lignet/treerenderer.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <cmath>

using lignet::MeshBatchKind;
using lignet::TreeMesh;
using lignet::TreeParameters;
using lignet::TreeRenderer;
using math::Vector3f;

namespace {

// One vertical segment of length 5 with five leaves at its tip.
TreeParameters twig()
{
    TreeParameters p;
    p.numberOfStrands = 1;
    p.phyllotaxisAngle = 0.0;
    p.leafSize = 0.25f;
    p.leafDensity = 5;
    return p;
}

TreeMesh meshOf(TreeRenderer &tree)
{
    lignet::TreeMeshSink sink;
    tree.drawTree(sink);
    TreeMesh mesh;
    sink.finish(mesh);
    return mesh;
}

std::uint32_t countOf(const TreeMesh &mesh, MeshBatchKind kind)
{
    const lignet::MeshBatch *b = mesh.batch(kind);
    return b ? b->primitiveCount() : 0u;
}

void expectNear(const Vector3f &a, const Vector3f &b, float tolerance = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

} // namespace

TEST(QuadricGeometry, cylinderStripsFollowGluSlicesStacksNormalsAndTextureCoordinates)
{
    std::vector<lignet::QuadricVertex> v;
    // A cone of base radius 2, top 1 and height 4 in 4 slices and 2 stacks.
    lignet::cylinderVertices(lignet::QuadricSlices(4), 2.0, 1.0, 4.0, 2, v);
    ASSERT_EQ(v.size(), 2u * 5u * 2u);
    const float len = std::sqrt(1.0f + 16.0f);
    // Slice 1 (90 degrees) of the first stack: low at radius 2, high at radius 1.5, height 2.
    expectNear(v[2].position, {2.0f, 0.0f, 0.0f});
    expectNear(v[3].position, {1.5f, 0.0f, 2.0f});
    expectNear(v[2].normal, {4.0f / len, 0.0f, 1.0f / len});
    EXPECT_FLOAT_EQ(v[2].s, 0.75f);
    EXPECT_FLOAT_EQ(v[2].t, 0.0f);
    EXPECT_FLOAT_EQ(v[3].t, 0.5f);
    // The strip closes on slice 0 with s = 0; the second stack starts at height 2.
    expectNear(v[8].position, v[0].position);
    EXPECT_FLOAT_EQ(v[8].s, 0.0f);
    EXPECT_FLOAT_EQ(v[0].s, 1.0f);
    expectNear(v[10].position, {0.0f, 1.5f, 2.0f});
    EXPECT_FLOAT_EQ(v[11].t, 1.0f);
}

TEST(QuadricGeometry, invalidCylindersAndDisksProduceNothing)
{
    const lignet::QuadricSlices five(5);
    std::vector<lignet::QuadricVertex> v{{}};
    for (const auto &[base, top, height, stacks] : std::vector<std::tuple<double, double, double, int>>{
             {-0.1, 1, 1, 1}, {1, -0.1, 1, 1}, {1, 1, -1, 1}, {0, 0, 0, 1}, {1, 1, 1, 0}}) {
        lignet::cylinderVertices(five, base, top, height, stacks, v);
        EXPECT_TRUE(v.empty()) << base << " " << top << " " << height << " " << stacks;
    }
    lignet::cylinderVertices(lignet::QuadricSlices(1), 1, 1, 1, 1, v);
    EXPECT_TRUE(v.empty());
    lignet::diskFanVertices(lignet::QuadricSlices(4), 0.0, v);
    EXPECT_TRUE(v.empty());
    // A cone tapering to a point is still drawn.
    lignet::cylinderVertices(five, 1, 0, 1, 1, v);
    EXPECT_EQ(v.size(), 12u);
}

TEST(QuadricGeometry, leafDiskIsAFanOfFourTrianglesFromTheCentre)
{
    std::vector<lignet::QuadricVertex> v;
    lignet::diskFanVertices(lignet::QuadricSlices(4), 0.5, v);
    ASSERT_EQ(v.size(), 6u);
    expectNear(v[0].position, {0.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(v[0].s, 0.5f);
    EXPECT_FLOAT_EQ(v[0].t, 0.5f);
    // The rim runs from slice 4 (= slice 0) down to slice 0: 0, 270, 180, 90, 0 degrees.
    const std::array<Vector3f, 5> rim = {
        {{0, 0.5f, 0}, {-0.5f, 0, 0}, {0, -0.5f, 0}, {0.5f, 0, 0}, {0, 0.5f, 0}}};
    for (std::size_t i = 0; i < rim.size(); ++i) {
        expectNear(v[i + 1].position, rim[i]);
        expectNear(v[i + 1].normal, {0, 0, 1});
        EXPECT_NEAR(v[i + 1].s, rim[i].x + 0.5f, 1e-6f);
        EXPECT_NEAR(v[i + 1].t, rim[i].y + 0.5f, 1e-6f);
    }
}

TEST(TreeMesh, twigCountsFollowLevelOfDetailQualityAndWireframe)
{
    struct Case {
        const char *name;
        int lod;
        bool highQuality;
        bool wireframe;
        std::uint32_t barkTriangles, barkLines, wireLines, leafTriangles, leafPoints;
    };
    for (const Case &c : {Case{"lod 0", 0, false, false, 10, 0, 0, 20, 5},
                          Case{"lod 0 high quality", 0, true, false, 100, 0, 0, 20, 5},
                          Case{"lod 3 high quality", 3, true, false, 10, 0, 0, 20, 5},
                          Case{"lod 6", 6, false, false, 0, 1, 0, 20, 5},
                          // Prism: 4 quads of 4 edges; outline: a loop of 4 x 5 points.
                          Case{"wireframe", 0, false, true, 0, 0, 16 + 20, 0, 0},
                          Case{"lod 12 draws only points", 12, false, false, 0, 0, 0, 0, 5}}) {
        TreeRenderer tree(twig());
        tree.settings().highQuality = c.highQuality;
        tree.settings().wireframe = c.wireframe;
        tree.settings().levelOfDetail = c.lod;
        const TreeMesh mesh = meshOf(tree);
        EXPECT_EQ(countOf(mesh, MeshBatchKind::BarkTriangles), c.barkTriangles) << c.name;
        EXPECT_EQ(countOf(mesh, MeshBatchKind::BarkLines), c.barkLines) << c.name;
        EXPECT_EQ(countOf(mesh, MeshBatchKind::WireLines), c.wireLines) << c.name;
        EXPECT_EQ(countOf(mesh, MeshBatchKind::LeafTriangles), c.leafTriangles) << c.name;
        EXPECT_EQ(countOf(mesh, MeshBatchKind::LeafPoints), c.leafPoints) << c.name;
        EXPECT_EQ(mesh.normals.size(), mesh.vertexCount());
        EXPECT_EQ(mesh.texCoords.size(), mesh.vertexCount());
        EXPECT_EQ(mesh.colours.size(), mesh.vertexCount());
        for (std::uint32_t index : mesh.indices)
            ASSERT_LT(index, mesh.vertexCount()) << c.name;
    }
}

TEST(TreeMesh, defaultTreeHasTenTrianglesPerSegmentAndFourPlusAPointPerLeaf)
{
    TreeRenderer counted;
    lignet::CountingTreeSink counts;
    counted.drawTree(counts);
    TreeRenderer tree;
    const TreeMesh mesh = meshOf(tree);
    EXPECT_EQ(mesh.triangleCount(), static_cast<std::uint64_t>(10 * counts.segments + 4 * counts.leaves));
    EXPECT_EQ(mesh.pointCount(), static_cast<std::uint64_t>(counts.leaves));
    EXPECT_EQ(mesh.lineCount(), 0u);
    // Batches come in drawing order, bark before leaves, and cover the index array.
    ASSERT_EQ(mesh.batches.size(), 3u);
    EXPECT_EQ(mesh.batches[0].kind, MeshBatchKind::BarkTriangles);
    EXPECT_EQ(mesh.batches[1].kind, MeshBatchKind::LeafTriangles);
    EXPECT_EQ(mesh.batches[2].kind, MeshBatchKind::LeafPoints);
    EXPECT_EQ(mesh.batches[2].firstIndex + mesh.batches[2].indexCount, mesh.indices.size());
    EXPECT_FLOAT_EQ(mesh.batches[2].pointSize, 1.4f);
    EXPECT_EQ(mesh.batches[1].texture, lignet::MeshTexture::Leaf);
    // From level of detail 3 on the points come before the disks.
    tree.settings().levelOfDetail = 3;
    const TreeMesh far = meshOf(tree);
    ASSERT_EQ(far.batches.size(), 3u);
    EXPECT_EQ(far.batches[1].kind, MeshBatchKind::LeafPoints);
    EXPECT_EQ(far.batches[2].kind, MeshBatchKind::LeafTriangles);
    EXPECT_GT(mesh.boundsMax.y, 10.0f);
}

TEST(TreeMesh, verticesAreTheQuadricVerticesMovedByTheSegmentAndLeafFrames)
{
    TreeParameters p = twig();
    p.phyllotaxisAngle = 33.0;
    TreeRenderer recorded(p);
    RecordingSink frames;
    recorded.drawTree(frames);
    TreeRenderer tree(p);
    const TreeMesh mesh = meshOf(tree);

    // The cylinder's vertex 2 (slice 1, low) turned from +z onto the branch's +y.
    const math::Mat4 segment = frames.segments.at(0).frame * math::Mat4::rotation(-90, 1, 0, 0);
    std::vector<lignet::QuadricVertex> cylinder;
    const auto &s = frames.segments[0].segment;
    lignet::cylinderVertices(lignet::QuadricSlices(5), s.baseRadius, s.topRadius, s.length, 1, cylinder);
    const std::uint32_t first = mesh.indices[mesh.batch(MeshBatchKind::BarkTriangles)->firstIndex + 1];
    expectNear(mesh.positions[first + 2], segment.transformPoint(cylinder[2].position));
    expectNear(mesh.normals[first + 2], segment.transformDirection(cylinder[2].normal));

    // Each leaf point sits at its leaf frame's origin with the disk's last texture coordinate and
    // the frame's own +z as normal (the raw normal (0, 0, 1) the disk left).
    const lignet::MeshBatch &points = *mesh.batch(MeshBatchKind::LeafPoints);
    for (std::uint32_t i = 0; i < points.indexCount; ++i) {
        const std::uint32_t v = mesh.indices[points.firstIndex + i];
        const math::Mat4 &leaf = frames.leaves.at(i).frame;
        expectNear(mesh.positions[v], leaf.translationPart());
        expectNear(mesh.normals[v], leaf.column(2));
        EXPECT_FLOAT_EQ(mesh.texCoords[v][0], 0.5f);
        EXPECT_FLOAT_EQ(mesh.texCoords[v][1], 1.0f);
        EXPECT_EQ(mesh.colours[v], (std::array<float, 4>{0.5f, 0.5f, 0.5f, 0.8f}));
    }
}

TEST(TreeMesh, coloursFollowTheBranchColouringAndWireframe)
{
    TreeRenderer tree;
    tree.settings().colourByOrders = true;
    TreeMesh mesh = meshOf(tree);
    RecordingSink recorded;
    TreeRenderer reference;
    reference.settings().colourByOrders = true;
    reference.drawTree(recorded);
    // Each segment's 30 indices (10 triangles) point at vertices of the colour set for its branch.
    const lignet::MeshBatch &bark = *mesh.batch(MeshBatchKind::BarkTriangles);
    ASSERT_EQ(bark.indexCount, 30 * recorded.segments.size());
    for (std::size_t i = 0; i < recorded.segments.size(); i += 97) {
        const auto &c = recorded.segments[i].colour;
        const std::uint32_t vertex = mesh.indices[bark.firstIndex + 30 * i + 1];
        EXPECT_EQ(mesh.colours[vertex], (std::array<float, 4>{c[0], c[1], c[2], 1.0f})) << i;
    }

    TreeRenderer wire(twig());
    wire.settings().wireframe = true;
    mesh = meshOf(wire);
    ASSERT_EQ(mesh.batches.size(), 1u);
    EXPECT_FALSE(mesh.batches[0].textured);
    EXPECT_FALSE(mesh.batches[0].blended);
    EXPECT_EQ(mesh.colours.front(), (std::array<float, 4>{0, 0, 0, 1})); // prism
    EXPECT_EQ(mesh.colours.back(), (std::array<float, 4>{1, 1, 1, 1}));  // leaf outline
}

TEST(TreeMesh, linesFromLevelSixCarryBarkCoordinatesAndTheInheritedNormal)
{
    TreeParameters p = twig();
    p.displayLeaves = false;
    TreeRenderer tree(p);
    tree.settings().levelOfDetail = 7;
    const TreeMesh mesh = meshOf(tree);
    ASSERT_EQ(mesh.vertexCount(), 2u);
    expectNear(mesh.positions[1], {0.0f, static_cast<float>(p.trunkHeight), 0.0f}, 1e-4f);
    EXPECT_EQ(mesh.texCoords[0], (std::array<float, 2>{0, 0}));
    EXPECT_EQ(mesh.texCoords[1], (std::array<float, 2>{1, 0}));
    expectNear(mesh.normals[0], {0, 0, 1});
}

TEST(TreeMesh, placementMovesAndScalesEveryVertexAndKeepsNormalsUnit)
{
    TreeRenderer tree(twig());
    const TreeMesh plain = meshOf(tree);
    lignet::TreeMeshSink sink;
    math::Mat4 placement = math::Mat4::translation(10, 20, 30);
    placement = placement * math::Mat4::fromColumnMajor(
                                std::array<float, 16>{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1}.data());
    sink.setPlacement(placement);
    TreeRenderer placedTree(twig());
    placedTree.drawTree(sink);
    placedTree.drawTree(sink); // two plants in one mesh
    TreeMesh placed;
    sink.finish(placed);
    ASSERT_EQ(placed.vertexCount(), 2 * plain.vertexCount());
    EXPECT_EQ(placed.triangleCount(), 2 * plain.triangleCount());
    for (std::size_t i = 0; i < plain.vertexCount(); i += 7) {
        expectNear(placed.positions[i], plain.positions[i] * 2.0f + Vector3f{10, 20, 30}, 1e-4f);
        EXPECT_NEAR(placed.normals[i].length(), plain.normals[i].length(), 1e-5f);
    }
    // finish starts afresh.
    sink.finish(placed);
    EXPECT_TRUE(placed.empty());
    EXPECT_EQ(placed.vertexCount(), 0u);
}
