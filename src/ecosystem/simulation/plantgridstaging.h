#pragma once

#include "ecosystem/simulation/plantgrid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace ecosystem {

// What staging a rebuild writes, held here rather than in the grid's members: the compiler would
// otherwise fetch the vectors' data pointers, the grid size and the extent again after every store.
class PlantGrid::Staging {
public:
    // The one pass over the plant records: everything later reads the compact copies. The rows
    // are counted with the last rebuild's buckets, which a settled forest mostly keeps, so that
    // the entries need no second pass when the buckets come out the same.
    // Always in line: a call for every plant would cost more than the pass it saves.
    [[gnu::always_inline]] void stage(const Plant &p)
    {
        const std::size_t r = next_++;
        ids_[r] = p.id;
        if (p.cellX < 0 || p.cellY < 0 || p.cellX >= width_ || p.cellY >= height_) {
            rows_[r] = -1;
            return;
        }
        const int row = rowOf(tall_, low_, p.height, p.position.z);
        rows_[r] = row;
        ++rowCounts_[row];
        // Weighed with its own species, as the kill decision weighs it.
        const float competitiveness = p.species >= 0 && static_cast<std::size_t>(p.species) < speciesCount_
                                          ? species_[static_cast<std::size_t>(p.species)].competitiveness
                                          : std::numeric_limits<float>::quiet_NaN();
        staged_[r] = {p.position.x,
                      p.position.y,
                      p.position.z,
                      p.height,
                      competitiveness * p.strength,
                      static_cast<std::int32_t>(r),
                      static_cast<std::int16_t>(p.cellX),
                      static_cast<std::int16_t>(p.cellY),
                      diesOfAgeOrWeakness(p)};
        ++found_.count;
        largest_ = std::max(largest_, p.height);
        const float x = p.position.x;
        const float z = p.position.z;
        if (!std::isfinite(x) || !std::isfinite(z))
            return;
        if (!found_.any) {
            found_.minX = found_.maxX = x;
            found_.minZ = found_.maxZ = z;
            found_.any = true;
        }
        found_.minX = std::min(found_.minX, x);
        found_.maxX = std::max(found_.maxX, x);
        found_.minZ = std::min(found_.minZ, z);
        found_.maxZ = std::max(found_.maxZ, z);
    }

private:
    friend class PlantGrid;
    Staging(PlantGrid &grid, const std::vector<Species> &species)
        : tall_(grid.layers_[Tall]), low_(grid.layers_[Short]), species_(species.data()),
          speciesCount_(species.size()), ids_(grid.ids_.data()), rows_(grid.rowOf_.data()),
          rowCounts_(grid.rowStart_.data() + 1), staged_(grid.staged_.data()), width_(grid.width_),
          height_(grid.height_)
    {
    }

    Layer tall_;
    Layer low_;
    const Species *species_;
    std::size_t speciesCount_;
    std::uint32_t *ids_;
    std::int32_t *rows_;
    std::int32_t *rowCounts_;
    Entry *staged_;
    int width_;
    int height_;
    Extent found_;
    float largest_ = 0.0f;
    std::size_t next_ = 0;
};

} // namespace ecosystem
