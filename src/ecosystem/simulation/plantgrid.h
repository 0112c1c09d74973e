#pragma once

#include "ecosystem/simulation/species.h"

#include <cstdint>
#include <span>
#include <vector>

namespace ecosystem {

// The living plants sorted by grid cell, so that the domination test looks only at the cells
// around a plant. Each entry carries a compact copy of what that test reads (position, crown
// radius and weighted strength) so that the scan touches one small contiguous array.
//
// The grid is rebuilt from the species lists whenever their plants have moved on (before each
// kill phase and after a load); a plant that dies is taken out of its cell at once. Entries of a
// cell keep the order of the species and plant lists.
class PlantGrid {
public:
    struct Entry {
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        float height = 0.0f;
        float weightedStrength = 0.0f; // species competitiveness × strength
        std::uint32_t id = 0;
        bool removed = false;
    };

    PlantGrid() = default;
    PlantGrid(int width, int height) { allocate(width, height); }

    // Makes width × height empty cells.
    void allocate(int width, int height);
    // Empties every cell, then registers every plant of every species (species in index order,
    // plants in list order) in its cell. Plants whose cell lies outside the grid are not
    // registered; the simulation never creates or loads such plants.
    void rebuild(const std::vector<Species> &species);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // All entries of the cell, removed ones included (check Entry::removed).
    std::span<const Entry> cell(int x, int y) const;
    // Entry of the plant at position plantIndex of the species' list at the last rebuild, or -1
    // when it was not registered.
    std::int32_t entryOf(int species, std::size_t plantIndex) const;
    const Entry &entry(std::int32_t entryIndex) const { return entries_[static_cast<std::size_t>(entryIndex)]; }
    // Takes a dead plant out of its cell.
    void remove(std::int32_t entryIndex);

    // Ids of the plants registered in a cell, in cell order.
    std::vector<std::uint32_t> idsInCell(int x, int y) const;
    // Number of registered plants.
    std::size_t size() const { return living_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::int32_t> cellStart_;     // width × height + 1 offsets into entries_
    std::vector<Entry> entries_;              // sorted by cell
    std::vector<std::int32_t> speciesOffset_; // first index in entryOfPlant_ per species
    std::vector<std::int32_t> entryOfPlant_;  // per plant, in species and list order
    std::size_t living_ = 0;
};

} // namespace ecosystem
