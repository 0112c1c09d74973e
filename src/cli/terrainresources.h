#pragma once

#include "ecosystem/terrain/rgbimage.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <QImage>
#include <QString>

#include <optional>
#include <string>

namespace cli {

// Hands the terrain core what it cannot read itself: DEM text from files or the compiled-in
// bundle, and the five height colour pictures.
class TerrainResources {
public:
    static constexpr const char *DefaultDem = ":/gui/textures/100x100.dmr";

    // The height pictures ":/gui/textures/height1.jpg" … "height5.jpg"; nullopt with `error` set
    // when one cannot be read.
    static std::optional<ecosystem::HeightImages> heightImages(std::string &error);

    // Loads a DEM (a file or a ":/" resource) into the terrain. Returns the exit status and prints
    // the one-line error itself; on failure the terrain is unchanged.
    static int loadTerrain(ecosystem::TerrainModel &terrain, const std::string &demPath,
                           ecosystem::TerrainModel::MapUpdate maps);

    static ecosystem::RgbImage toRgbImage(const QImage &image);
    static QImage toQImage(const ecosystem::RgbImage &image);

    // Replaces `path` with `bytes` only once all of them are written.
    static bool writeFile(const std::string &path, const QByteArray &bytes, std::string &error);
};

} // namespace cli
