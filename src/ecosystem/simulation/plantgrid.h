#pragma once

#include "ecosystem/simulation/species.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace ecosystem {

// The living plants by place, so that the domination test looks only at the plants around one
// plant. Every plant belongs to its terrain cell (cellX, cellY); the domination window is a square
// of those cells. Inside, plants are bucketed by position in finer squares (a fifth of a terrain
// cell a side), because a crowded terrain cell holds a hundred plants and only the few within
// crown reach matter. Each entry carries a compact copy of what the test reads (position, crown
// radius, weighted strength, cell) so the scan walks one small contiguous array.
//
// The grid is rebuilt from the species lists whenever their plants have changed (before each kill
// phase and after a load); a plant that dies is taken out at once.
class PlantGrid {
public:
    // 24 bytes: the scan is bound by memory traffic, so an entry holds only what the test reads.
    struct Entry {
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        float height = 0.0f;
        // Species competitiveness × strength; not a number once the plant is removed, so that a
        // removed plant fails every "at least as strong" comparison without a separate flag.
        float weightedStrength = 0.0f;
        std::int16_t cellX = 0;
        std::int16_t cellY = 0;

        bool removed() const { return std::isnan(weightedStrength); }
    };

    // Fine squares per terrain cell side.
    static constexpr int Subdivisions = 5;

    PlantGrid() = default;
    PlantGrid(int width, int height, float cellSize) { allocate(width, height, cellSize); }

    // An empty grid of width × height terrain cells of cellSize metres.
    void allocate(int width, int height, float cellSize);
    // Registers every plant of every species (species in index order, plants in list order),
    // replacing what was registered. Plants whose cell lies outside the grid are left out; the
    // simulation never creates or loads such plants.
    void rebuild(const std::vector<Species> &species);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Entry of the plant at position plantIndex of the species' list at the last rebuild, or -1
    // when it was not registered.
    std::int32_t entryOf(int species, std::size_t plantIndex) const;
    const Entry &entry(std::int32_t entryIndex) const
    {
        return entries_[static_cast<std::size_t>(entryIndex)];
    }
    // Takes a dead plant out.
    void remove(std::int32_t entryIndex);

    // Largest grid side the compact entries can address.
    static constexpr int MaxSide = 32767;

    // Calls visit(entry) for the entries (removed ones included) of every fine square that may hold
    // a plant within horizontal distance radius of (x, z), until visit returns true; returns
    // whether it did. Plants placed outside the terrain sit in the border squares, so none is
    // missed.
    template <typename Visit> bool anyNear(float x, float z, float radius, Visit &&visit) const
    {
        if (entries_.empty())
            return false;
        const int c0 = fineIndex(x - radius, fineWidth_);
        const int c1 = fineIndex(x + radius, fineWidth_);
        const int r0 = fineIndex(z - radius, fineHeight_);
        const int r1 = fineIndex(z + radius, fineHeight_);
        for (int r = r0; r <= r1; ++r) {
            const std::size_t row = static_cast<std::size_t>(r) * static_cast<std::size_t>(fineWidth_);
            const std::int32_t begin = fineStart_[row + static_cast<std::size_t>(c0)];
            const std::int32_t end = fineStart_[row + static_cast<std::size_t>(c1) + 1];
            for (std::int32_t e = begin; e < end; ++e)
                if (visit(entries_[static_cast<std::size_t>(e)]))
                    return true;
        }
        return false;
    }

    // Asks the processor to fetch what anyNear(x, z, radius) will read, a few decisions ahead:
    // the kill phase visits plants in list order, which jumps about the terrain.
    void prefetchNear(float x, float z, float radius) const
    {
        if (entries_.empty())
            return;
        const int c0 = fineIndex(x - radius, fineWidth_);
        const int r0 = fineIndex(z - radius, fineHeight_);
        const int r1 = fineIndex(z + radius, fineHeight_);
        for (int r = r0; r <= r1; ++r) {
            const std::size_t at = static_cast<std::size_t>(r) * static_cast<std::size_t>(fineWidth_) +
                                   static_cast<std::size_t>(c0);
            __builtin_prefetch(entries_.data() + fineStart_[at]);
        }
    }

    // The tallest registered plant at the last rebuild: no crown reaches further than twice this.
    float largestHeight() const { return largestHeight_; }
    // Ids of the plants registered in terrain cell (x, y), in registration order.
    std::vector<std::uint32_t> idsInCell(int x, int y) const;
    // Number of registered plants.
    std::size_t size() const { return living_; }

private:
    int fineIndex(float coordinate, int count) const
    {
        const double f = std::floor(static_cast<double>(coordinate) / static_cast<double>(fineSize_));
        if (!(f >= 0.0))
            return 0;
        return f >= count - 1 ? count - 1 : static_cast<int>(f);
    }

    int width_ = 0;
    int height_ = 0;
    float fineSize_ = 1.0f;
    int fineWidth_ = 0;
    int fineHeight_ = 0;
    std::vector<std::int32_t> fineStart_;     // fineWidth × fineHeight + 1 offsets into entries_
    std::vector<Entry> entries_;              // sorted by fine square, row by row
    std::vector<std::int32_t> speciesOffset_; // first index in entryOfPlant_ per species
    std::vector<std::int32_t> entryOfPlant_;  // per plant, in species and list order
    std::vector<std::int32_t> order_;         // registration order of the entries, for idsInCell
    std::vector<std::uint32_t> ids_;          // plant id per entry
    std::vector<std::int32_t> fill_;          // rebuild's write positions, kept to avoid reallocation
    float largestHeight_ = 0.0f;
    std::size_t living_ = 0;
};

} // namespace ecosystem
