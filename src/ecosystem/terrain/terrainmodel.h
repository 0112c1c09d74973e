#pragma once

#include "ecosystem/terrain/demloadresult.h"
#include "ecosystem/terrain/rgbimage.h"
#include "ecosystem/terrain/terrainbounds.h"
#include "ecosystem/terrain/terrainmaps.h"
#include "math/vector3f.h"

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace ecosystem {

// The DEM grid the ecosystem lives on: 100 × 100 vertices 25 m apart, x along a row (column
// index), z across rows (row index), y the height above the lowest point of the DEM. It also holds
// the plant area, the cells plants may be seeded in, the analysis maps and a 128 × 128 colour
// texture derived from the heights.
//
// The core reads no resources itself: the caller hands in the DEM text and the five height colour
// pictures. A load that fails leaves everything as it was. At start the owner loads the built-in
// DEM with MapUpdate::Defer and runs computeTerrainMaps when it sets itself up; a DEM the user
// loads later is analysed at once.
class TerrainModel {
public:
    static constexpr int GridSize = 100;
    static constexpr int TextureSize = 128;

    enum class MapUpdate {
        Compute, // analyse the new terrain at once (a DEM loaded by the user)
        Defer,   // leave the maps zero and the terrain not analysed (start-up)
    };

    // A flat grid at height 0: no DEM read yet, black texture, maps zero, not analysed.
    TerrainModel();

    // Reads a DEM (row-major, three numbers per point, only the third one is a height), builds the
    // height texture from the five pictures and, with MapUpdate::Compute, computes the maps. On
    // failure vertices, bounds, heightRange, maps, texture and the analysed flag are unchanged.
    // The plant area never changes; the plantable cells are rebuilt on success.
    DemLoadResult loadDem(std::istream &dem, const HeightImages &heightImages,
                          MapUpdate maps = MapUpdate::Compute);
    // Same from a file in the file system; a file that cannot be opened gives CouldNotOpen.
    DemLoadResult loadDemFile(const std::string &path, const HeightImages &heightImages,
                              MapUpdate maps = MapUpdate::Compute);

    // Grid
    int width() const { return width_; }
    int height() const { return height_; }
    int vertexCount() const { return width_ * height_; }
    int index(int column, int row) const { return column + row * width_; }
    const std::vector<math::Vector3f> &vertices() const { return vertices_; }
    const math::Vector3f &vertex(int column, int row) const
    {
        return vertices_[static_cast<std::size_t>(index(column, row))];
    }
    // The reader's copy of the grid: the same as vertices() after every successful read.
    const std::vector<math::Vector3f> &readerVertices() const { return readerVertices_; }
    const TerrainBounds &bounds() const { return bounds_; }
    // maxZ − minZ of the last DEM read; 500 before any read.
    float heightRange() const { return heightRange_; }
    // World size: 2500 m along x, 1000 m height, 2500 m along z.
    const math::Vector3f &extent() const { return extent_; }
    // Distance between neighbouring vertices along x (25 m).
    float cellSize() const { return extent_.x / static_cast<float>(width_); }
    float baseLevel() const { return baseLevel_; }

    // Plant area: cell limits for seeding, inclusive for isSeedCell. Each setter rebuilds the
    // plantable cells.
    int lupaMinX() const { return lupaMinX_; }
    int lupaMaxX() const { return lupaMaxX_; }
    int lupaMinY() const { return lupaMinY_; }
    int lupaMaxY() const { return lupaMaxY_; }
    void setLupaMinX(int value);
    void setLupaMaxX(int value);
    void setLupaMinY(int value);
    void setLupaMaxY(int value);
    // Sets all four limits without rebuilding the plantable cells (a simulation file restores them
    // this way).
    void setPlantArea(int minX, int maxX, int minY, int maxY);

    // Cell indices c + r × width, in scan order, where plants may be seeded anywhere.
    const std::vector<std::int32_t> &plantableCells() const { return plantableCells_; }
    void rebuildPlantableCells();
    // Inside the plant area (limits inclusive) and the cell's vertex above the base level. Cells
    // outside the grid are never seed cells. In line: the add phase asks for every seed.
    bool isSeedCell(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return false;
        return lupaMinX_ <= x && x <= lupaMaxX_ && lupaMinY_ <= y && y <= lupaMaxY_ &&
               isAboveBase(vertex(x, y));
    }
    bool isAboveBase(const math::Vector3f &point) const { return point.y / heightRange_ > baseLevel_; }

    // Analysis maps, index c + r × width
    bool isAnalysed() const { return analysed_; }
    const TerrainMaps &maps() const { return maps_; }
    const std::vector<math::Vector3f> &normals() const { return maps_.normals; }
    const std::vector<float> &slope() const { return maps_.slope; }
    const std::vector<float> &moisture() const { return maps_.moisture; }
    const std::vector<float> &windiness() const { return maps_.windiness; }
    const std::vector<float> &sunniness() const { return maps_.sunniness; }
    // The 21 unit sun directions of the sunniness analysis, sunrise to sunset (for sun markers).
    const std::vector<math::Vector3f> &sunDirections() const { return sunDirections_; }
    // Installs freshly computed maps and marks the terrain analysed; maps of the wrong size are
    // refused (returns false, nothing changes).
    bool setMaps(TerrainMaps maps);

    // 128 × 128 RGB colour texture, row 0 at the top.
    const RgbImage &heightTexture() const { return heightTexture_; }

private:
    TerrainBounds bounds_;
    float heightRange_ = 500.0f;
    math::Vector3f extent_{2500.0f, 1000.0f, 2500.0f};
    std::int32_t width_ = GridSize;
    std::int32_t height_ = GridSize;
    float baseLevel_ = 0.0f;
    std::vector<math::Vector3f> vertices_;
    std::vector<std::int32_t> plantableCells_;
    std::vector<math::Vector3f> readerVertices_;
    TerrainMaps maps_;
    RgbImage heightTexture_;
    std::int32_t lupaMinX_ = GridSize / 4;
    std::int32_t lupaMaxX_ = 3 * GridSize / 4;
    std::int32_t lupaMinY_ = GridSize / 4;
    std::int32_t lupaMaxY_ = 3 * GridSize / 4;
    std::vector<math::Vector3f> sunDirections_;
    bool analysed_ = false;
};

// Computes normals, slope, moisture, sunniness and windiness of the terrain (rebuilding its
// plantable cells first) and marks it analysed.
void computeTerrainMaps(TerrainModel &terrain);

} // namespace ecosystem
