#include "ecosystem/terrain/sunninesscomputation.h"

#include "ecosystem/terrain/sunpath.h"

#include <algorithm>
#include <cmath>

namespace ecosystem {

SunninessComputation::SunninessComputation(const TerrainGeometry &geometry)
    : geometry_(geometry)
    , directions_(SunPath::directions())
{
    for (const auto &d : directions_)
        elevations_.push_back(std::asin(d.y / d.length()));
}

std::vector<float> SunninessComputation::compute(const std::vector<math::Vector3f> &normals) const
{
    const int width = geometry_.width();
    const int height = geometry_.height();
    std::vector<float> sunniness(normals.size(), 0.0f);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const std::size_t i = static_cast<std::size_t>(c + r * width);
            float sum = 0.0f;
            for (int k = 0; k < SunPath::Positions; ++k) {
                const float light = std::max(0.0f, normals[i].dot(directions_[static_cast<std::size_t>(k)]));
                sum += light * SunPath::weight(k) * shadowFactor(c, r, k);
            }
            sunniness[i] = sum / static_cast<float>(SunPath::Positions);
        }
    }
    return sunniness;
}

float SunninessComputation::shadowFactor(int column, int row, int sunIndex) const
{
    const math::Vector3f &sun = directions_[static_cast<std::size_t>(sunIndex)];
    const float elevation = elevations_[static_cast<std::size_t>(sunIndex)];
    const math::Vector3f origin = geometry_.worldPosition(static_cast<float>(column), static_cast<float>(row));
    float x = static_cast<float>(column);
    float y = static_cast<float>(row);
    for (;;) {
        x += sun.x;
        y += sun.z;
        if (!geometry_.contains(x, y))
            return 1.0f;
        const float angle = TerrainGeometry::elevationAngle(origin, geometry_.worldPosition(x, y));
        if (angle > elevation)
            return ShadowFactor;
    }
}

} // namespace ecosystem
