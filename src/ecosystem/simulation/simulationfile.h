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
    // Largest seed budget a file may hold: every add phase places seeds until less than one is
    // owed, and six digits may round what is left up to 1. A larger budget would make the next
    // step place that many seeds at once.
    static constexpr float MaxSeedBudget = 1.0f;
    // Largest plant size a file may hold: growth stops at 1, and summing the yearly growth in
    // single precision can overshoot by a few millionths. Size bounds the strength and so the
    // seeds a plant owes each step.
    static constexpr float MaxPlantSize = 1.01f;

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
