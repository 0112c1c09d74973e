// verdalis-cli simulate: runs the ecosystem simulation headless and prints the program's per-step
// timing line.

#include "cli/command.h"
#include "cli/terrainresources.h"

#include "ecosystem/simulation/autosave.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/speciestable.h"
#include "io/atomicfilewriter.h"

#include <charconv>
#include <chrono>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Rewrites one line on a terminal with the step reached, at most a few times a second and only
// once the run has lasted long enough for a user to wonder.
class Progress {
public:
    Progress(int steps, bool enabled) : steps_(steps), enabled_(enabled), start_(Clock::now()), last_(start_)
    {
    }

    void update(int done)
    {
        if (!enabled_)
            return;
        const auto now = Clock::now();
        if (now - start_ < std::chrono::seconds(2) || now - last_ < std::chrono::milliseconds(200))
            return;
        last_ = now;
        shown_ = true;
        std::cerr << "\rstep " << done << " of " << steps_ << std::flush;
    }
    void finish()
    {
        if (shown_)
            std::cerr << "\r" << std::string(40, ' ') << "\r" << std::flush;
    }

private:
    using Clock = std::chrono::steady_clock;
    int steps_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_;
    Clock::time_point last_;
};

std::string statsHeader(const ecosystem::EcosystemSimulation &simulation)
{
    std::string header = "step";
    for (const ecosystem::Species &s : simulation.species())
        header += "\t" + ecosystem::speciesName(s.index);
    return header + "\n";
}

std::string statsRow(const ecosystem::EcosystemSimulation &simulation)
{
    std::string row = std::to_string(simulation.step());
    for (const int count : simulation.livingCounts())
        row += "\t" + std::to_string(count);
    return row + "\n";
}

int run(const cli::Arguments &args)
{
    const auto usage = [](const std::string &message) { return cli::badUsage("simulate", message); };

    if (!args.has("--steps"))
        return usage("--steps is missing: give the number of steps to run");
    const auto steps = cli::parseInt(args.value("--steps").value_or(""));
    if (!steps || *steps < 0)
        return usage("--steps needs a whole number of steps, 0 or more");

    std::optional<ecosystem::SeedVector> seeds;
    if (const auto text = args.value("--seeds")) {
        seeds = cli::parseIntegerList<unsigned long long>(*text);
        if (!seeds || seeds->size() != ecosystem::SeedVectorSize)
            return usage("--seeds needs 13 unsigned whole numbers separated by commas");
    }

    ecosystem::AutoSave autosave;
    if (const auto text = args.value("--autosave")) {
        const auto interval = cli::parseInt(*text);
        if (!interval || *interval < 1)
            return usage("--autosave needs a number of steps, 1 or more");
        autosave.setInterval(*interval);
    }

    std::optional<std::vector<long long>> area;
    if (const auto text = args.value("--plant-area")) {
        area = cli::parseIntegerList<long long>(*text);
        if (!area || area->size() != 4)
            return usage("--plant-area needs MINX,MAXX,MINY,MAXY");
        for (const long long v : *area)
            if (v < 0 || v >= ecosystem::TerrainModel::GridSize)
                return usage("--plant-area limits must lie in 0 to " +
                             std::to_string(ecosystem::TerrainModel::GridSize - 1));
    }

    ecosystem::TerrainModel terrain;
    const std::string dem = args.value("--dem").value_or(cli::DefaultDem);
    if (const int status = cli::loadTerrain(terrain, dem, ecosystem::TerrainModel::MapUpdate::Defer))
        return status;

    ecosystem::EcosystemSimulation simulation;
    simulation.attachTerrain(terrain);

    std::string stats;
    if (const auto file = args.value("--load")) {
        // A file holds the five species, so the simulation is set up first, as after a first step.
        simulation.initialise();
        std::ostringstream errors;
        if (!simulation.load(*file, std::cout, errors))
            return cli::fail(cli::ExitBadInput, errors.str());
        stats = statsRow(simulation);
    }
    // Options given on the command line override what a loaded file set.
    if (area) {
        terrain.setLupaMinX(static_cast<int>((*area)[0]));
        terrain.setLupaMaxX(static_cast<int>((*area)[1]));
        terrain.setLupaMinY(static_cast<int>((*area)[2]));
        terrain.setLupaMaxY(static_cast<int>((*area)[3]));
    }
    if (seeds)
        simulation.setSeeds(*seeds);

    // The log lines already show progress when they go to the terminal.
    Progress progress(*steps, ::isatty(STDERR_FILENO) == 1 && ::isatty(STDOUT_FILENO) != 1);
    bool autosaveFailed = false;
    for (int i = 0; i < *steps; ++i) {
        simulation.simulateStep();
        std::cout << simulation.statistics().logLine() << '\n';
        stats += statsRow(simulation);
        std::ostringstream errors;
        if (!autosave.update(simulation, std::cout, errors)) {
            cli::report(errors.str());
            autosaveFailed = true;
        }
        progress.update(i + 1);
    }
    progress.finish();
    std::cout.flush();

    int status = autosaveFailed ? cli::ExitBadInput : cli::ExitOk;
    if (const auto file = args.value("--save")) {
        std::ostringstream errors;
        if (!simulation.save(*file, std::cout, errors))
            status = cli::fail(cli::ExitBadInput, errors.str());
    }
    if (const auto file = args.value("--stats")) {
        std::string reason;
        if (!io::AtomicFileWriter::write(*file, statsHeader(simulation) + stats, &reason))
            status = cli::fail(cli::ExitBadInput, reason);
    }
    return status;
}

const bool registered = cli::registerCommand({
    "simulate",
    "",
    "Run the ecosystem simulation and print the timing line of every step",
    "Runs on the built-in terrain unless --dem names another DEM. Every step prints the line the "
    "program prints (\"@step: time(render_all)=... nrPlants=N\") on standard output. With --load the "
    "run continues a saved simulation; --seeds and --plant-area then override what the file set. "
    "--autosave K saves K.sim, 2K.sim, ... in the working directory. --stats writes one row per "
    "step with the living plants of each species.",
    {
        {"--steps", "N", "number of steps to run (required)"},
        {"--dem", "FILE", "DEM file instead of the built-in terrain"},
        {"--seeds", "S0,...,S12", "the thirteen generator states"},
        {"--load", "FILE.sim", "continue from a simulation file"},
        {"--save", "FILE.sim", "save the simulation after the last step"},
        {"--autosave", "K", "save every K steps as <step>.sim"},
        {"--plant-area", "MINX,MAXX,MINY,MAXY", "plant area in grid cells (0 to 99)"},
        {"--stats", "OUT.tsv", "living plants per species and step, tab-separated"},
    },
    0,
    0,
    run,
});

} // namespace
