#pragma once

#include "math/vector3f.h"

#include <vector>

namespace ecosystem {

// Inclination from the normals: 0 on flat ground, 1 on a vertical face.
class SlopeComputation {
public:
    static std::vector<float> compute(const std::vector<math::Vector3f> &normals);
};

} // namespace ecosystem
