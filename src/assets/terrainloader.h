#pragma once

#include "ecosystem/terrain/demloadresult.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <QString>

#include <optional>
#include <string>

namespace assets {

// Hands DEM text and the height colour pictures to the terrain model, reading them through Qt so
// that the built-in resources (":/gui/...") work like ordinary files.
class TerrainLoader {
public:
    static constexpr const char *DefaultDem = ":/gui/textures/100x100.dmr";

    // The five pictures ":/gui/textures/height1.jpg" ... "height5.jpg". They are compiled in, so
    // a missing one means a broken build: nullopt, with `error` naming the picture.
    static std::optional<ecosystem::HeightImages> heightImages(std::string *error = nullptr);

    // Reads the DEM at `path` (a file or a resource) into the terrain. On failure the terrain is
    // unchanged; message() is the text for the user and `detail` names the file and the cause.
    static ecosystem::DemLoadResult
    load(ecosystem::TerrainModel &terrain, const QString &path,
         ecosystem::TerrainModel::MapUpdate maps = ecosystem::TerrainModel::MapUpdate::Compute);
};

} // namespace assets
