// Terrain analysis on the default terrain: it runs at start-up and after every DEM load, on the
// GUI thread, so its time is a pause the user sees.

#include "ecosystem/terrain/moisturecomputation.h"
#include "ecosystem/terrain/normalcomputation.h"
#include "ecosystem/terrain/slopecomputation.h"
#include "ecosystem/terrain/sunninesscomputation.h"
#include "ecosystem/terrain/terraingeometry.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "ecosystem/terrain/windinesscomputation.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace {

const ecosystem::TerrainModel &defaultTerrain()
{
    static const ecosystem::TerrainModel terrain = [] {
        ecosystem::TerrainModel t;
        const auto result =
            t.loadDemFile(std::string(VERDALIS_SOURCE_DIR) + "/gui/textures/100x100.dmr",
                          ecosystem::HeightImages{}, ecosystem::TerrainModel::MapUpdate::Defer);
        if (!result.ok()) {
            std::cerr << result.message() << ' ' << result.detail << '\n';
            std::exit(1);
        }
        return t;
    }();
    return terrain;
}

void computeTerrainMapsOnDefaultTerrain(benchmark::State &state)
{
    ecosystem::TerrainModel terrain = defaultTerrain();
    for (auto _ : state) {
        ecosystem::computeTerrainMaps(terrain);
        benchmark::DoNotOptimize(terrain.sunniness().data());
    }
}
BENCHMARK(computeTerrainMapsOnDefaultTerrain)->Unit(benchmark::kMillisecond);

void sunninessOnDefaultTerrain(benchmark::State &state)
{
    const auto &terrain = defaultTerrain();
    const ecosystem::TerrainGeometry geometry(terrain.vertices(), 100, 100, 2500.0f, 2500.0f);
    const auto normals = ecosystem::NormalComputation::compute(terrain.vertices(), 100, 100);
    for (auto _ : state)
        benchmark::DoNotOptimize(ecosystem::SunninessComputation(geometry).compute(normals));
}
BENCHMARK(sunninessOnDefaultTerrain)->Unit(benchmark::kMillisecond);

void windinessOnDefaultTerrain(benchmark::State &state)
{
    const auto &terrain = defaultTerrain();
    const ecosystem::TerrainGeometry geometry(terrain.vertices(), 100, 100, 2500.0f, 2500.0f);
    for (auto _ : state)
        benchmark::DoNotOptimize(ecosystem::WindinessComputation(geometry).compute());
}
BENCHMARK(windinessOnDefaultTerrain)->Unit(benchmark::kMillisecond);

void moistureOnDefaultTerrain(benchmark::State &state)
{
    const auto &terrain = defaultTerrain();
    const auto slope = ecosystem::SlopeComputation::compute(
        ecosystem::NormalComputation::compute(terrain.vertices(), 100, 100));
    for (auto _ : state)
        benchmark::DoNotOptimize(ecosystem::MoistureComputation(terrain.vertices(), 100, 100)
                                     .compute(slope, terrain.heightRange(), terrain.baseLevel()));
}
BENCHMARK(moistureOnDefaultTerrain)->Unit(benchmark::kMillisecond);

} // namespace
