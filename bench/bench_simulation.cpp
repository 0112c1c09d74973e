// Ecosystem simulation steps on the built-in terrain with the default seeds.
//
// BM_DefaultRun: 500 steps from a new simulation with the default plant area, the run a user gets
// from "Run simulation"; reports steps per second and the plants at the end.
// BM_StepCost/<side>: steps of a settled simulation on a square plant area <side> cells wide, so
// that the cost per step can be read against the number of plants (counter "plants"); side 6
// settles at roughly 12 000 plants, side 24 at roughly 150 000. "cpu_us_per_plant" divides the
// thread's processor time by the plants, "us_per_plant" the wall-clock time, which on a busy
// machine also counts the time other programs had the processor.

#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<ecosystem::TerrainModel> defaultTerrain()
{
    auto terrain = std::make_unique<ecosystem::TerrainModel>();
    const auto result =
        terrain->loadDemFile(VERDALIS_SOURCE_DIR "/gui/textures/100x100.dmr", ecosystem::HeightImages{},
                             ecosystem::TerrainModel::MapUpdate::Compute);
    if (!result.ok())
        std::abort();
    return terrain;
}

double threadProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_DefaultRun(benchmark::State &state)
{
    const auto steps = static_cast<int>(state.range(0));
    long long plants = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto terrain = defaultTerrain();
        auto simulation = std::make_unique<ecosystem::EcosystemSimulation>();
        simulation->attachTerrain(*terrain);
        state.ResumeTiming();
        for (int i = 0; i < steps; ++i)
            simulation->simulateStep();
        plants = simulation->statistics().nrPlants();
    }
    state.counters["steps_per_second"] = benchmark::Counter(
        static_cast<double>(steps) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["plants"] = static_cast<double>(plants);
}
BENCHMARK(BM_DefaultRun)->Arg(500)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_StepCost(benchmark::State &state)
{
    const auto side = static_cast<int>(state.range(0));
    auto terrain = defaultTerrain();
    const int first = 50 - side / 2;
    terrain->setLupaMinX(first);
    terrain->setLupaMaxX(first + side);
    terrain->setLupaMinY(first);
    terrain->setLupaMaxY(first + side);
    ecosystem::EcosystemSimulation simulation;
    simulation.attachTerrain(*terrain);
    // The population settles within about 150 steps: the long-lived species have matured.
    for (int i = 0; i < 200; ++i)
        simulation.simulateStep();

    double plantSum = 0.0;
    std::chrono::steady_clock::duration spent{};
    double processorSeconds = 0.0;
    for (auto _ : state) {
        const double processorStart = threadProcessorSeconds();
        const auto start = std::chrono::steady_clock::now();
        simulation.simulateStep();
        spent += std::chrono::steady_clock::now() - start;
        processorSeconds += threadProcessorSeconds() - processorStart;
        plantSum += simulation.statistics().nrPlants();
    }
    state.counters["plants"] = plantSum / static_cast<double>(state.iterations());
    state.counters["us_per_plant"] = std::chrono::duration<double, std::micro>(spent).count() / plantSum;
    state.counters["cpu_us_per_plant"] = processorSeconds * 1e6 / plantSum;
}
// With --benchmark_repetitions, the "_min" row adds the least of the repetitions: on a machine shared
// with other programs, the figure they disturbed least.
BENCHMARK(BM_StepCost)
    ->Arg(3)
    ->Arg(6)
    ->Arg(12)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", [](const std::vector<double> &values) {
        return *std::min_element(values.begin(), values.end());
    });

} // namespace
