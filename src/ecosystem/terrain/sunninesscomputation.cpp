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
    : geometry_(geometry)
    , directions_(SunPath::directions())
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
    std::vector<float> rowHighest(static_cast<std::size_t>(height), -HUGE_VALF);
    std::vector<float> columnHighest(static_cast<std::size_t>(width), -HUGE_VALF);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const float h = geometry.worldPosition(static_cast<float>(c), static_cast<float>(r)).y;
            rowHighest[static_cast<std::size_t>(r)] = std::max(rowHighest[static_cast<std::size_t>(r)], h);
            columnHighest[static_cast<std::size_t>(c)] = std::max(columnHighest[static_cast<std::size_t>(c)], h);
        }
    }
    const auto runningMax = [](const std::vector<float> &v, bool backwards) {
        std::vector<float> out(v);
        if (backwards)
            for (std::size_t i = out.size(); i-- > 1;)
                out[i - 1] = std::max(out[i - 1], out[i]);
        else
            for (std::size_t i = 1; i < out.size(); ++i)
                out[i] = std::max(out[i], out[i - 1]);
        return out;
    };
    rowsUpTo_ = runningMax(rowHighest, false);
    rowsFrom_ = runningMax(rowHighest, true);
    columnsUpTo_ = runningMax(columnHighest, false);
    columnsFrom_ = runningMax(columnHighest, true);
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
    const math::Vector3f origin = geometry_.worldPosition(static_cast<float>(column), static_cast<float>(row));
    // Terrain lower than the vertex is seen at angle −1, which shadows only a sun below that.
    const bool lowerShadows = -1.0f > elevation;
    const bool bandUsable = elevation >= 0.0f && !lowerShadows;
    const std::vector<float> &rowsAhead = sun.z >= 0.0f ? rowsFrom_ : rowsUpTo_;
    const std::vector<float> &columnsAhead = sun.x >= 0.0f ? columnsFrom_ : columnsUpTo_;
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
            const float ahead = std::min(rowsAhead[static_cast<std::size_t>(y)], columnsAhead[static_cast<std::size_t>(x)]);
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
