#pragma once

#include "ecosystem/terrain/demloadresult.h"
#include "ecosystem/terrain/rgbimage.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <QImage>
#include <QString>

namespace ecosystem::render {

// Hands DEM text and the height colour pictures to the terrain model, reading them through Qt so
// that the built-in resources (":/gui/...") work like ordinary files.
class TerrainLoader {
public:
    static constexpr const char *DefaultDem = ":/gui/textures/100x100.dmr";

    // The five pictures ":/gui/textures/height1.jpg" ... "height5.jpg"; a missing one stays empty.
    static HeightImages heightImages();
    static RgbImage toRgbImage(const QImage &image);

    // Reads the DEM at `path` into the terrain; on failure the terrain is unchanged.
    static DemLoadResult load(TerrainModel &terrain, const QString &path,
                              TerrainModel::MapUpdate maps = TerrainModel::MapUpdate::Compute);
};

} // namespace ecosystem::render
