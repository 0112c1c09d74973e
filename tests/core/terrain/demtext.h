#pragma once

// Builds DEM texts and test pictures for the terrain tests.

#include "ecosystem/terrain/rgbimage.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace terraintest {

inline std::string defaultDemPath()
{
    return std::string(VERDALIS_SOURCE_DIR) + "/gui/textures/100x100.dmr";
}

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One point per line in the default file's coordinates; `height(c, r)` gives the file's z.
inline std::string demText(const std::function<double(int, int)> &height, int points = 10000,
                           const std::string &separator = "\n")
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.precision(9);
    for (int i = 0; i < points; ++i) {
        const int c = i % 100;
        const int r = i / 100;
        text << 528025 + 25 * c << ' ' << 165750 - 25 * r << ' ' << height(c, r) << separator;
    }
    return text.str();
}

// A picture of one colour.
inline ecosystem::RgbImage solid(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    ecosystem::RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, r, g, b);
    return image;
}

// Five plain band colours, easy to tell apart in the texture.
inline ecosystem::HeightImages bandImages()
{
    return {solid(4, 4, 200, 0, 0), solid(4, 4, 0, 200, 0), solid(4, 4, 0, 0, 200),
            solid(4, 4, 100, 100, 100), solid(4, 4, 250, 250, 250)};
}

inline ecosystem::DemLoadResult
load(ecosystem::TerrainModel &terrain, const std::string &text,
     ecosystem::TerrainModel::MapUpdate maps = ecosystem::TerrainModel::MapUpdate::Compute)
{
    std::istringstream in(text);
    return terrain.loadDem(in, bandImages(), maps);
}

} // namespace terraintest
