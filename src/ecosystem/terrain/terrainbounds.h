#pragma once

namespace ecosystem {

// Extremes of the numbers of a DEM file as written there (x, y, z; z is the height).
// −1 in every field means nothing has been read yet.
struct TerrainBounds {
    float maxX = -1.0f;
    float maxY = -1.0f;
    float maxZ = -1.0f;
    float minX = -1.0f;
    float minY = -1.0f;
    float minZ = -1.0f;

    bool operator==(const TerrainBounds &) const = default;
};

} // namespace ecosystem
