#include "meshexport/forestscene.h"
#include "meshexport/glbwriter.h"
#include "meshexport/objwriter.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>

using namespace meshexport;

namespace {

// A strip of `quads` unit squares along x in the plane y = 0, facing up.
ExportPrimitive strip(int quads, int material)
{
    ExportPrimitive p;
    p.material = material;
    for (int i = 0; i <= quads; ++i)
        for (float z : {0.0f, 1.0f}) {
            p.positions.push_back({static_cast<float>(i), 0.0f, z});
            p.normals.push_back({0.0f, 1.0f, 0.0f});
            p.texCoords.push_back({static_cast<float>(i), z});
        }
    for (std::uint32_t a = 0; a < 2 * static_cast<std::uint32_t>(quads); a += 2)
        p.indices.insert(p.indices.end(), {a, a + 1, a + 2, a + 2, a + 1, a + 3});
    p.updateBounds();
    return p;
}

// A root node translated by (10, 0, 0) holding one mesh, and a child translated by (0, 5, 0)
// holding another.
ExportScene twoMeshScene(int quadsA, int quadsB)
{
    ExportScene scene;
    scene.name = "test";
    const int material = scene.addMaterial({"plain", -1, AlphaMode::Opaque, 0.5f, false});
    const int a = scene.addMesh({"a", {strip(quadsA, material)}});
    const int b = scene.addMesh({"b", {strip(quadsB, material)}});
    const int child = scene.addNode({"child", b, {0.0f, 5.0f, 0.0f}, {}});
    scene.roots.push_back(scene.addNode({"root", a, {10.0f, 0.0f, 0.0f}, {child}}));
    return scene;
}

} // namespace

// Small meshes take 16-bit indices, one of more than 65534 vertices 32-bit ones; Assimp reads
// both with their counts, placements and bounds. A mesh without triangles is refused. Names keep
// UTF-8 and lose broken bytes.
TEST(GlbWriter, writesMeshesOfBothIndexSizesThatAssimpReadsRefusesOneWithoutTrianglesAndKeepsNamesUtf8)
{
    EXPECT_EQ(validUtf8("smreka \xc4\x8d"), "smreka \xc4\x8d");
    EXPECT_EQ(validUtf8("a\xe8z"), "a?z");          // Latin-1 byte
    EXPECT_EQ(validUtf8("\xc0\xaf"), "??");         // overlong form
    EXPECT_EQ(validUtf8("tab\there"), "tab?here");  // control character
    EXPECT_EQ(validUtf8("cut \xe2\x82"), "cut ??"); // truncated sequence

    std::string bytes, reason;
    ASSERT_TRUE(encodeGlb(twoMeshScene(3, 40000), bytes, &reason)) << reason;
    EXPECT_EQ(bytes.size() % 4, 0u);

    Assimp::Importer importer;
    const aiScene *read = importer.ReadFileFromMemory(bytes.data(), bytes.size(), 0, "glb");
    ASSERT_NE(read, nullptr) << importer.GetErrorString();
    ASSERT_EQ(read->mNumMeshes, 2u);
    const aiMesh *a = read->mMeshes[0], *b = read->mMeshes[1];
    if (std::string(a->mName.C_Str()) == "b")
        std::swap(a, b);
    EXPECT_EQ(std::tuple(std::string(a->mName.C_Str()), a->mNumVertices, a->mNumFaces),
              std::tuple("a", 8u, 6u));
    EXPECT_EQ(std::tuple(std::string(b->mName.C_Str()), b->mNumVertices), std::tuple("b", 80002u));
    ASSERT_EQ(b->mNumFaces, 80000u);
    EXPECT_EQ(b->mFaces[79999].mIndices[2], 80001u);
    const aiNode *child = read->mRootNode->FindNode("child");
    ASSERT_NE(child, nullptr);
    EXPECT_FLOAT_EQ(child->mTransformation.b4, 5.0f);
    EXPECT_FLOAT_EQ(child->mParent->mTransformation.a4, 10.0f);

    ExportScene empty = twoMeshScene(1, 1);
    empty.meshes[1].primitives[0].indices.clear();
    std::string none;
    EXPECT_FALSE(encodeGlb(empty, none, &reason));
    EXPECT_EQ(reason, "mesh 'b' has a part without triangles");
    EXPECT_TRUE(none.empty());
}

// Vertices are moved by the translations down to their node and numbered across the file.
TEST(ObjWriter, writesPlacedObjectsAndTheirMaterialLibrary)
{
    ExportScene scene = twoMeshScene(1, 1);
    scene.nodes[static_cast<std::size_t>(scene.roots[0])].name = "with space";
    EXPECT_EQ(objText(scene, "t.mtl"), "# test\n# metres, y up\nmtllib t.mtl\n"
                                       "o with_space\n"
                                       "v 10 0 0\nv 10 0 1\nv 11 0 0\nv 11 0 1\n"
                                       "vt 0 1\nvt 0 0\nvt 1 1\nvt 1 0\n"
                                       "vn 0 1 0\nvn 0 1 0\nvn 0 1 0\nvn 0 1 0\n"
                                       "usemtl plain\nf 1/1/1 2/2/2 3/3/3\nf 3/3/3 2/2/2 4/4/4\n"
                                       "o child\n"
                                       "v 10 5 0\nv 10 5 1\nv 11 5 0\nv 11 5 1\n"
                                       "vt 0 1\nvt 0 0\nvt 1 1\nvt 1 0\n"
                                       "vn 0 1 0\nvn 0 1 0\nvn 0 1 0\nvn 0 1 0\n"
                                       "usemtl plain\nf 5/5/5 6/6/6 7/7/7\nf 7/7/7 6/6/6 8/8/8\n");

    scene.pictures.push_back({"leaf", "png"});
    scene.materials.push_back({"leaf", 0, AlphaMode::Mask, 0.5f, true});
    EXPECT_EQ(
        mtlText(scene, {"t_leaf.png"}),
        "# test\n\nnewmtl plain\nKa 0 0 0\nKd 1 1 1\nKs 0 0 0\nd 1\nillum 1\n"
        "\nnewmtl leaf\nKa 0 0 0\nKd 1 1 1\nKs 0 0 0\nd 1\nillum 1\nmap_Kd t_leaf.png\nmap_d t_leaf.png\n");
}

TEST(ForestScene, plantsGrowToTheNearestStage)
{
    // Size, stages and progress; a size too small to draw gives 0, as before, and no stages the size.
    const std::tuple<float, int, double> cases[] = {{0.3f, 8, 0.25}, {0.32f, 8, 0.375}, {0.05f, 8, 0.0},
                                                    {1.7f, 8, 1.0},  {0.3f, 0, 0.3f},   {2.0f, 0, 1.0}};
    for (const auto &[size, stages, progress] : cases)
        EXPECT_DOUBLE_EQ(growthProgressFor(size, stages), progress) << size << ' ' << stages;
}
