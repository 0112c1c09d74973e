#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace ecosystem {

// The states of the thirteen simulation generators, in the fixed order of GeneratorPosition.
using SeedVector = std::vector<unsigned long long>;

// Position of each generator in a SeedVector and in the simulation file.
enum GeneratorPosition : std::size_t {
    GrowClose = 0,
    ChooseNearPlant = 1,
    ChooseNewPlantGrowSide = 2,
    PositionOfNewPlantsAnywhere = 3,
    PositionInCellI = 4,
    PositionInCellJ = 5,
    DeathBecauseOfBeingDominated = 6,
    DeathBecauseOfBadHeight = 7,
    DeathBecauseOfBadMoisture = 8,
    DeathBecauseOfBadSunniness = 9,
    DeathBecauseOfBadWindiness = 10,
    DeathBecauseOfBadSlope = 11,
    TimeOfDeath = 12,
};

inline constexpr std::size_t SeedVectorSize = 13;

// Generator names by position; the seeds editor uses them as object names of its line edits.
inline constexpr std::array<std::string_view, SeedVectorSize> GeneratorNames = {
    "randomGrowClose",
    "randomChooseNearPlant",
    "randomChooseNewPlantGrowSide",
    "randomPositionOfNewPlantsAnywhere",
    "random3dPositionOfNewPlantsI",
    "random3dpositionsOfNewPlantsJ",
    "randomDeathBecauseOfBeingDominated",
    "randomDeathBecauseOfBadHeight",
    "randomDeathBecauseOfBadMoisture",
    "randomDeathBecauseOfBadSunniness",
    "randomDeathBecauseOfBadWindiness",
    "randomDeathBecauseOfBadSlope",
    "randomTimeOfDeath",
};

// The states a new simulation starts from: position k holds k + 1.
inline SeedVector defaultSeeds()
{
    SeedVector seeds(SeedVectorSize);
    for (std::size_t k = 0; k < SeedVectorSize; ++k)
        seeds[k] = k + 1;
    return seeds;
}

} // namespace ecosystem
