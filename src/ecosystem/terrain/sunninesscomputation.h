#pragma once

#include "ecosystem/terrain/terraingeometry.h"
#include "math/vector3f.h"

#include <vector>

namespace ecosystem {

// Sunniness: the weighted mean of direct light over the 21 sun positions of a day, where a vertex
// that sees terrain above the sun's elevation along the sun's direction gets only a fraction.
class SunninessComputation {
public:
    static constexpr float ShadowFactor = 0.2f;

    explicit SunninessComputation(const TerrainGeometry &geometry);

    std::vector<float> compute(const std::vector<math::Vector3f> &normals) const;
    // 1 when the vertex (column, row) sees the sun in direction `sun`, ShadowFactor when not.
    float shadowFactor(int column, int row, int sunIndex) const;

    const std::vector<math::Vector3f> &directions() const { return directions_; }

private:
    const TerrainGeometry &geometry_;
    std::vector<math::Vector3f> directions_;
    std::vector<float> elevations_; // asin(D.y / |D|) per sun position
    // Slopes (rise over distance) safely below and above tan(elevation) per sun position: a sample
    // outside that band is decided without computing its angle.
    std::vector<float> surelyBelow_;
    std::vector<float> surelyAbove_;
    // Highest vertex of the quarter of the grid ahead of each cell, for the four directions a march
    // can take (index: 2 × (x decreasing) + (rows decreasing)). A march moves monotonically along
    // both axes, so it can only meet terrain below this bound.
    std::vector<float> highestAhead_[4];
};

} // namespace ecosystem
