#pragma once

#include "math/vector3f.h"

#include <array>
#include <utility>
#include <vector>

namespace ecosystem {
class TerrainModel;
}

namespace ecosystem::render {

// Compass markings of the terrain: at the middle of each edge a pole with a letter N, S, E or W
// on top, drawn in lines and turned to face the terrain's centre. The DEM's rows run from north
// to south and its columns from west to east, so north is the row-0 edge (z = 0) and east the
// last column (largest x).
class LandMarkings {
public:
    struct Marking {
        char letter = 'N';
        math::Vector3f foot;    // on the terrain edge
        math::Vector3f outward; // unit, horizontal, away from the terrain centre
    };

    static constexpr float PoleHeight = 200.0f;
    static constexpr float LetterSize = 160.0f;

    explicit LandMarkings(const TerrainModel &terrain);

    // The four markings for the terrain's current grid, in the order N, S, E, W.
    std::array<Marking, 4> markings() const;
    // Line segments of a letter in a unit box (x to the right, y up), pairs of (x, y) end points.
    static const std::vector<std::array<float, 4>> &strokes(char letter);

    void draw() const;

private:
    const TerrainModel &terrain;
};

} // namespace ecosystem::render
