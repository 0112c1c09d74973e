#pragma once

#include <functional>

namespace ecosystem::render {

// The ground under a point of a regular height grid (spacing 25 units, vertex (a, b) at index
// a + b * nx), as the fly camera follows it: each cell is split along the diagonal from
// (i + 1, j) to (i, j + 1) and the height is interpolated on the triangle holding the point.
class TerrainSurface {
public:
    static constexpr float Spacing = 25.0f;

    using HeightAt = std::function<float(int index)>;

    TerrainSurface(int nx, int nz, HeightAt heightAt);

    int columns() const { return nx; }
    int rows() const { return nz; }
    float maxX() const { return static_cast<float>(nx - 1) * Spacing; }
    float maxZ() const { return static_cast<float>(nz - 1) * Spacing; }
    bool contains(float x, float z) const;

    // Height at (x, z), which must lie inside the grid. On the far edges (x = maxX or z = maxZ)
    // the cell index is pulled back by one, so the lookup never leaves the grid and the height is
    // still the exact edge height.
    float heightAt(float x, float z) const;

private:
    int nx;
    int nz;
    HeightAt height;
};

} // namespace ecosystem::render
