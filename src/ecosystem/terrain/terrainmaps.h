#pragma once

#include "math/vector3f.h"

#include <vector>

namespace ecosystem {

// The five per-vertex analysis maps of a terrain, index c + r × width.
struct TerrainMaps {
    std::vector<math::Vector3f> normals; // unit surface normals
    std::vector<float> slope;            // 0 flat … 1 vertical
    std::vector<float> moisture;         // about 0 … 1
    std::vector<float> windiness;        // 0 sheltered … 1 exposed
    std::vector<float> sunniness;        // 0 … 31/21

    // All maps zero (normals zero vectors) for a grid of the given vertex count.
    static TerrainMaps zero(int vertexCount);
};

// A grid of width × height vertices, row-major, heights above its lowest point, spanning extentX
// along a row and extentZ across rows.
struct TerrainGrid {
    const std::vector<math::Vector3f> &vertices;
    int width;
    int height;
    float extentX;
    float extentZ;
    float heightRange;
    float baseLevel; // fraction of heightRange below which the land is water
};

// Normals, slope, moisture, sunniness and windiness of a grid of any size, in that fixed order.
TerrainMaps analyseTerrainGrid(const TerrainGrid &grid);

} // namespace ecosystem
