#pragma once

#include "ecosystem/simulation/deathrules.h"
#include "ecosystem/simulation/phasetimes.h"
#include "ecosystem/simulation/plantgrid.h"
#include "ecosystem/simulation/randomgenerator.h"
#include "ecosystem/simulation/seedvector.h"
#include "ecosystem/simulation/simulationoutcome.h"
#include "ecosystem/simulation/simulationstatistics.h"
#include "ecosystem/simulation/species.h"
#include "math/vector3f.h"

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace ecosystem {

class TerrainModel;

// The yearly step simulation of five plant species on a terrain. Each step adds seedlings
// (dodaj), grows every plant (zrasti) and kills plants of age, weakness or domination (pobij).
// All randomness comes from the thirteen generators held here, so a simulation with the same
// seeds on the same terrain always produces the same plants.
class EcosystemSimulation {
public:
    // No species and no plants, step −1, generators at their default states 1 … 13.
    EcosystemSimulation();
    EcosystemSimulation(const EcosystemSimulation &) = delete;
    EcosystemSimulation &operator=(const EcosystemSimulation &) = delete;

    // Remembers the terrain (which must outlive the simulation) and allocates the plant grid.
    // Called once, before the first step.
    void attachTerrain(TerrainModel &terrain);
    const TerrainModel *terrain() const { return terrain_; }

    // Creates the default species, analyses the terrain again and sets step 0. Done by the first
    // simulateStep; callable earlier so that a simulation file can be loaded without running a
    // step. Does nothing once initialised or without a terrain.
    void initialise();
    // One step: initialises if needed, then the add, grow and kill phases and the statistics.
    // Does nothing without a terrain.
    void simulateStep();

    bool isInitialised() const { return initialised_; }
    int step() const { return step_; }
    const std::vector<Species> &species() const { return species_; }
    // Direct access for set-ups that place plants by hand; the grid follows at the next kill phase.
    std::vector<Species> &species() { return species_; }
    std::vector<int> livingCounts() const;

    // "Environmental deaths", off by default: when on, a plant whose environmental test fires in
    // the kill phase dies of it (counted as a death by environment). Not saved with the simulation.
    void setEnvironmentalDeaths(bool on) { deathRules_.setEnvironmentalDeaths(on); }
    bool environmentalDeaths() const { return deathRules_.environmentalDeaths(); }

    // The phases, public so that they can be driven one at a time.
    void addPhase(Species &species);
    void growPhase();
    void killPhase();

    // Builds a plant of the species at cell (x, y) and point as the add phase does (next id,
    // terrain samples, time of death draw, vigour) without adding it to any list.
    Plant constructPlant(const Species &species, int x, int y, const math::Vector3f &point);
    // The vigour of a plant of the species with those terrain samples, in [0, 1].
    static float prodornost(const Species &species, float slope, float moisture, float sunniness,
                            float windiness, float relativeHeight);

    // Current generator states in seed vector order (not the states the simulation started from).
    SeedVector getSeeds() const;
    // Sets the thirteen states from positions 0 … 12; extra entries are ignored. Fewer than 13
    // entries are refused and nothing changes.
    SimulationOutcome setSeeds(const SeedVector &seeds);

    // Writes the simulation file (through a temporary file, so an existing file survives a failed
    // write) and prints the outcome: the success line on out, an error line on err.
    SimulationOutcome save(const std::string &path, std::ostream &out, std::ostream &err) const;
    SimulationOutcome save(const std::string &path) const;
    // Reads a simulation file completely and checks it before anything changes; a file that cannot
    // be opened or is damaged is refused with a one-line reason on err and leaves the simulation
    // as it was. On success prints the loaded line on out, rebuilds the plant grid and the
    // terrain's plantable cells for the loaded plant area and records a statistics point.
    SimulationOutcome load(const std::string &path, std::ostream &out, std::ostream &err);
    SimulationOutcome load(const std::string &path);

    const SimulationStatistics &statistics() const { return statistics_; }
    SimulationStatistics &statistics() { return statistics_; }
    const PhaseTimes &lastPhaseTimes() const { return lastTimes_; }
    const PlantGrid &grid() const { return grid_; }
    const DeathRules &deathRules() const { return deathRules_; }
    DeathRules &deathRules() { return deathRules_; }
    int neighbourhoodRadius() const { return deathRules_.neighbourhoodRadius(); }
    int largestMaxAge() const { return largestMaxAge_; }
    std::uint32_t plantIdCounter() const { return plantIdCounter_; }

private:
    friend class SimulationFile;

    using Clock = std::chrono::steady_clock;
    int restartPhaseTimer();
    math::Vector3f randomPointInCell(int x, int y);
    // The bound of the time-of-death draw, 0 when the species leaves nothing to draw.
    static DrawBound lifeSpanBound(const Species &species);
    Plant constructPlant(const Species &species, int x, int y, const math::Vector3f &point,
                         const DrawBound &lifeSpan);
    // Ascending, repeats kept: the order in which the parents' seeds are placed.
    void sortParents(std::vector<std::uint32_t> &parents, std::uint32_t plantCount);
    void recordStatistics(const PhaseTimes &times);
    // The grow phase, calling grown(p) for every plant, in list order, once it has grown.
    template <typename Grown> void growPlants(Grown &&grown);
    // The grow phase with the plant grid's rebuild staged on the way, and the kill phase after it.
    void growAndStagePhase();
    void decideDeaths();

    bool initialised_ = false;
    std::int32_t step_ = -1;
    std::vector<Species> species_;
    DeathRules deathRules_;
    PlantGrid grid_;
    TerrainModel *terrain_ = nullptr;
    std::int32_t largestMaxAge_ = 0;
    SimulationStatistics statistics_;
    Clock::time_point phaseStart_;

    // Seeding and time-of-death generators; the death generators live in deathRules_.
    RandomGenerator randomGrowClose{1};
    RandomGenerator randomChooseNearPlant{2};
    RandomGenerator randomChooseNewPlantGrowSide{3};
    RandomGenerator randomPositionOfNewPlantsAnywhere{4};
    RandomGenerator random3dPositionOfNewPlantsI{5};
    RandomGenerator random3dpositionsOfNewPlantsJ{6};
    RandomGenerator randomTimeOfDeath{13};

    std::uint32_t plantIdCounter_ = 0;
    Clock::duration decisionTime_{};
    PhaseTimes lastTimes_;

    // A seed's cell and point, found before the plants are created.
    struct Placement {
        int x, y;
        math::Vector3f point;
    };
    // Working lists of the add phase, kept between steps: a crowded terrain places a million seeds
    // a step, and fresh buffers of that size cost more than filling them.
    std::vector<std::uint32_t> parentScratch_;
    std::vector<std::uint32_t> parentCountScratch_;
    std::vector<Placement> placementScratch_;
};

} // namespace ecosystem
