#include "ecosystem/terrain/terrainmaps.h"

namespace ecosystem {

TerrainMaps TerrainMaps::zero(int vertexCount)
{
    const auto n = static_cast<std::size_t>(vertexCount > 0 ? vertexCount : 0);
    TerrainMaps maps;
    maps.normals.assign(n, math::Vector3f());
    maps.slope.assign(n, 0.0f);
    maps.moisture.assign(n, 0.0f);
    maps.windiness.assign(n, 0.0f);
    maps.sunniness.assign(n, 0.0f);
    return maps;
}

} // namespace ecosystem
