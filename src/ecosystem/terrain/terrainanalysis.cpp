// computeTerrainMaps: runs the five map computations on a terrain in their fixed order.

#include "ecosystem/terrain/moisturecomputation.h"
#include "ecosystem/terrain/normalcomputation.h"
#include "ecosystem/terrain/slopecomputation.h"
#include "ecosystem/terrain/sunninesscomputation.h"
#include "ecosystem/terrain/terraingeometry.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "ecosystem/terrain/windinesscomputation.h"

namespace ecosystem {

void computeTerrainMaps(TerrainModel &terrain)
{
    terrain.rebuildPlantableCells();

    const auto &vertices = terrain.vertices();
    const int width = terrain.width();
    const int height = terrain.height();
    const TerrainGeometry geometry(vertices, width, height, terrain.extent().x, terrain.extent().z);

    TerrainMaps maps;
    maps.normals = NormalComputation::compute(vertices, width, height);
    maps.slope = SlopeComputation::compute(maps.normals);
    maps.moisture = MoistureComputation(vertices, width, height)
                        .compute(maps.slope, terrain.heightRange(), terrain.baseLevel());
    maps.sunniness = SunninessComputation(geometry).compute(maps.normals);
    maps.windiness = WindinessComputation(geometry).compute();
    terrain.setMaps(std::move(maps));
}

} // namespace ecosystem
