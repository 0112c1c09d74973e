#pragma once

// Builds DEM texts, test pictures and terrains for the terrain tests.

#include "core/tempfolder.h"
#include "ecosystem/terrain/rgbimage.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace terraintest {

inline std::string defaultDem()
{
    return testsupport::readBytes(VERDALIS_SOURCE_DIR "/gui/textures/100x100.dmr");
}

// One point per line in the default file's coordinates; `height(c, r)` gives the file's z.
inline std::string demText(const std::function<double(int, int)> &height)
{
    std::ostringstream text;
    text.precision(9);
    for (int i = 0; i < 10000; ++i)
        text << 528025 + 25 * (i % 100) << ' ' << 165750 - 25 * (i / 100) << ' ' << height(i % 100, i / 100)
             << '\n';
    return text.str();
}

// A picture of one colour.
inline ecosystem::RgbImage solid(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < width * height; ++i)
        bytes.insert(bytes.end(), {r, g, b});
    return ecosystem::RgbImage(width, height, bytes);
}

// Five plain band colours, easy to tell apart in the texture.
inline ecosystem::HeightImages bandImages()
{
    return {solid(4, 4, 200, 0, 0), solid(4, 4, 0, 200, 0), solid(4, 4, 0, 0, 200),
            solid(4, 4, 100, 100, 100), solid(4, 4, 250, 250, 250)};
}

using MapUpdate = ecosystem::TerrainModel::MapUpdate;

inline ecosystem::DemLoadResult load(ecosystem::TerrainModel &terrain, const std::string &text,
                                     MapUpdate maps = MapUpdate::Compute,
                                     const ecosystem::HeightImages &images = bandImages())
{
    std::istringstream in(text);
    return terrain.loadDem(in, images, maps);
}

// A terrain loaded from DEM text; the maps are computed unless deferred.
inline ecosystem::TerrainModel terrainOf(const std::string &text, MapUpdate maps = MapUpdate::Compute,
                                         const ecosystem::HeightImages &images = bandImages())
{
    ecosystem::TerrainModel terrain;
    const auto result = load(terrain, text, maps, images);
    EXPECT_TRUE(result.ok()) << result.detail;
    return terrain;
}

inline float at(const std::vector<float> &map, int c, int r)
{
    return map[static_cast<std::size_t>(c + r * 100)];
}

} // namespace terraintest
