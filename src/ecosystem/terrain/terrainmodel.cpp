#include "ecosystem/terrain/terrainmodel.h"

#include "ecosystem/terrain/demreader.h"
#include "ecosystem/terrain/sunpath.h"

#include <fstream>
#include <utility>

namespace ecosystem {

TerrainModel::TerrainModel() : heightTexture_(TextureSize, TextureSize), sunDirections_(SunPath::directions())
{
    const auto n = static_cast<std::size_t>(vertexCount());
    vertices_.resize(n);
    for (int r = 0; r < height_; ++r)
        for (int c = 0; c < width_; ++c)
            vertices_[static_cast<std::size_t>(index(c, r))] =
                math::Vector3f(static_cast<float>(c) * 25.0f, 0.0f, static_cast<float>(r) * 25.0f);
    readerVertices_ = vertices_;
    maps_ = TerrainMaps::zero(vertexCount());
    rebuildPlantableCells();
}

DemLoadResult TerrainModel::loadDem(std::istream &dem, const HeightImages &heightImages, MapUpdate maps)
{
    const DemReader reader(width_, height_);
    DemData data;
    DemLoadResult result = reader.readDem(dem, data);
    if (!result.ok())
        return result;

    heightTexture_ = reader.buildHeightTexture(data, heightImages);
    bounds_ = data.bounds;
    heightRange_ = data.heightRange;
    readerVertices_ = std::move(data.readerVertices);
    vertices_ = readerVertices_;
    maps_ = TerrainMaps::zero(vertexCount());
    analysed_ = false;
    rebuildPlantableCells();
    if (maps == MapUpdate::Compute)
        computeTerrainMaps(*this);
    return result;
}

DemLoadResult TerrainModel::loadDemFile(const std::string &path, const HeightImages &heightImages,
                                        MapUpdate maps)
{
    std::ifstream in(path);
    if (!in) {
        DemLoadResult result;
        result.status = DemLoadResult::Status::CouldNotOpen;
        result.detail = "cannot open " + path;
        return result;
    }
    return loadDem(in, heightImages, maps);
}

void TerrainModel::setLupaMinX(int value)
{
    lupaMinX_ = value;
    rebuildPlantableCells();
}

void TerrainModel::setLupaMaxX(int value)
{
    lupaMaxX_ = value;
    rebuildPlantableCells();
}

void TerrainModel::setLupaMinY(int value)
{
    lupaMinY_ = value;
    rebuildPlantableCells();
}

void TerrainModel::setLupaMaxY(int value)
{
    lupaMaxY_ = value;
    rebuildPlantableCells();
}

void TerrainModel::setPlantArea(int minX, int maxX, int minY, int maxY)
{
    lupaMinX_ = minX;
    lupaMaxX_ = maxX;
    lupaMinY_ = minY;
    lupaMaxY_ = maxY;
}

void TerrainModel::rebuildPlantableCells()
{
    plantableCells_.clear();
    const float threshold = heightRange_ * baseLevel_;
    // Limits outside the grid are kept as the user set them but only cells of the grid are scanned.
    const int firstRow = std::max(lupaMinY_, 0);
    const int endRow = std::min(lupaMaxY_, height_);
    const int firstColumn = std::max(lupaMinX_, 0);
    const int endColumn = std::min(lupaMaxX_, width_);
    for (int r = firstRow; r < endRow; ++r) {
        for (int c = firstColumn; c < endColumn; ++c) {
            const int i = index(c, r);
            const auto at = [this](int k) { return vertices_[static_cast<std::size_t>(k)].y; };
            if (!(at(i) > threshold))
                continue;
            if (c != width_ - 1 && !(at(i + 1) > threshold))
                continue;
            if (r != height_ - 1 && !(at(i + width_) > threshold))
                continue;
            plantableCells_.push_back(i);
        }
    }
}

bool TerrainModel::setMaps(TerrainMaps maps)
{
    const auto n = static_cast<std::size_t>(vertexCount());
    if (maps.normals.size() != n || maps.slope.size() != n || maps.moisture.size() != n ||
        maps.windiness.size() != n || maps.sunniness.size() != n)
        return false;
    maps_ = std::move(maps);
    analysed_ = true;
    return true;
}

} // namespace ecosystem
