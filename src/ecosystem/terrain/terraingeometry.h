#pragma once

#include "math/vector3f.h"

#include <cmath>
#include <vector>

namespace ecosystem {

// World positions of (possibly fractional) grid points and elevation angles between them, as the
// shadow and wind analyses see the terrain: a fractional point takes the height of the vertex of
// its cell.
class TerrainGeometry {
public:
    TerrainGeometry(const std::vector<math::Vector3f> &vertices, int width, int height, float extentX,
                    float extentZ)
        : vertices_(vertices), width_(width), height_(height), extentX_(extentX), extentZ_(extentZ)
    {
    }

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(float x, float y) const
    {
        // Written so that a NaN coordinate counts as outside.
        return x >= 0.0f && x < static_cast<float>(width_) && y >= 0.0f && y < static_cast<float>(height_);
    }

    // The caller keeps (x, y) inside the grid.
    math::Vector3f worldPosition(float x, float y) const
    {
        const int column = static_cast<int>(x);
        const int row = static_cast<int>(y);
        const float h = vertices_[static_cast<std::size_t>(column + row * width_)].y;
        return {x * extentX_ / static_cast<float>(width_), h, y * extentZ_ / static_cast<float>(height_)};
    }

    // Angle in radians above the horizontal at which `to` is seen from `from`; −1 when `to` is lower.
    static float elevationAngle(const math::Vector3f &from, const math::Vector3f &to)
    {
        if (to.y < from.y)
            return -1.0f;
        const float rise = to.y - from.y;
        const float distance = horizontalDistance(from, to);
        // Straight above (never reached by the marches, which always move sideways).
        if (!(distance > 0.0f))
            return rise > 0.0f ? std::atan(1.0f) * 2.0f : 0.0f;
        return std::atan(rise / distance);
    }

    static float horizontalDistance(const math::Vector3f &from, const math::Vector3f &to)
    {
        math::Vector3f flat = to - from;
        flat.y = 0.0f;
        return flat.length();
    }

private:
    const std::vector<math::Vector3f> &vertices_;
    int width_;
    int height_;
    float extentX_;
    float extentZ_;
};

} // namespace ecosystem
