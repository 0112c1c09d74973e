// Soak run of the simulation: many steps on a small plant area (a few thousand plants), an
// autosave every 100 steps, and every autosaved file loaded into a second simulation and compared
// with what was saved. Built with AddressSanitizer and UndefinedBehaviorSanitizer, any report ends
// the run; it also fails when the peak resident memory grows by more than a stated bound between
// step 1000 and the last step.
//
// Usage: verdalis-soak SCRATCH_FOLDER [STEPS]

#include "ecosystem/simulation/autosave.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/simulationfile.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

using ecosystem::EcosystemSimulation;
using ecosystem::SimulationFile;
using ecosystem::TerrainModel;

namespace {

constexpr int AutosaveInterval = 100;
constexpr int FirstMeasuredStep = 1000;
// Plant area of 3 × 3 plantable cells, which settles near 3500 plants.
constexpr int AreaMin = 48;
constexpr int AreaMax = 51;
// Allowed growth of the peak resident memory from step 1000 to the end. The forest has settled by
// step 1000; what may still grow is the statistics (a point per species and step, about a
// megabyte over 10 000 steps) and allocator and sanitizer bookkeeping (the 16 MiB store below).
constexpr long MemoryBoundKiB = 32 * 1024;

[[noreturn]] void fail(const std::string &why)
{
    std::cerr << "soak FAILED: " << why << '\n';
    std::exit(1);
}

// A field of /proc/self/status in KiB (VmHWM is the peak resident set, VmRSS the current one).
long statusKiB(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    fail("no " + field + " in /proc/self/status");
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void loadDefaultTerrain(TerrainModel &terrain)
{
    const auto result = terrain.loadDemFile(VERDALIS_SOURCE_DIR "/gui/textures/100x100.dmr", {},
                                            TerrainModel::MapUpdate::Defer);
    if (!result.ok())
        fail("the built-in terrain did not load: " + result.detail);
}

// The reloaded simulation must hold exactly what the file holds and the same plants, in the same
// order, as the simulation that saved it.
void compareReloaded(const EcosystemSimulation &saved, const EcosystemSimulation &loaded,
                     const std::string &file)
{
    if (SimulationFile::compose(loaded) != readFile(file))
        fail(file + ": the reloaded simulation does not write the file it was loaded from");
    if (loaded.step() != saved.step() || loaded.getSeeds() != saved.getSeeds())
        fail(file + ": step or generator states differ after the reload");
    for (std::size_t s = 0; s < saved.species().size(); ++s) {
        const auto &a = saved.species()[s].plants;
        const auto &b = loaded.species()[s].plants;
        if (a.size() != b.size())
            fail(file + ": plant counts differ after the reload");
        for (std::size_t k = 0; k < a.size(); ++k)
            if (a[k].id != b[k].id || a[k].age != b[k].age || a[k].cellX != b[k].cellX ||
                a[k].cellY != b[k].cellY)
                fail(file + ": plant " + std::to_string(a[k].id) + " differs after the reload");
    }
}

} // namespace

// AddressSanitizer keeps up to 256 MiB of freed blocks to catch late uses; filling that store
// would show as growth that is not the program's. A 16 MiB store still catches use after free
// across a step and keeps the resident memory a measure of the simulation.
extern "C" const char *__asan_default_options()
{
    return "quarantine_size_mb=16";
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::cerr << "usage: verdalis-soak SCRATCH_FOLDER [STEPS]\n";
        return 2;
    }
    const std::string folder = argv[1];
    const int steps = argc > 2 ? std::atoi(argv[2]) : 10000;
    if (steps < FirstMeasuredStep)
        fail("run at least " + std::to_string(FirstMeasuredStep) + " steps");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    const auto start = std::chrono::steady_clock::now();
    TerrainModel terrain;
    loadDefaultTerrain(terrain);
    EcosystemSimulation simulation;
    simulation.attachTerrain(terrain);
    simulation.initialise();
    terrain.setLupaMinX(AreaMin);
    terrain.setLupaMaxX(AreaMax);
    terrain.setLupaMinY(AreaMin);
    terrain.setLupaMaxY(AreaMax);

    TerrainModel checkTerrain;
    loadDefaultTerrain(checkTerrain);
    EcosystemSimulation check;
    check.attachTerrain(checkTerrain);
    check.initialise();

    ecosystem::AutoSave autosave;
    autosave.setInterval(AutosaveInterval);
    autosave.setFolder(folder);
    std::ostream quiet(nullptr);
    long peakAtFirst = 0;
    int files = 0;
    for (int step = 1; step <= steps; ++step) {
        simulation.simulateStep();
        if (!autosave.update(simulation, quiet, std::cerr))
            fail("autosave at step " + std::to_string(step));
        if (autosave.isDue(simulation.step())) {
            const std::string file = autosave.pathFor(simulation.step());
            if (!check.load(file, quiet, std::cerr))
                fail(file + " did not load");
            compareReloaded(simulation, check, file);
            std::filesystem::remove(file);
            ++files;
        }
        if (step == FirstMeasuredStep || step == steps) {
            const long peak = statusKiB("VmHWM");
            std::printf("step %5d: %d plants, peak resident %ld KiB, resident %ld KiB\n", step,
                        simulation.statistics().nrPlants(), peak, statusKiB("VmRSS"));
            std::fflush(stdout);
            if (step == FirstMeasuredStep)
                peakAtFirst = peak;
        }
    }
    const long growth = statusKiB("VmHWM") - peakAtFirst;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d steps, %d autosaves saved and reloaded, peak resident growth from step %d: %ld KiB "
                "(bound %ld KiB), %.1f s\n",
                steps, files, FirstMeasuredStep, growth, MemoryBoundKiB, seconds);
    if (growth > MemoryBoundKiB)
        fail("peak resident memory grew by " + std::to_string(growth) + " KiB");
    return 0;
}
