#pragma once

#include "ecosystem/terrain/terraingeometry.h"

#include <vector>

namespace ecosystem {

// Windiness: wind blows from the row-0 edge; terrain rising steeply within ten rows upwind
// shelters a vertex, fully from 40° on.
class WindinessComputation {
public:
    static constexpr int UpwindSteps = 10;
    static constexpr float ShelterAngle = 0.6981317f; // 40° in radians

    explicit WindinessComputation(const TerrainGeometry &geometry) : geometry_(geometry) {}

    std::vector<float> compute() const;
    float windiness(int column, int row) const;

private:
    const TerrainGeometry &geometry_;
};

} // namespace ecosystem
