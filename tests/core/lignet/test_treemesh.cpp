#include "core/vectornear.h"
#include "lignet/countingtreesink.h"
#include "lignet/quadricgeometry.h"
#include "lignet/treemeshcache.h"
#include "lignet/treemeshsink.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using lignet::MeshBatchKind;
using lignet::TreeMesh;
using lignet::TreeRenderer;
using math::Vector3f;

namespace {

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

} // namespace

TEST(QuadricGeometry, cylinderStripsFollowGluSlicesStacksNormalsAndTextureCoordinatesAndInvalidOnesAreEmpty)
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
    EXPECT_EQ(std::tuple(v[2].s, v[2].t, v[3].t), std::tuple(0.75f, 0.0f, 0.5f));
    // The strip closes on slice 0 with s = 0; the second stack starts at height 2.
    expectNear(v[8].position, v[0].position);
    EXPECT_EQ(std::pair(v[8].s, v[0].s), std::pair(0.0f, 1.0f));
    expectNear(v[10].position, {0.0f, 1.5f, 2.0f});
    EXPECT_FLOAT_EQ(v[11].t, 1.0f);

    // Invalid cylinders and disks replace the vertices with nothing.
    const std::tuple<int, double, double, double, int> invalid[] = {{5, -0.1, 1, 1, 1}, {5, 1, -0.1, 1, 1},
                                                                    {5, 1, 1, -1, 1},   {5, 0, 0, 0, 1},
                                                                    {5, 1, 1, 1, 0},    {1, 1, 1, 1, 1}};
    for (const auto &[slices, base, top, height, stacks] : invalid) {
        lignet::cylinderVertices(lignet::QuadricSlices(slices), base, top, height, stacks, v);
        EXPECT_TRUE(v.empty()) << slices << " " << base << " " << top << " " << height << " " << stacks;
    }
    lignet::diskFanVertices(lignet::QuadricSlices(4), 0.0, v);
    EXPECT_TRUE(v.empty());
    // A cone tapering to a point is still drawn.
    lignet::cylinderVertices(lignet::QuadricSlices(5), 1, 0, 1, 1, v);
    EXPECT_EQ(v.size(), 12u);
    // The leaf disk's vertices are compared with gluDisk's in the render tests (TreeMeshFeedback).
}

TEST(TreeMesh, twigCountsFollowLevelOfDetailQualityAndWireframe)
{
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
        TreeRenderer tree(twig(lignet::SPIRAL, 5));
        tree.settings().highQuality = highQuality;
        tree.settings().wireframe = wireframe;
        tree.settings().levelOfDetail = lod;
        const TreeMesh mesh = meshOf(tree);
        EXPECT_EQ((Counts{countOf(mesh, BarkTriangles), countOf(mesh, BarkLines), countOf(mesh, WireLines),
                          countOf(mesh, LeafTriangles), countOf(mesh, LeafPoints)}),
                  expected);
        const std::size_t n = mesh.vertexCount();
        EXPECT_EQ(std::tuple(mesh.normals.size(), mesh.texCoords.size(), mesh.colours.size()),
                  std::tuple(n, n, n));
        for (std::uint32_t index : mesh.indices)
            ASSERT_LT(index, n);
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
    using enum MeshBatchKind;
    ASSERT_EQ(mesh.batches.size(), 3u);
    EXPECT_EQ(std::tuple(mesh.batches[0].kind, mesh.batches[1].kind, mesh.batches[2].kind),
              std::tuple(BarkTriangles, LeafTriangles, LeafPoints));
    EXPECT_EQ(mesh.batches[2].firstIndex + mesh.batches[2].indexCount, mesh.indices.size());
    EXPECT_FLOAT_EQ(mesh.batches[2].pointSize, 1.4f);
    EXPECT_EQ(mesh.batches[1].texture, lignet::MeshTexture::Leaf);
    // Each leaf's point follows its disk (four triangles) in the leaf batch as a triangle of three
    // copies of the point's vertex, corners 1 to 3; only those vertices are corners.
    const lignet::MeshBatch &disks = mesh.batches[1], &points = mesh.batches[2];
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
    EXPECT_GT(mesh.boundsMax.y, 10.0f);
}

TEST(TreeMesh, placementMovesAndScalesEveryVertexAndKeepsNormalsUnit)
{
    TreeRenderer tree(twig(lignet::SPIRAL, 5));
    const TreeMesh plain = meshOf(tree);
    lignet::TreeMeshSink sink;
    math::Mat4 placement = math::Mat4::translation(10, 20, 30);
    placement = placement * math::Mat4::fromColumnMajor(
                                std::array<float, 16>{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1}.data());
    sink.setPlacement(placement);
    TreeRenderer placedTree(twig(lignet::SPIRAL, 5));
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
    EXPECT_TRUE(placed.empty() && placed.vertexCount() == 0u);
}
