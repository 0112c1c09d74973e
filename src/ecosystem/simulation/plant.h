#pragma once

#include "math/vector3f.h"

#include <cstdint>

namespace ecosystem {

// One plant, stored by value in its species' list. Everything here is read or written in every
// step (growth, the kill decision and its environmental tests), so the record is kept to one cache
// line: a large forest's step streams its lists through memory several times, and a record that
// straddles two lines costs a second line on every pass. Hence the narrow species, age and cell
// fields (five species, a 100 × 100 terrain, ages in the hundreds).
struct alignas(64) Plant {
    // Oldest age a plant can reach; it stays there, and files holding an older plant are refused.
    static constexpr std::int16_t MaxAge = 32767;

    std::int8_t species = 0; // index of its species
    bool dominated = false;  // a stronger neighbour overlapped it in the last kill phase
    std::int16_t age = 0;    // steps lived
    std::uint32_t id = 0;    // unique number from the simulation's plant id counter, first 1
    float size = 0.0f;       // relative size 0…1
    float height = 0.0f;     // fullHeight × size, metres; also the crown radius
    std::int16_t cellX = 0;  // grid column of the plant
    std::int16_t cellY = 0;  // grid row of the plant
    math::Vector3f position; // world position, y above the terrain minimum
    float prodornost = 0.0f; // vigour, never negative
    float strength = 0.0f;   // competition strength of the last growth
    float slope = 0.0f;      // terrain samples at the plant's cell
    float moisture = 0.0f;
    float sunniness = 0.0f;
    float windiness = 0.0f;
    float relativeHeight = 0.0f; // terrain height at the plant relative to the terrain's range
    float timeOfDeath = 0.0f;    // the age at which the plant dies (a whole number)

    bool operator==(const Plant &) const = default;
};
static_assert(sizeof(Plant) == 64);

// Age reached the time of death, or vigour fell to 0.1 or less: the plant dies in the next kill
// phase, whatever its neighbours. A comparison with a value that is not a number is false.
inline bool diesOfAgeOrWeakness(const Plant &p)
{
    const float weakVigour = 0.1f;
    return static_cast<float>(p.age) >= p.timeOfDeath || p.prodornost <= weakVigour;
}

} // namespace ecosystem
