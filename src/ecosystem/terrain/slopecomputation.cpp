#include "ecosystem/terrain/slopecomputation.h"

namespace ecosystem {

std::vector<float> SlopeComputation::compute(const std::vector<math::Vector3f> &normals)
{
    std::vector<float> slope;
    slope.reserve(normals.size());
    for (const auto &n : normals)
        slope.push_back(1.0f - n.y);
    return slope;
}

} // namespace ecosystem
