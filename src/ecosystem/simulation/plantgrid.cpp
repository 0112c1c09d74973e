#include "ecosystem/simulation/plantgrid.h"

#include <algorithm>

namespace ecosystem {

void PlantGrid::allocate(int width, int height)
{
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    cellStart_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) + 1, 0);
    entries_.clear();
    speciesOffset_.clear();
    entryOfPlant_.clear();
    living_ = 0;
}

void PlantGrid::rebuild(const std::vector<Species> &species)
{
    const std::size_t cellCount = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    cellStart_.assign(cellCount + 1, 0);
    speciesOffset_.clear();
    entryOfPlant_.clear();

    // Counting sort by cell: count, turn counts into offsets, then place in list order so that
    // each cell keeps registration order.
    std::size_t plantCount = 0;
    for (const Species &s : species) {
        speciesOffset_.push_back(static_cast<std::int32_t>(plantCount));
        plantCount += s.plants.size();
        for (const Plant &p : s.plants)
            if (contains(p.cellX, p.cellY))
                ++cellStart_[static_cast<std::size_t>(p.cellX + p.cellY * width_) + 1];
    }
    for (std::size_t c = 0; c < cellCount; ++c)
        cellStart_[c + 1] += cellStart_[c];

    entries_.resize(static_cast<std::size_t>(cellStart_[cellCount]));
    entryOfPlant_.assign(plantCount, -1);
    std::vector<std::int32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
    std::size_t flat = 0;
    for (const Species &s : species) {
        for (const Plant &p : s.plants) {
            if (contains(p.cellX, p.cellY)) {
                const std::int32_t e = fill[static_cast<std::size_t>(p.cellX + p.cellY * width_)]++;
                entries_[static_cast<std::size_t>(e)] = {p.position.x, p.position.y, p.position.z, p.height,
                                                         s.competitiveness * p.strength, p.id, false};
                entryOfPlant_[flat] = e;
            }
            ++flat;
        }
    }
    living_ = entries_.size();
}

std::span<const PlantGrid::Entry> PlantGrid::cell(int x, int y) const
{
    if (!contains(x, y))
        return {};
    const std::size_t c = static_cast<std::size_t>(x + y * width_);
    return std::span<const Entry>(entries_.data() + cellStart_[c],
                                  static_cast<std::size_t>(cellStart_[c + 1] - cellStart_[c]));
}

std::int32_t PlantGrid::entryOf(int species, std::size_t plantIndex) const
{
    if (species < 0 || static_cast<std::size_t>(species) >= speciesOffset_.size())
        return -1;
    const std::size_t flat = static_cast<std::size_t>(speciesOffset_[static_cast<std::size_t>(species)]) + plantIndex;
    const std::size_t end = static_cast<std::size_t>(species) + 1 < speciesOffset_.size()
                                ? static_cast<std::size_t>(speciesOffset_[static_cast<std::size_t>(species) + 1])
                                : entryOfPlant_.size();
    return flat < end ? entryOfPlant_[flat] : -1;
}

void PlantGrid::remove(std::int32_t entryIndex)
{
    if (entryIndex < 0 || static_cast<std::size_t>(entryIndex) >= entries_.size())
        return;
    Entry &e = entries_[static_cast<std::size_t>(entryIndex)];
    if (!e.removed) {
        e.removed = true;
        --living_;
    }
}

std::vector<std::uint32_t> PlantGrid::idsInCell(int x, int y) const
{
    std::vector<std::uint32_t> ids;
    for (const Entry &e : cell(x, y))
        if (!e.removed)
            ids.push_back(e.id);
    return ids;
}

} // namespace ecosystem
