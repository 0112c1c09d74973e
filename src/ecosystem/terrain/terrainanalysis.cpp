// The five map computations of a terrain grid, in their fixed order.

#include "ecosystem/terrain/moisturecomputation.h"
#include "ecosystem/terrain/normalcomputation.h"
#include "ecosystem/terrain/slopecomputation.h"
#include "ecosystem/terrain/sunninesscomputation.h"
#include "ecosystem/terrain/terraingeometry.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "ecosystem/terrain/windinesscomputation.h"

namespace ecosystem {

TerrainMaps analyseTerrainGrid(const TerrainGrid &grid)
{
    const TerrainGeometry geometry(grid.vertices, grid.width, grid.height, grid.extentX, grid.extentZ);
    TerrainMaps maps;
    maps.normals = NormalComputation::compute(grid.vertices, grid.width, grid.height);
    maps.slope = SlopeComputation::compute(maps.normals);
    maps.moisture = MoistureComputation(grid.vertices, grid.width, grid.height)
                        .compute(maps.slope, grid.heightRange, grid.baseLevel);
    maps.sunniness = SunninessComputation(geometry).compute(maps.normals);
    maps.windiness = WindinessComputation(geometry).compute();
    return maps;
}

void computeTerrainMaps(TerrainModel &terrain)
{
    terrain.rebuildPlantableCells();
    terrain.setMaps(
        analyseTerrainGrid({terrain.vertices(), terrain.width(), terrain.height(), terrain.extent().x,
                            terrain.extent().z, terrain.heightRange(), terrain.baseLevel()}));
}

} // namespace ecosystem
