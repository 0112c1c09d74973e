// Standard mesh export: the default tree as .glb and as .obj (with its .mtl and pictures), and the
// forest of a 300-step simulation (built-in terrain, default seeds and plant area, species trees
// from bin/zbirka-4 or the built-in copies) as one .glb. Each figure is the whole export: drawing
// the meshes, encoding the pictures and the file, and the atomic write. Counter `bytes` is the size
// of everything written, `triangles` and `nodes` what the file holds.

#include "assets/speciestrees.h"
#include "assets/terrainloader.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "meshexport/files/exportfiles.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

std::string outputPath(const char *name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

void report(benchmark::State &state, const meshexport::ExportReport &result)
{
    if (!result.ok) {
        state.SkipWithError(result.error.c_str());
        return;
    }
    state.counters["bytes"] = static_cast<double>(result.bytes);
    state.counters["triangles"] = static_cast<double>(result.triangles);
    state.counters["nodes"] = static_cast<double>(result.nodes);
    for (const std::string &file : result.files)
        std::remove(file.c_str());
}

void BM_DefaultTree(benchmark::State &state, const char *file)
{
    const lignet::TreeParameters parameters;
    const std::string out = outputPath(file);
    meshexport::ExportReport result;
    for (auto _ : state)
        result = meshexport::exportTree(parameters, "tree", {}, out);
    report(state, result);
}
BENCHMARK_CAPTURE(BM_DefaultTree, glb, "verdalis-bench-tree.glb")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DefaultTree, obj, "verdalis-bench-tree.obj")->Unit(benchmark::kMillisecond);

// Built once: the 300 steps take far longer than the export.
ecosystem::EcosystemScene &forest()
{
    static std::unique_ptr<ecosystem::EcosystemScene> scene = [] {
        auto s = std::make_unique<ecosystem::EcosystemScene>();
        const auto loaded =
            assets::TerrainLoader::load(s->terrain(), QString::fromLatin1(assets::TerrainLoader::DefaultDem),
                                        ecosystem::TerrainModel::MapUpdate::Compute);
        if (!loaded.ok())
            std::abort();
        for (std::size_t i = 0; i < ecosystem::EcosystemScene::TreeCount; ++i)
            assets::loadSpeciesTree(i, s->tree(i).designedParameters());
        // A saved run of the same 300 steps spares the minutes of simulating them again.
        if (const char *saved = std::getenv("VERDALIS_BENCH_FOREST_SIM")) {
            s->simulation().initialise();
            if (!s->simulation().load(saved))
                std::abort();
            return s;
        }
        for (int step = 0; step < 300; ++step)
            s->simulation().simulateStep();
        return s;
    }();
    return *scene;
}

void BM_Forest300Steps(benchmark::State &state)
{
    ecosystem::EcosystemScene &scene = forest();
    const std::string out = outputPath("verdalis-bench-forest.glb");
    meshexport::ExportReport result;
    for (auto _ : state)
        result = meshexport::exportForest(scene, {}, out);
    report(state, result);
    state.counters["plants"] = static_cast<double>(scene.simulation().statistics().nrPlants());
}
BENCHMARK(BM_Forest300Steps)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
