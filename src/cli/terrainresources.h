#pragma once

#include "ecosystem/terrain/terrainmodel.h"

#include <string>
#include <string_view>

namespace cli {

// The DEM the terrain commands use unless --dem names another.
inline constexpr const char *DefaultDem = ":/gui/textures/100x100.dmr";

// Loads a DEM (a file or a ":/" resource) into the terrain. Returns the exit status and prints the
// one-line error itself; on failure the terrain is unchanged.
int loadTerrain(ecosystem::TerrainModel &terrain, const std::string &demPath,
                ecosystem::TerrainModel::MapUpdate maps);

// Replaces `path` with `bytes` only once all of them are written; returns the exit status and
// prints the error itself.
int writeOutput(const std::string &path, std::string_view bytes);

} // namespace cli
