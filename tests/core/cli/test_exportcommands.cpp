// The exported files are read with other programs' code: Assimp (the importer many engines use)
// and the Khronos glTF validator (run with node).

#include "core/clirun.h"
#include "core/vectornear.h"
#include "lignet/treemeshsink.h"
#include "lignet/treerenderer.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

using namespace testsupport;

namespace {

struct AssimpSummary {
    unsigned meshes = 0, vertices = 0, faces = 0, nonTriangles = 0, nonUnitNormals = 0;
    aiVector3D boundsMin{1e30f, 1e30f, 1e30f};
    aiVector3D boundsMax{-1e30f, -1e30f, -1e30f};
};

// The meshes whose name contains `part` ("" for all).
AssimpSummary summarise(const aiScene &scene, const std::string &part = "")
{
    AssimpSummary s;
    for (const aiMesh *mesh : std::vector(scene.mMeshes, scene.mMeshes + scene.mNumMeshes)) {
        if (std::string(mesh->mName.C_Str()).find(part) == std::string::npos)
            continue;
        ++s.meshes;
        s.vertices += mesh->mNumVertices;
        s.faces += mesh->mNumFaces;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f)
            s.nonTriangles += mesh->mFaces[f].mNumIndices != 3;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            for (unsigned k = 0; k < 3; ++k) {
                s.boundsMin[k] = std::min(s.boundsMin[k], mesh->mVertices[v][k]);
                s.boundsMax[k] = std::max(s.boundsMax[k], mesh->mVertices[v][k]);
            }
            if (mesh->mNormals == nullptr || std::abs(mesh->mNormals[v].Length() - 1.0f) > 1e-4f)
                ++s.nonUnitNormals;
        }
    }
    return s;
}

// Runs the Khronos validator on the file, expecting no errors. Where node is missing outside CI
// the test is skipped (so call this last); in CI (CI set), or when node is there but the validator
// is not, the test fails, so the check is never silently lost.
void validateGltf(const std::string &file)
{
    if (std::system("command -v node >/dev/null 2>&1") != 0) {
        if (std::getenv("CI") == nullptr)
            GTEST_SKIP() << "node is not installed here, so the glTF validator cannot run; "
                            "scripts/install-deps.sh installs it";
        FAIL() << "node is missing: run scripts/install-deps.sh";
    }
    const std::string tool = VERDALIS_SOURCE_DIR "/tools/gltf-validator/";
    if (std::system(("test -d '" + tool + "node_modules/gltf-validator'").c_str()) != 0)
        FAIL() << "the glTF validator is not installed (" << tool << "): run scripts/install-deps.sh";
    const std::string out = file + ".validation.json";
    const int raw =
        std::system(("node '" + tool + "validate.js' '" + file + "' >'" + out + "' 2>&1").c_str());
    const std::string report = readBytes(out);
    std::remove(out.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0) << report;
    EXPECT_NE(report.find("\"numErrors\": 0,"), std::string::npos) << report;
}

// The triangles of a batch and the vertices its indices use; none without the batch.
std::pair<std::uint64_t, std::size_t> trianglesAndVertices(const lignet::TreeMesh &mesh,
                                                           lignet::MeshBatchKind kind)
{
    const lignet::MeshBatch *batch = mesh.batch(kind);
    if (!batch)
        return {0, 0};
    const auto first = mesh.indices.begin() + batch->firstIndex;
    std::set<std::uint32_t> used(first, first + batch->indexCount);
    std::erase_if(used, [&](std::uint32_t v) { return mesh.isPointCorner(v); });
    return {batch->primitiveCount(), used.size()};
}

struct TreeExportCase {
    const char *name, *file, *options;
    bool highQuality, leaves;
};

class TreeExportCommand : public ::testing::TestWithParam<TreeExportCase> {};

} // namespace

