// Feeds bytes to the DEM reader of the terrain. A refused file must leave the terrain exactly as
// it was; an accepted one must give a complete grid whose heights start at 0 and span the height
// range, finite analysis maps of the grid's size and a full colour texture.

#include "ecosystem/terrain/terrainmodel.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

using ecosystem::TerrainModel;
using fuzzcheck::require;

namespace {

// Five small pictures of different sizes and colours, enough to exercise the texture blending.
ecosystem::HeightImages heightImages()
{
    ecosystem::HeightImages images;
    for (int k = 0; k < 5; ++k) {
        const int side = 2 + k;
        ecosystem::RgbImage image(side, side + 1);
        for (int y = 0; y < side + 1; ++y)
            for (int x = 0; x < side; ++x)
                image.setPixel(x, y, static_cast<std::uint8_t>(40 * k + x),
                               static_cast<std::uint8_t>(200 - 30 * k), static_cast<std::uint8_t>(17 * y));
        images[static_cast<std::size_t>(k)] = image;
    }
    return images;
}

// The built-in terrain, analysed: the state every input starts from.
TerrainModel knownTerrain(const ecosystem::HeightImages &images)
{
    TerrainModel terrain;
    const auto result = terrain.loadDemFile(VERDALIS_SOURCE_DIR "/gui/textures/100x100.dmr", images);
    require(result.ok(), "the built-in terrain loads: " + result.detail);
    return terrain;
}

bool sameTerrain(const TerrainModel &a, const TerrainModel &b)
{
    return a.vertices() == b.vertices() && a.readerVertices() == b.readerVertices() &&
           a.bounds() == b.bounds() && a.heightRange() == b.heightRange() &&
           a.heightTexture() == b.heightTexture() && a.isAnalysed() == b.isAnalysed() &&
           a.normals() == b.normals() && a.slope() == b.slope() && a.moisture() == b.moisture() &&
           a.sunniness() == b.sunniness() && a.windiness() == b.windiness() &&
           a.plantableCells() == b.plantableCells();
}

void requireFiniteMap(const std::vector<float> &map, std::size_t size, const char *name)
{
    require(map.size() == size, std::string(name) + " map has one value per vertex");
    require(std::all_of(map.begin(), map.end(), [](float v) { return std::isfinite(v); }),
            std::string(name) + " map is finite");
}

void requireSoundTerrain(const TerrainModel &t)
{
    const auto n = static_cast<std::size_t>(t.vertexCount());
    require(t.vertices().size() == n && t.readerVertices() == t.vertices(), "the grid is complete");
    float lowest = INFINITY;
    float highest = -INFINITY;
    for (const auto &v : t.vertices()) {
        require(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z), "vertices are finite");
        lowest = std::min(lowest, v.y);
        highest = std::max(highest, v.y);
    }
    require(lowest == 0.0f, "heights start at the lowest point");
    require(std::isfinite(t.heightRange()) && t.heightRange() >= 0.0f, "the height range is finite");
    require(highest <= t.heightRange(), "no height exceeds the height range");
    require(t.isAnalysed(), "an accepted terrain is analysed");
    require(t.normals().size() == n, "one normal per vertex");
    for (const auto &v : t.normals()) {
        require(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z), "normals are finite");
        require(std::fabs(v.length() - 1.0f) < 1e-4f, "normals have unit length");
    }
    requireFiniteMap(t.slope(), n, "slope");
    requireFiniteMap(t.moisture(), n, "moisture");
    requireFiniteMap(t.sunniness(), n, "sunniness");
    requireFiniteMap(t.windiness(), n, "windiness");
    require(t.heightTexture().width() == TerrainModel::TextureSize &&
                t.heightTexture().height() == TerrainModel::TextureSize,
            "the texture is complete");
    for (const int cell : t.plantableCells()) {
        const int c = cell % t.width();
        const int r = cell / t.width();
        require(c >= t.lupaMinX() && c < t.lupaMaxX() && r >= t.lupaMinY() && r < t.lupaMaxY(),
                "plantable cells lie in the plant area");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const ecosystem::HeightImages images = heightImages();
    static const TerrainModel known = knownTerrain(images);
    static TerrainModel terrain = known;

    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    const auto result = terrain.loadDem(in, images);
    if (!result.ok()) {
        require(!result.message().empty(), "a refused file has a message");
        require(sameTerrain(terrain, known), "a refused file leaves the terrain unchanged");
        return 0;
    }
    require(result.pointsRead == terrain.vertexCount(), "an accepted file gave every point");
    requireSoundTerrain(terrain);
    terrain = known;
    return 0;
}
