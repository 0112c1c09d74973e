#pragma once

#include "ecosystem/simulation/simulationoutcome.h"

#include <iosfwd>
#include <string>

namespace ecosystem {

class EcosystemSimulation;

// The simulation file (".sim"): tab-separated text with the step, every plant of every species,
// the seed budgets, the thirteen generator states and the plant area.
class SimulationFile {
public:
    // Largest number of plants a file may hold; more than any terrain can carry, small enough that
    // a damaged count cannot exhaust memory.
    static constexpr long long MaxPlants = 10'000'000;
    // Largest step and plant age a file may hold; counting on from there can never overflow.
    static constexpr int MaxSteps = 1'000'000'000;
    // Largest seed budget a file may hold (a running simulation keeps it below 1).
    static constexpr float MaxSeedBudget = 1.0e6f;

    // The file text of the simulation's current state.
    static std::string compose(const EcosystemSimulation &simulation);
    static SimulationOutcome save(const EcosystemSimulation &simulation, const std::string &path,
                                  std::ostream &out, std::ostream &err);
    // Parses text into a complete new state and installs it only when all of it is valid; source
    // names the text in messages.
    static SimulationOutcome restore(EcosystemSimulation &simulation, const std::string &text,
                                     const std::string &source, std::ostream &out, std::ostream &err);
    static SimulationOutcome load(EcosystemSimulation &simulation, const std::string &path, std::ostream &out,
                                  std::ostream &err);
};

} // namespace ecosystem
