#include "ecosystem/simulation/plantgrid.h"

#include <limits>

namespace ecosystem {

void PlantGrid::allocate(int width, int height, float cellSize)
{
    width_ = std::clamp(width, 0, MaxSide);
    height_ = std::clamp(height, 0, MaxSide);
    fineSize_ = cellSize > 0.0f ? cellSize / static_cast<float>(Subdivisions) : 1.0f;
    fineWidth_ = std::max(width_ * Subdivisions, 1);
    fineHeight_ = std::max(height_ * Subdivisions, 1);
    fineStart_.assign(static_cast<std::size_t>(fineWidth_) * static_cast<std::size_t>(fineHeight_) + 1, 0);
    entries_.clear();
    speciesOffset_.clear();
    entryOfPlant_.clear();
    order_.clear();
    largestHeight_ = 0.0f;
    living_ = 0;
}

void PlantGrid::rebuild(const std::vector<Species> &species)
{
    const std::size_t fineCount =
        static_cast<std::size_t>(fineWidth_) * static_cast<std::size_t>(fineHeight_);
    std::fill(fineStart_.begin(), fineStart_.end(), 0);
    speciesOffset_.clear();
    largestHeight_ = 0.0f;

    const auto fineOf = [this](const Plant &p) {
        return static_cast<std::size_t>(fineIndex(p.position.x, fineWidth_)) +
               static_cast<std::size_t>(fineIndex(p.position.z, fineHeight_)) *
                   static_cast<std::size_t>(fineWidth_);
    };

    // Counting sort by fine square: count, turn counts into offsets, then place in list order.
    std::size_t plantCount = 0;
    for (const Species &s : species) {
        speciesOffset_.push_back(static_cast<std::int32_t>(plantCount));
        plantCount += s.plants.size();
        for (const Plant &p : s.plants)
            if (contains(p.cellX, p.cellY))
                ++fineStart_[fineOf(p) + 1];
    }
    for (std::size_t c = 0; c < fineCount; ++c)
        fineStart_[c + 1] += fineStart_[c];

    entries_.resize(static_cast<std::size_t>(fineStart_[fineCount]));
    ids_.resize(entries_.size());
    entryOfPlant_.assign(plantCount, -1);
    order_.clear();
    order_.reserve(entries_.size());
    fill_.assign(fineStart_.begin(), fineStart_.end() - 1);
    std::size_t flat = 0;
    for (const Species &s : species) {
        for (const Plant &p : s.plants) {
            if (contains(p.cellX, p.cellY)) {
                const std::int32_t e = fill_[fineOf(p)]++;
                entries_[static_cast<std::size_t>(e)] = {p.position.x,
                                                         p.position.y,
                                                         p.position.z,
                                                         p.height,
                                                         s.competitiveness * p.strength,
                                                         static_cast<std::int16_t>(p.cellX),
                                                         static_cast<std::int16_t>(p.cellY)};
                ids_[static_cast<std::size_t>(e)] = p.id;
                entryOfPlant_[flat] = e;
                order_.push_back(e);
                largestHeight_ = std::max(largestHeight_, p.height);
            }
            ++flat;
        }
    }
    living_ = entries_.size();
}

std::int32_t PlantGrid::entryOf(int species, std::size_t plantIndex) const
{
    if (species < 0 || static_cast<std::size_t>(species) >= speciesOffset_.size())
        return -1;
    const auto s = static_cast<std::size_t>(species);
    const auto flat = static_cast<std::size_t>(speciesOffset_[s]) + plantIndex;
    const std::size_t end = s + 1 < speciesOffset_.size() ? static_cast<std::size_t>(speciesOffset_[s + 1])
                                                          : entryOfPlant_.size();
    return flat < end ? entryOfPlant_[flat] : -1;
}

void PlantGrid::remove(std::int32_t entryIndex)
{
    if (entryIndex < 0 || static_cast<std::size_t>(entryIndex) >= entries_.size())
        return;
    Entry &e = entries_[static_cast<std::size_t>(entryIndex)];
    if (!e.removed()) {
        e.weightedStrength = std::numeric_limits<float>::quiet_NaN();
        --living_;
    }
}

std::vector<std::uint32_t> PlantGrid::idsInCell(int x, int y) const
{
    std::vector<std::uint32_t> ids;
    for (const std::int32_t e : order_) {
        const Entry &entry = entries_[static_cast<std::size_t>(e)];
        if (!entry.removed() && entry.cellX == x && entry.cellY == y)
            ids.push_back(ids_[static_cast<std::size_t>(e)]);
    }
    return ids;
}

} // namespace ecosystem
