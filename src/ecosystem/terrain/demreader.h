#pragma once

#include "ecosystem/terrain/demdata.h"
#include "ecosystem/terrain/demloadresult.h"
#include "ecosystem/terrain/rgbimage.h"

#include <istream>

namespace ecosystem {

// Reads DEM text into a grid of width × height points and paints the terrain colour texture.
// It works on its own DemData so that a failed read cannot touch the terrain.
class DemReader {
public:
    // Largest height range a DEM may span. Real terrain spans at most a few kilometres (in
    // millimetres, a few million); beyond about 1e17 the terrain analysis overflows single
    // precision and its normals and maps stop being numbers.
    static constexpr float MaxHeightRange = 1.0e9f;

    DemReader(int width, int height) : width_(width), height_(height) {}

    // Reads width × height points of three numbers each, row-major; numbers after the last point
    // are ignored. Heights spanning more than MaxHeightRange are refused. Only a complete read
    // fills `out`; any failure leaves it unchanged.
    DemLoadResult readDem(std::istream &in, DemData &out) const;

    // The 128 × 128 texture: every pixel takes the height of the vertex under it and blends the
    // height picture of its band with the neighbouring bands; the pictures tile 15 times.
    RgbImage buildHeightTexture(const DemData &dem, const HeightImages &images) const;

private:
    int width_;
    int height_;
};

} // namespace ecosystem
