#pragma once

#include "ecosystem/simulation/plant.h"
#include "ecosystem/simulation/toleranceband.h"

#include <cstdint>
#include <vector>

namespace ecosystem {

// One plant species: its fixed growth and competition parameters, its seed bookkeeping and its
// living plants in the order they were created. Names are kept apart (speciestable.h) so that the
// record the step walks over holds only what the step needs.
struct Species {
    std::int32_t index = 0;
    float seedRate = 5.0f;             // seeds per unit of mature strength
    float fullHeight = 1.0f;           // height at size 1, metres; also the crown radius at size 1
    float growCloseProbability = 0.8f; // chance that a seed grows next to a parent
    float sizeAtMaturity = 0.8f;       // relative size reached at maturityAge
    std::int32_t maturityAge = 1;      // steps until the plant adds to seed production
    std::int32_t fullSizeAge = 1;      // steps until size 1; the earliest time of death
    std::int32_t maxAge = 1;           // exclusive upper bound of the time of death
    float dominatedDeathProbability = 0.0f;
    float slopeSensitivity = 0.0f;
    float competitiveness = 0.0f; // weight of a plant's strength against its neighbours
    ToleranceBand heightBand;
    ToleranceBand moistureBand;
    ToleranceBand sunninessBand;
    ToleranceBand windinessBand;
    float seedProduction = 1.0f; // seeds owed in the next add phase, divided by seedRate
    float seedBudget = 0.0f;     // seeds owed but not yet placed
    std::vector<Plant> plants;   // the living plants, in creation order
};

} // namespace ecosystem
