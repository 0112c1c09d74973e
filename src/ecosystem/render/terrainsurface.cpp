#include "ecosystem/render/terrainsurface.h"

#include <algorithm>
#include <utility>

namespace ecosystem::render {

TerrainSurface::TerrainSurface(int columns, int rows, HeightAt heightAt)
    : nx(columns), nz(rows), height(std::move(heightAt))
{
}

bool TerrainSurface::contains(float x, float z) const
{
    return x >= 0.0f && x <= maxX() && z >= 0.0f && z <= maxZ();
}

float TerrainSurface::heightAt(float x, float z) const
{
    if (nx < 2 || nz < 2)
        return nx > 0 && nz > 0 ? height(0) : 0.0f;
    int i = static_cast<int>(x / Spacing);
    int j = static_cast<int>(z / Spacing);
    // A point on the far edge belongs to the last cell (fraction 1) rather than a cell beyond it.
    i = std::clamp(i, 0, nx - 2);
    j = std::clamp(j, 0, nz - 2);
    const float fx = (x - Spacing * static_cast<float>(i)) / Spacing;
    const float fz = (z - Spacing * static_cast<float>(j)) / Spacing;
    const float h00 = height(i + j * nx);
    const float h10 = height(i + 1 + j * nx);
    const float h01 = height(i + (j + 1) * nx);
    const float h11 = height(i + 1 + (j + 1) * nx);
    if (fx + fz < 1.0f)
        return h00 + (h10 - h00) * fx + (h01 - h00) * fz;
    return h11 + (h10 - h11) * (1.0f - fz) + (h01 - h11) * (1.0f - fx);
}

} // namespace ecosystem::render
