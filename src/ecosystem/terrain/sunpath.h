#pragma once

#include "math/vector3f.h"

#include <vector>

namespace ecosystem {

// The sun's course over one day as seen by the terrain analysis: 21 positions from sunrise in
// the +x direction over noon (44° high, towards −z) to sunset in the −x direction.
class SunPath {
public:
    static constexpr int Positions = 21;

    // Unit directions towards the sun, index 0 sunrise, 10 noon, 20 sunset.
    static std::vector<math::Vector3f> directions();
    // How much position k counts in the day's mean: 1 at sunrise and sunset, 2 at noon.
    static float weight(int k);

    static math::Vector3f sunrise();
    static math::Vector3f sunset();
    static math::Vector3f noon();
};

} // namespace ecosystem
