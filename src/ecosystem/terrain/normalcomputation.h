#pragma once

#include "math/vector3f.h"

#include <vector>

namespace ecosystem {

// Surface normals: each vertex takes the normal of the triangle it spans with its right and lower
// neighbours. The last column and row have no such triangle and copy the nearest computed normal.
class NormalComputation {
public:
    static std::vector<math::Vector3f> compute(const std::vector<math::Vector3f> &vertices, int width,
                                               int height);
};

} // namespace ecosystem
