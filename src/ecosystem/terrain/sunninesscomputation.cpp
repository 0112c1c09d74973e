#include "ecosystem/terrain/sunninesscomputation.h"

#include "ecosystem/terrain/sunpath.h"

#include <algorithm>
#include <cmath>

namespace ecosystem {

namespace {

// atan is monotonic and accurate to a few units in the last place, far inside this margin, so a
// slope outside [tan e × (1 − m), tan e × (1 + m)] compares with e as its angle would.
constexpr double SlopeMargin = 1e-4;

} // namespace

SunninessComputation::SunninessComputation(const TerrainGeometry &geometry)
    : geometry_(geometry), directions_(SunPath::directions())
{
    for (const auto &d : directions_) {
        const float elevation = std::asin(d.y / d.length());
        elevations_.push_back(elevation);
        const double slope = elevation > 0.0f ? std::tan(static_cast<double>(elevation)) : 0.0;
        surelyBelow_.push_back(static_cast<float>(slope * (1.0 - SlopeMargin)));
        surelyAbove_.push_back(static_cast<float>(slope * (1.0 + SlopeMargin)));
    }
    const int width = geometry.width();
    const int height = geometry.height();
    for (int quarter = 0; quarter < 4; ++quarter) {
        const bool leftwards = quarter & 2;
        const bool upwards = quarter & 1;
        auto &ahead = highestAhead_[quarter];
        ahead.assign(static_cast<std::size_t>(width * height), 0.0f);
        for (int j = 0; j < height; ++j) {
            const int r = upwards ? j : height - 1 - j;
            for (int i = 0; i < width; ++i) {
                const int c = leftwards ? i : width - 1 - i;
                float h = geometry.worldPosition(static_cast<float>(c), static_cast<float>(r)).y;
                const int nextColumn = leftwards ? c - 1 : c + 1;
                const int nextRow = upwards ? r - 1 : r + 1;
                if (nextColumn >= 0 && nextColumn < width)
                    h = std::max(h, ahead[static_cast<std::size_t>(nextColumn + r * width)]);
                if (nextRow >= 0 && nextRow < height)
                    h = std::max(h, ahead[static_cast<std::size_t>(c + nextRow * width)]);
                ahead[static_cast<std::size_t>(c + r * width)] = h;
            }
        }
    }
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
                // An unlit position adds exactly zero whatever its shadow, so its march is skipped.
                if (light == 0.0f)
                    continue;
                sum += light * SunPath::weight(k) * shadowFactor(c, r, k);
            }
            sunniness[i] = sum / static_cast<float>(SunPath::Positions);
        }
    }
    return sunniness;
}

float SunninessComputation::shadowFactor(int column, int row, int sunIndex) const
{
    const auto k = static_cast<std::size_t>(sunIndex);
    const math::Vector3f &sun = directions_[k];
    const float elevation = elevations_[k];
    // A sun straight overhead would march on the spot forever; nothing can stand in its way.
    if (sun.x == 0.0f && sun.z == 0.0f)
        return 1.0f;
    const math::Vector3f origin =
        geometry_.worldPosition(static_cast<float>(column), static_cast<float>(row));
    // Terrain lower than the vertex is seen at angle −1, which shadows only a sun below that.
    const bool lowerShadows = -1.0f > elevation;
    const bool bandUsable = elevation >= 0.0f && !lowerShadows;
    const std::vector<float> &highestAhead = highestAhead_[(sun.x < 0.0f ? 2 : 0) + (sun.z < 0.0f ? 1 : 0)];
    const int width = geometry_.width();
    float x = static_cast<float>(column);
    float y = static_cast<float>(row);
    for (;;) {
        x += sun.x;
        y += sun.z;
        if (!geometry_.contains(x, y))
            return 1.0f;
        const math::Vector3f sample = geometry_.worldPosition(x, y);
        float distance = 0.0f;
        if (bandUsable) {
            distance = TerrainGeometry::horizontalDistance(origin, sample);
            // The march only moves away from the vertex, so once the highest terrain still ahead
            // would be seen below the sun from here, nothing further along can shadow.
            const float ahead =
                highestAhead[static_cast<std::size_t>(static_cast<int>(x) + static_cast<int>(y) * width)];
            if (ahead - origin.y < surelyBelow_[k] * distance)
                return 1.0f;
        }
        if (sample.y < origin.y) {
            if (lowerShadows)
                return ShadowFactor;
            continue;
        }
        if (bandUsable && distance > 0.0f) {
            const float slope = (sample.y - origin.y) / distance;
            if (slope > surelyAbove_[k])
                return ShadowFactor;
            if (slope < surelyBelow_[k])
                continue;
        }
        if (TerrainGeometry::elevationAngle(origin, sample) > elevation)
            return ShadowFactor;
    }
}

} // namespace ecosystem
