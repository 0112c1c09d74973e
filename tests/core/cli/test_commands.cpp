// verdalis-cli's simulate, terrain and export commands run as a user would run them, and what the
// program says and leaves behind when something is wrong: every line of it starts with
// "verdalis-cli: ", a failure of the work itself says so in one line, a missing option is called
// missing, the bytes of a binary file reach the terminal only escaped and shortened, and the files
// already there stay as they were. The exported files are read with other programs' code: Assimp
// (the importer many engines use) and the Khronos glTF validator (run with node).

#include "core/clirun.h"
#include "core/terrain/demtext.h"
#include "core/vectornear.h"
#include "lignet/treemeshsink.h"
#include "lignet/treerenderer.h"

#include <QImage>
#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace ecosystem;
using namespace terraintest;
using namespace testsupport;
using CliMessages = CliTest;
using SimulateCommand = CliTest;
using TerrainCommands = CliTest;
using ExportCommands = CliTest;

TEST_F(CliMessages, everyErrorLineStartsWithTheProgramNameAndShowsBinaryBytesEscapedAndShortened)
{
    // A binary file in place of the simulation and the parameter file, a DEM that ends one point
    // early, a parameter file that is not one, and an earlier output. The binary file holds every byte
    // value, escape sequences and line ends among them.
    std::string binary = "\x1b[2J\x9b";
    for (int i = 0; i < 8 * 256; ++i)
        binary += static_cast<char>(255 - i % 256);
    write("binary.sim", binary);
    // Two lines for the texture paths, then binary bytes where the numbers should be.
    write("binary.tree.xml", "bark.png\nleaf.png\n1000\t" + binary);
    const std::string dem = defaultDem();
    write("short.dmr", dem.substr(0, dem.rfind('\n', dem.size() - 2) + 1));
    write("bad.tree.xml", "not a tree");
    write("out.tsv", "keep me\n");
    // Usage errors (a command, argument or option missing, unknown or too many, a bad or refused
    // value, options that exclude each other) end with status 2, failures of the work itself with 1.
    const std::pair<int, std::vector<const char *>> failures[] = {
        {2,
         {"", "tree nonsense", "tree save", "tree save a b", "tree save a --unknown", "tree latex a --locale",
          "tree export tree.gltf", "ecosystem export f.glb --steps 1 --load x.sim", "simulate --steps -3",
          "simulate --steps 1 --seeds 1,2", "simulate --steps 3 --plant-area 1,2,3,400", "terrain maps"}},
        {1,
         {"simulate --steps 1 --load missing.sim", "simulate --steps 1 --load binary.sim",
          "simulate --steps 1 --save no/such/folder/a.sim", "tree save out.tree.xml --from binary.tree.xml",
          "terrain maps out.tsv --dem short.dmr", "terrain maps no/such/folder/out.tsv",
          "tree export tree.obj --from bad.tree.xml", "ecosystem export f.glb --load none.sim"}}};
    for (const auto &[status, list] : failures)
        for (const char *arguments : list) {
            const CliRun run = cli(arguments);
            EXPECT_EQ(run.status, status) << arguments;
            const auto errors = split(run.err);
            EXPECT_FALSE(errors.empty()) << arguments;
            EXPECT_TRUE(status == 2 || errors.size() == 1) << arguments << ": " << run.err;
            for (const std::string &line : errors)
                EXPECT_EQ(line.rfind("verdalis-cli: ", 0), 0u) << arguments << ": " << line;
            // The bytes of a binary file are shown on one line, escaped and shortened.
            if (std::strstr(arguments, " binary.sim") || std::strstr(arguments, " binary.tree.xml")) {
                ASSERT_EQ(errors.size(), 1u) << arguments;
                EXPECT_TRUE(std::ranges::all_of(errors[0], [](char c) { return c >= 0x20 && c <= 0x7e; }))
                    << errors[0]; // printable ASCII only
                EXPECT_LT(errors[0].size(), 240u) << errors[0];
                EXPECT_NE(errors[0].find("\\x1b[2J\\x9b\\xff\\xfe"), std::string::npos) << errors[0];
            }
        }
    // Nothing was written over, and nothing new was left: the inputs and the captured output.
    EXPECT_EQ(read("out.tsv"), "keep me\n");
    EXPECT_EQ(folder.entryCount(), 7u);

    // The first line names the problem; after a usage error the second says where to read more.
    const std::pair<const char *, const char *> firstLines[] = {
        {"simulate", "simulate: --steps is missing: give the number of steps to run"},
        {"simulate --steps 1 --save no/such/folder.sim", "Could not save simulation"},
        {"terrain maps out.tsv --dem short.dmr", "Error reading DEM terrain file."},
        {"tree export tree.gltf", "tree export: OUT must end in .glb or .obj"}};
    for (const auto &[arguments, message] : firstLines)
        EXPECT_EQ(split(cli(arguments).err).at(0).rfind(std::string("verdalis-cli: ") + message, 0), 0u)
            << arguments;
    EXPECT_EQ(split(cli("tree save a --unknown").err),
              (std::vector<std::string>{"verdalis-cli: tree save: unknown option '--unknown'",
                                        "verdalis-cli: see 'verdalis-cli tree save --help'"}));
}