// Assimp reads exactly the tree walk's triangles: one mesh for the bark, one for the leaves, the
// tree's bounding box, unit normals and both pictures; every .glb passes the Khronos validator.
TEST_P(TreeExportCommand, isReadByAssimpWithTheWalksCountsAndPassesTheValidator)
{
    const TreeExportCase &c = GetParam();
    // The default tree as the tree walk gives it to the mesh sink at level of detail 0.
    lignet::TreeParameters parameters;
    parameters.displayLeaves = c.leaves;
    lignet::TreeRenderer tree(parameters);
    tree.settings().highQuality = c.highQuality;
    lignet::TreeMeshSink sink;
    tree.drawTreeAtLevelOfDetail(sink, 0);
    lignet::TreeMesh walk;
    sink.finish(walk);
    using enum lignet::MeshBatchKind;
    const auto [barkTriangles, barkVertices] = trianglesAndVertices(walk, BarkTriangles);
    const auto [leafTriangles, leafVertices] = trianglesAndVertices(walk, LeafTriangles);
    TempFolder folder;
    const std::string out = folder.file(c.file);
    const CliRun run = runCli(folder.path(), "tree export '" + out + "' " + c.options);
    ASSERT_EQ(std::tuple(run.status, run.err), std::tuple(0, std::string()));
    const bool obj = out.ends_with(".obj");

    Assimp::Importer importer;
    const aiScene *scene = importer.ReadFile(out, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    EXPECT_EQ(scene->mNumMeshes, c.leaves ? 2u : 1u);
    const AssimpSummary bark = summarise(*scene, "bark");
    const AssimpSummary leaves = summarise(*scene, "lea");
    EXPECT_EQ(std::tuple(bark.meshes, bark.faces, leaves.faces),
              std::tuple(1u, barkTriangles, leafTriangles));
    // OBJ readers give every face corner a vertex of its own.
    EXPECT_EQ(std::tuple(bark.vertices, leaves.vertices),
              obj ? std::tuple(3 * barkTriangles, 3 * leafTriangles)
                  : std::tuple(barkVertices, leafVertices));
    const AssimpSummary all = summarise(*scene);
    EXPECT_EQ(std::tuple(all.nonTriangles, all.nonUnitNormals), std::tuple(0u, 0u));
    expectNear({all.boundsMin.x, all.boundsMin.y, all.boundsMin.z}, walk.boundsMin, 1e-4f);
    expectNear({all.boundsMax.x, all.boundsMax.y, all.boundsMax.z}, walk.boundsMax, 1e-4f);
    const std::string said = "wrote " + std::to_string(barkTriangles + leafTriangles) + " triangles in " +
                             std::to_string(c.leaves ? 2 : 1) + " meshes to " + out + " (";
    EXPECT_EQ(run.out.rfind(said, 0), 0u) << run.out;

    // Every material shows a picture: embedded in the .glb, files beside the .obj.
    unsigned textured = 0;
    for (unsigned m = 0; m < scene->mNumMaterials; ++m) {
        aiString path;
        if (scene->mMaterials[m]->GetTexture(aiTextureType_DIFFUSE, 0, &path) != AI_SUCCESS)
            continue;
        ++textured;
        if (obj)
            EXPECT_TRUE(std::filesystem::exists(folder.path() / path.C_Str())) << path.C_Str();
        else
            EXPECT_NE(scene->GetEmbeddedTexture(path.C_Str()), nullptr) << path.C_Str();
    }
    EXPECT_EQ(textured, c.leaves ? 2u : 1u);
    EXPECT_EQ(folder.entryCount(), obj ? (c.leaves ? 4u : 3u) + 2u : 1u + 2u); // with .stdout, .stderr

    if (!obj)
        validateGltf(out);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, TreeExportCommand,
    ::testing::Values(TreeExportCase{"glb", "tree.glb", "", false, true},
                      TreeExportCase{"glbHighQuality", "fine.GLB", "--high-quality", true, true},
                      TreeExportCase{"glbNoLeaves", "bare.glb", "--no-leaves", false, false},
                      TreeExportCase{"obj", "tree.obj", "", false, true},
                      TreeExportCase{"objNoLeaves", "bare.obj", "--no-leaves", false, false}),
    [](const ::testing::TestParamInfo<TreeExportCase> &test) { return test.param.name; });

using ExportCommands = CliTest;

// A saved simulation exported: one node per living plant under its species, translated to the
// plant, plants of one species and size sharing one mesh, the terrain grid as a mesh of its own;
// the file passes the validator.
TEST_F(ExportCommands, ecosystemExportWritesEveryLivingPlantAsANodeOverTheTerrain)
{
    // The living plants after the last step, from its log line (before the line of the save).
    const std::string last = split(succeed("simulate --steps 12 --save s.sim")).at(11);
    ASSERT_EQ(last.rfind("@12:", 0), 0u) << last;
    const std::size_t living = std::stoul(last.substr(last.rfind("nrPlants=") + 9));
    ASSERT_GT(living, 20u);

    const std::string out = folder.file("forest.glb");
    EXPECT_EQ(succeed("ecosystem export forest.glb --load s.sim").rfind("wrote ", 0), 0u);

    Assimp::Importer importer;
    const aiScene *scene = importer.ReadFile(out, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    const aiNode *terrain = scene->mRootNode->FindNode("terrain");
    ASSERT_NE(terrain, nullptr);
    ASSERT_EQ(terrain->mNumMeshes, 1u);
    const aiMesh &grid = *scene->mMeshes[terrain->mMeshes[0]];
    EXPECT_EQ(std::tuple(grid.mNumVertices, grid.mNumFaces), std::tuple(100u * 100u, 2u * 99u * 99u));
    EXPECT_NEAR(grid.mVertices[99 * 100 + 99].x, 99 * 25.0f, 1e-3f);
    EXPECT_NEAR(grid.mVertices[99 * 100 + 99].z, 99 * 25.0f, 1e-3f);
    EXPECT_EQ(summarise(*scene).nonUnitNormals, 0u);

    // Plant nodes stand on the terrain and share the meshes of their species and size.
    std::size_t plants = 0, drawn = 0;
    std::map<std::string, std::set<unsigned>> meshesBySpecies;
    const std::function<void(const aiNode &)> visit = [&](const aiNode &node) {
        if (std::string(node.mName.C_Str()).rfind("plant ", 0) == 0) {
            ++plants;
            drawn += node.mNumMeshes > 0;
            meshesBySpecies[node.mParent->mName.C_Str()].insert(node.mMeshes, node.mMeshes + node.mNumMeshes);
            EXPECT_GT(node.mTransformation.a4, 0.0f);
            EXPECT_GT(node.mTransformation.c4, 0.0f);
        }
        for (unsigned i = 0; i < node.mNumChildren; ++i)
            visit(*node.mChildren[i]);
    };
    visit(*scene->mRootNode);
    EXPECT_EQ(plants, living);
    EXPECT_GT(drawn, living / 2);
    for (const auto &[species, meshes] : meshesBySpecies)
        for (const unsigned m : meshes)
            EXPECT_EQ(std::string(scene->mMeshes[m]->mName.C_Str()).rfind(species + " ", 0), 0u) << species;

    validateGltf(out);
}
