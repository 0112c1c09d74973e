// Feeds bytes to the simulation file reader, on the built-in terrain. A refused file must leave
// the simulation exactly as it was; an accepted one must hold only sound plants, save and read
// back to the same state, and go on for two steps (the second one uses the seed production of
// the loaded plants) without running away.

#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/simulationfile.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "fuzzcheck.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using ecosystem::EcosystemSimulation;
using ecosystem::Plant;
using ecosystem::SimulationFile;
using ecosystem::TerrainModel;
using fuzzcheck::require;

namespace {

std::ostream &discard()
{
    static std::ostream stream(nullptr);
    return stream;
}

// Everything a simulation file sets, plus what it must not touch.
struct State {
    int step = 0;
    std::vector<std::vector<Plant>> plants;
    std::vector<float> budgets;
    std::vector<float> productions;
    ecosystem::SeedVector seeds;
    int area[4] = {};
    std::vector<std::int32_t> plantableCells;
    std::uint32_t idCounter = 0;
    std::size_t statisticsPoints = 0;

    bool operator==(const State &o) const
    {
        return step == o.step && plants == o.plants && budgets == o.budgets && productions == o.productions &&
               seeds == o.seeds && area[0] == o.area[0] && area[1] == o.area[1] && area[2] == o.area[2] &&
               area[3] == o.area[3] && plantableCells == o.plantableCells && idCounter == o.idCounter &&
               statisticsPoints == o.statisticsPoints;
    }
};

State stateOf(const EcosystemSimulation &s, const TerrainModel &t)
{
    State state;
    state.step = s.step();
    for (const auto &species : s.species()) {
        state.plants.push_back(species.plants);
        state.budgets.push_back(species.seedBudget);
        state.productions.push_back(species.seedProduction);
    }
    state.seeds = s.getSeeds();
    state.area[0] = t.lupaMinX();
    state.area[1] = t.lupaMaxX();
    state.area[2] = t.lupaMinY();
    state.area[3] = t.lupaMaxY();
    state.plantableCells = t.plantableCells();
    state.idCounter = s.plantIdCounter();
    state.statisticsPoints =
        s.statistics().livingSeries().empty() ? 0 : s.statistics().livingSeries()[0].size();
    return state;
}

bool finite(float v)
{
    return std::isfinite(v);
}

std::size_t requireSoundPlants(const EcosystemSimulation &s, const TerrainModel &t, const std::string &when)
{
    std::size_t count = 0;
    for (const auto &species : s.species()) {
        for (const Plant &p : species.plants) {
            require(p.cellX >= 0 && p.cellX < t.width() && p.cellY >= 0 && p.cellY < t.height(),
                    when + ": plants lie in the grid");
            require(finite(p.position.x) && finite(p.position.y) && finite(p.position.z) && finite(p.size) &&
                        finite(p.height) && finite(p.strength) && finite(p.slope) && finite(p.moisture) &&
                        finite(p.sunniness) && finite(p.windiness) && finite(p.relativeHeight) &&
                        finite(p.timeOfDeath),
                    when + ": plant values are finite");
            require(p.prodornost >= 0.0f && finite(p.prodornost), when + ": vigour is never negative");
            require(p.age >= 0 && p.size >= 0.0f, when + ": age and size are not negative");
        }
        require(finite(species.seedBudget) && species.seedBudget >= 0.0f, when + ": seed budgets are sound");
        count += species.plants.size();
    }
    return count;
}

struct World {
    TerrainModel terrain;
    EcosystemSimulation simulation;
    std::string knownText;
    std::vector<float> knownProductions;

    World()
    {
        const auto dem = terrain.loadDemFile(VERDALIS_SOURCE_DIR "/gui/textures/100x100.dmr", {},
                                             TerrainModel::MapUpdate::Defer);
        require(dem.ok(), "the built-in terrain loads");
        simulation.attachTerrain(terrain);
        for (int i = 0; i < 12; ++i)
            simulation.simulateStep();
        knownText = SimulationFile::compose(simulation);
        for (const auto &s : simulation.species())
            knownProductions.push_back(s.seedProduction);
    }

    // Back to the state after the set-up steps, but for the plant id counter, which only grows.
    void reset()
    {
        require(SimulationFile::restore(simulation, knownText, "known", discard(), discard()).ok,
                "the known state loads");
        for (std::size_t s = 0; s < knownProductions.size(); ++s)
            simulation.species()[s].seedProduction = knownProductions[s];
        simulation.statistics() = ecosystem::SimulationStatistics();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static World world;
    // A refused input was checked to leave the known state as it was, so only an accepted one
    // needs the reset (each reset costs a grid rebuild, which dominates a run).
    static bool changed = true;
    EcosystemSimulation &sim = world.simulation;
    if (changed)
        world.reset();
    changed = false;
    static State before;
    if (before.plants.empty())
        before = stateOf(sim, world.terrain);
    before.idCounter = sim.plantIdCounter();

    const std::string text(reinterpret_cast<const char *>(data), size);
    const auto outcome = SimulationFile::restore(sim, text, "input", discard(), discard());
    if (!outcome.ok) {
        require(!outcome.message.empty(), "a refused file has a reason");
        require(stateOf(sim, world.terrain) == before, "a refused file leaves the simulation unchanged");
        return 0;
    }
    changed = true;
    const std::size_t loaded = requireSoundPlants(sim, world.terrain, "after the load");
    require(sim.grid().size() == loaded, "every loaded plant is in the grid");

    // Saving and reading back: the file keeps six significant digits, so the first read fixes the
    // values and every later save and read gives exactly the same state.
    const std::string saved = SimulationFile::compose(sim);
    const State first = stateOf(sim, world.terrain);
    require(SimulationFile::restore(sim, saved, "saved", discard(), discard()).ok, "a saved file loads");
    const std::string again = SimulationFile::compose(sim);
    require(again == saved, "reading a saved file gives the same state");
    State second = stateOf(sim, world.terrain);
    require(second.step == first.step && second.seeds == first.seeds &&
                second.plantableCells == first.plantableCells,
            "step, generator states and plant area survive a round trip");
    for (std::size_t s = 0; s < first.plants.size(); ++s)
        require(second.plants[s].size() == first.plants[s].size(), "every plant survives a round trip");

    const int previous = sim.step();
    sim.simulateStep();
    require(sim.step() == previous + 1, "a step advances the step number");
    const std::size_t living = requireSoundPlants(sim, world.terrain, "after a step");
    // The loaded budgets and the seed production from before the load decide this step's seeds.
    require(living <= 500 + 20 * loaded, "a step after a load adds a bounded number of plants");
    // A step owes each species seedRate × seedProduction seeds; a plant's strength is at most
    // about one, so the next step cannot grow the forest by more than a few seeds per plant.
    double owed = 0.0;
    for (const auto &species : sim.species())
        owed += static_cast<double>(species.seedProduction) * species.seedRate + species.seedBudget;
    require(owed <= 100.0 + 20.0 * static_cast<double>(living),
            "the next step owes a bounded number of seeds");
    return 0;
}
