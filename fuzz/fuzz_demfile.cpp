// Feeds bytes to the DEM reader. The first byte picks a small grid (2 to 17 points a side), the
// rest is the DEM text. The reader and the terrain analysis work on any grid size, so a small grid
// checks every property of an accepted DEM (heights from 0 up to the range, a full colour
// texture, finite maps) hundreds of times faster than the program's 100 × 100 grid. The same text
// also goes to the real terrain, which must refuse anything short of a full grid and then be
// exactly as it was; a text long enough to fill it gets the full checks.

#include "ecosystem/terrain/demreader.h"
#include "ecosystem/terrain/terrainmaps.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

using ecosystem::DemData;
using ecosystem::DemReader;
using ecosystem::TerrainModel;
using fuzzcheck::require;

namespace {

constexpr float Spacing = 25.0f; // metres between neighbouring points, as in the program's grid
constexpr float MaxSunniness = 31.0f / 21.0f;

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

// What a small-grid read starts from: values no DEM read would leave behind.
DemData knownData()
{
    DemData data;
    data.readerVertices = {{1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}};
    data.bounds = {9.0f, 8.0f, 7.0f, 6.0f, 5.0f, 4.0f};
    data.heightRange = 42.0f;
    return data;
}

// Byte for byte: "unchanged" means the very same bits, and memcmp keeps the comparison of the
// full terrain's 10 000-point maps cheap.
template <typename T> bool sameBytes(const std::vector<T> &a, const std::vector<T> &b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

bool sameData(const DemData &a, const DemData &b)
{
    return sameBytes(a.readerVertices, b.readerVertices) && a.bounds == b.bounds &&
           a.heightRange == b.heightRange;
}

bool sameTerrain(const TerrainModel &a, const TerrainModel &b)
{
    return sameBytes(a.vertices(), b.vertices()) && sameBytes(a.readerVertices(), b.readerVertices()) &&
           a.bounds() == b.bounds() && a.heightRange() == b.heightRange() &&
           a.heightTexture() == b.heightTexture() && a.isAnalysed() == b.isAnalysed() &&
           sameBytes(a.normals(), b.normals()) && sameBytes(a.slope(), b.slope()) &&
           sameBytes(a.moisture(), b.moisture()) && sameBytes(a.sunniness(), b.sunniness()) &&
           sameBytes(a.windiness(), b.windiness()) && sameBytes(a.plantableCells(), b.plantableCells());
}

void requireMapWithin(const std::vector<float> &map, std::size_t size, float low, float high,
                      const char *name)
{
    require(map.size() == size, std::string(name) + " map has one value per vertex");
    require(std::all_of(map.begin(), map.end(), [&](float v) { return v >= low && v <= high; }),
            std::string(name) + " map is finite and within its range");
}

// Heights of an accepted grid start at 0 and stay within the height range; x and z lie on the grid.
void requireSoundGrid(const std::vector<math::Vector3f> &vertices, int width, float heightRange)
{
    require(std::isfinite(heightRange) && heightRange >= 0.0f, "the height range is finite");
    float lowest = INFINITY;
    float highest = -INFINITY;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const auto &v = vertices[i];
        const auto column = static_cast<float>(static_cast<int>(i) % width);
        const auto row = static_cast<float>(static_cast<int>(i) / width);
        require(v.x == column * Spacing && v.z == row * Spacing, "vertices lie on the grid");
        require(std::isfinite(v.y), "heights are finite");
        lowest = std::min(lowest, v.y);
        highest = std::max(highest, v.y);
    }
    require(lowest == 0.0f, "heights start at the lowest point");
    require(highest <= heightRange, "no height exceeds the height range");
}

void requireSoundMaps(const ecosystem::TerrainMaps &maps, std::size_t n)
{
    require(maps.normals.size() == n, "one normal per vertex");
    for (const auto &v : maps.normals) {
        require(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z), "normals are finite");
        require(std::fabs(v.length() - 1.0f) < 1e-4f, "normals have unit length");
    }
    requireMapWithin(maps.slope, n, 0.0f, 1.0f, "slope");
    requireMapWithin(maps.moisture, n, -INFINITY, INFINITY, "moisture");
    requireMapWithin(maps.sunniness, n, 0.0f, MaxSunniness * (1.0f + 1e-5f), "sunniness");
    requireMapWithin(maps.windiness, n, 0.0f, 1.0f, "windiness");
}

void checkSmallGrid(int width, int height, const std::string &text, const ecosystem::HeightImages &images)
{
    static const DemData known = knownData();
    const DemReader reader(width, height);
    DemData data = known;
    std::istringstream in(text);
    const auto result = reader.readDem(in, data);
    if (!result.ok()) {
        require(!result.message().empty(), "a refused file has a message");
        require(sameData(data, known), "a refused file leaves the reader's output unchanged");
        return;
    }
    const auto n = static_cast<std::size_t>(width * height);
    require(result.pointsRead == width * height && data.readerVertices.size() == n, "the grid is complete");
    requireSoundGrid(data.readerVertices, width, data.heightRange);
    const auto texture = reader.buildHeightTexture(data, images);
    require(texture.width() == TerrainModel::TextureSize && texture.height() == TerrainModel::TextureSize,
            "the texture is complete");
    const auto maps = ecosystem::analyseTerrainGrid(
        {data.readerVertices, width, height, static_cast<float>(width) * Spacing,
         static_cast<float>(height) * Spacing, data.heightRange, 0.0f});
    requireSoundMaps(maps, n);
}

void requireSoundTerrain(const TerrainModel &t)
{
    require(t.readerVertices() == t.vertices(), "the terrain keeps the grid it read");
    requireSoundGrid(t.vertices(), t.width(), t.heightRange());
    require(t.isAnalysed(), "an accepted terrain is analysed");
    requireSoundMaps(t.maps(), static_cast<std::size_t>(t.vertexCount()));
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

void checkFullTerrain(const std::string &text, const ecosystem::HeightImages &images)
{
    static const TerrainModel known = knownTerrain(images);
    static TerrainModel terrain = known;
    std::istringstream in(text);
    const auto result = terrain.loadDem(in, images);
    if (!result.ok()) {
        require(!result.message().empty(), "a refused file has a message");
        require(sameTerrain(terrain, known), "a refused file leaves the terrain unchanged");
        return;
    }
    require(result.pointsRead == terrain.vertexCount(), "an accepted file gave every point");
    requireSoundTerrain(terrain);
    terrain = known;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const ecosystem::HeightImages images = heightImages();
    if (size == 0)
        return 0;
    const int width = 2 + (data[0] & 15);
    const int height = 2 + (data[0] >> 4);
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    checkSmallGrid(width, height, text, images);
    checkFullTerrain(text, images);
    return 0;
}
