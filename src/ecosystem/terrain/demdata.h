#pragma once

#include "ecosystem/terrain/terrainbounds.h"
#include "math/vector3f.h"

#include <vector>

namespace ecosystem {

// What a complete DEM read yields, before the terrain takes it over.
struct DemData {
    std::vector<math::Vector3f> readerVertices; // heights already relative to minZ
    TerrainBounds bounds;
    float heightRange = 0.0f; // maxZ − minZ
};

} // namespace ecosystem
