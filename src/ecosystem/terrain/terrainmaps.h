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

} // namespace ecosystem