TEST_F(SimulateCommand, printsTheLogLineOfEveryStepAutosavesWritesStatisticsAndIsReproducible)
{
    const auto out = split(succeed("simulate --steps 12 --autosave 5 --save end.sim --stats counts.tsv"));
    ASSERT_EQ(out.size(), 15u);
    const std::regex logLine(
        "@([0-9]+): time\\(render_all\\)=[0-9]+ time\\(simm_all\\)=[0-9]+ \\|\\|  "
        "time\\(render\\)=[0-9]+ time\\(dodaj\\)=[0-9]+ time\\(zrasti\\)=[0-9]+ "
        "time\\(pobij\\)=[0-9]+ time\\(pobij_dominir\\)=[0-9]+ \\|\\|  nrPlants=([0-9]+)");
    const auto stats = split(read("counts.tsv"));
    ASSERT_EQ(stats.size(), 13u);
    EXPECT_EQ(stats[0], "step\tBush\tWeeping willow\tMaple\tPine\tBeech");
    int step = 0;
    for (const auto &line : out) {
        if (line.find("successfouly saved") != std::string::npos)
            continue;
        ++step;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, logLine)) << line;
        EXPECT_EQ(std::stoi(m[1]), step);
        // The statistics row of the step adds up to the printed total.
        std::istringstream row(stats[static_cast<std::size_t>(step)]);
        int rowStep = 0, total = 0;
        row >> rowStep;
        for (int count; row >> count;)
            total += count;
        EXPECT_EQ(std::pair(rowStep, std::to_string(total)), std::pair(step, m[2].str()));
    }
    EXPECT_EQ(std::tuple(out[5], out.back()),
              std::tuple("Simulation @ step 5successfouly saved", "Simulation @ step 12successfouly saved"));
    for (const auto &[file, start] :
         {std::pair{"end.sim", "12\n5\n"}, {"5.sim", "5\n5\n"}, {"10.sim", "10\n5\n"}})
        EXPECT_EQ(read(file).rfind(start, 0), 0u) << file;
    EXPECT_EQ(folder.entryCount(), 6u); // and counts.tsv and the captured output: no 12.sim

    // Runs are reproducible and follow the seeds, the plant area and the environmental deaths.
    const auto withoutTimes = [](const std::string &text) {
        return std::regex_replace(text, std::regex("time\\(([a-z_]+)\\)=[0-9]+"), "time($1)");
    };
    const std::string first = withoutTimes(succeed("simulate --steps 25 --save a.sim"));
    EXPECT_EQ(withoutTimes(succeed("simulate --steps 25 --save b.sim")), first);
    EXPECT_EQ(read("a.sim"), read("b.sim"));

    succeed("simulate --steps 25 --save c.sim --seeds 21,22,23,24,25,26,27,28,29,30,31,32,33 --plant-area "
            "10,20,30,40");
    EXPECT_EQ(split(read("c.sim")).back(), "10\t20\t30\t40");
    EXPECT_NE(read("a.sim"), read("c.sim"));

    // Environmental deaths change the run and end it with their count.
    const auto harsh = split(succeed("simulate --steps 25 --save harsh.sim --environmental-deaths"));
    ASSERT_EQ(harsh.size(), split(first).size() + 1);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(harsh[harsh.size() - 2], m,
                                 std::regex("Deaths by environment: ([0-9]+) of ([0-9]+) deaths")))
        << harsh[harsh.size() - 2];
    EXPECT_GT(std::stoi(m[1]), 0);
    EXPECT_EQ(harsh.back(), "Simulation @ step 25successfouly saved");
}

TEST_F(TerrainCommands, mapsWriteTheCoresMapsOneLinePerVertexAndTextureItsHeightTexture)
{
    // The built-in terrain, whose maps are those of the default DEM file.
    ASSERT_EQ(cli("terrain maps maps.tsv").status, 0);
    const auto lines = split(read("maps.tsv"), '\n');
    ASSERT_EQ(lines.size(), 10001u);
    EXPECT_EQ(lines[0],
              "column\trow\theight\tnormalX\tnormalY\tnormalZ\tslope\tmoisture\tsunniness\twindiness");
    const TerrainModel terrain = terrainOf(defaultDem());
    for (const int i : {0, 4321, 9999}) {
        const auto fields = split(lines[static_cast<std::size_t>(i) + 1], '\t');
        ASSERT_EQ(fields.size(), 10u);
        EXPECT_EQ(fields[0] + ',' + fields[1], std::to_string(i % 100) + ',' + std::to_string(i / 100));
        const auto u = static_cast<std::size_t>(i);
        EXPECT_NEAR(std::stof(fields[2]), terrain.vertices()[u].y, 1e-3f);
        EXPECT_EQ(std::tuple(std::stof(fields[6]), std::stof(fields[7]), std::stof(fields[8]),
                             std::stof(fields[9])),
                  std::tuple(terrain.slope()[u], terrain.moisture()[u], terrain.sunniness()[u],
                             terrain.windiness()[u]));
    }

    // The texture is the core's 128 square height texture.
    ASSERT_EQ(cli("terrain texture texture.png").status, 0);
    const auto rgb = [](const QString &file) {
        const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB888);
        std::vector<std::uint8_t> bytes;
        for (int y = 0; y < picture.height(); ++y)
            bytes.insert(bytes.end(), picture.constScanLine(y),
                         picture.constScanLine(y) + picture.width() * 3);
        return RgbImage(picture.width(), picture.height(), bytes);
    };
    HeightImages images;
    for (std::size_t k = 0; k < 5; ++k)
        images[k] = rgb(QString("%1/gui/textures/height%2.jpg").arg(VERDALIS_SOURCE_DIR).arg(k + 1));
    const RgbImage png = rgb(QString::fromStdString(folder.file("texture.png")));
    EXPECT_EQ(png, terrainOf(defaultDem(), MapUpdate::Defer, images).heightTexture());
}

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
// the test is marked skipped (so call this after the other checks); in CI (CI set), or when node is
// there but the validator is not, the test fails, so the check is never silently lost.
void validateGltf(const std::string &file)
{
    if (std::system("command -v node >/dev/null 2>&1") != 0) {
        if (std::getenv("CI") == nullptr)
            GTEST_SKIP() << "node is not installed here, so the glTF validator cannot run; "
                            "scripts/install-deps.sh installs it";
        FAIL() << "node is missing: run scripts/install-deps.sh";
    }
    const std::string tool = VERDALIS_SOURCE_DIR "/tools/gltf-validator/";
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

} // namespace

// Assimp reads exactly the tree walk's triangles: one mesh for the bark, one for the leaves, the
// tree's bounding box, unit normals and both pictures; every .glb passes the Khronos validator.
TEST_F(ExportCommands, treeExportIsReadByAssimpWithTheWalksCountsAndPassesTheValidator)
{
    // The file, the options, and whether the tree is of high quality and has leaves.
    const std::tuple<const char *, const char *, bool, bool> cases[] = {
        {"tree.glb", "", false, true},
        {"fine.GLB", "--high-quality", true, true},
        {"bare.glb", "--no-leaves", false, false},
        {"tree.obj", "", false, true}};
    std::size_t files = 2; // .stdout and .stderr
    for (const auto &[file, options, highQuality, withLeaves] : cases) {
        SCOPED_TRACE(file);
        // The default tree as the tree walk gives it to the mesh sink at level of detail 0.
        lignet::TreeParameters parameters;
        parameters.displayLeaves = withLeaves;
        lignet::TreeRenderer tree(parameters);
        tree.settings().highQuality = highQuality;
        lignet::TreeMeshSink sink;
        tree.drawTreeAtLevelOfDetail(sink, 0);
        lignet::TreeMesh walk;
        sink.finish(walk);
        using enum lignet::MeshBatchKind;
        const auto [barkTriangles, barkVertices] = trianglesAndVertices(walk, BarkTriangles);
        const auto [leafTriangles, leafVertices] = trianglesAndVertices(walk, LeafTriangles);
        const std::string out = folder.file(file);
        const CliRun run = cli("tree export '" + out + "' " + options);
        ASSERT_EQ(std::tuple(run.status, run.err), std::tuple(0, std::string()));
        const bool obj = out.ends_with(".obj");

        Assimp::Importer importer;
        const aiScene *scene = importer.ReadFile(out, 0);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        EXPECT_EQ(scene->mNumMeshes, withLeaves ? 2u : 1u);
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

        // Every material shows a picture: embedded in the .glb, files beside the .obj (one per
        // material, with the material library).
        unsigned textured = 0;
        for (unsigned m = 0; m < scene->mNumMaterials; ++m) {
            aiString path;
            if (scene->mMaterials[m]->GetTexture(aiTextureType_DIFFUSE, 0, &path) != AI_SUCCESS)
                continue;
            ++textured;
            EXPECT_TRUE(obj || scene->GetEmbeddedTexture(path.C_Str()) != nullptr) << path.C_Str();
        }
        EXPECT_EQ(textured, withLeaves ? 2u : 1u);
        files += obj ? textured + 2 : 1;
        EXPECT_EQ(folder.entryCount(), files);

        if (!obj)
            validateGltf(out);
    }
}

// A saved simulation exported: one node per living plant, translated to the plant, the terrain grid
// as a mesh of its own; the file passes the validator.
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

    // Plant nodes stand on the terrain.
    std::size_t plants = 0, drawn = 0;
    const std::function<void(const aiNode &)> visit = [&](const aiNode &node) {
        if (std::string(node.mName.C_Str()).rfind("plant ", 0) == 0) {
            ++plants;
            drawn += node.mNumMeshes > 0;
            EXPECT_GT(node.mTransformation.a4, 0.0f);
            EXPECT_GT(node.mTransformation.c4, 0.0f);
        }
        for (unsigned i = 0; i < node.mNumChildren; ++i)
            visit(*node.mChildren[i]);
    };
    visit(*scene->mRootNode);
    EXPECT_EQ(plants, living);
    EXPECT_GT(drawn, living / 2);

    validateGltf(out);
}
