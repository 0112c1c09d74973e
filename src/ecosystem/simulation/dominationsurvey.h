#pragma once

#include "ecosystem/simulation/plantgrid.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace ecosystem {

// Crowns overlap when the sum of the two heights is strictly greater than the distance between
// the positions (computed in double, compared in single precision).
inline bool crownsOverlap(float ax, float ay, float az, float aHeight, float bx, float by, float bz,
                          float bHeight)
{
    const double dx = static_cast<double>(ax) - static_cast<double>(bx);
    const double dy = static_cast<double>(ay) - static_cast<double>(by);
    const double dz = static_cast<double>(az) - static_cast<double>(bz);
    const double squared = dx * dx + dy * dy + dz * dz;
    const float reach = aHeight + bHeight;
    // Clearly apart: the rounded distance could not fall below the reach, so skip the square root.
    if (squared > static_cast<double>(reach) * static_cast<double>(reach) * (1.0 + 1e-6))
        return false;
    return reach > static_cast<float>(std::sqrt(squared));
}

// One plant asking whether a plant of at least its weighted strength overlaps its crown from a
// cell inside its window (the cells at most radius away in each direction).
struct DominationQuery {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float height = 0.0f;
    float weightedStrength = 0.0f;
    std::int32_t self = -1; // its registration number in the grid, -1 when not registered
    int cellX = 0;
    int cellY = 0;
    int radius = 0;

    // Whether the plant in slot q, which passed the grid's strength and distance filter,
    // dominates the plant, removal aside.
    bool dominatedBy(const PlantGrid::Slots &placed, std::size_t q) const
    {
        return placed.registration[q] != self && overlapsWithinWindow(placed, q);
    }

    // The crowns overlap and q stands in a cell of the window; both relations are symmetric.
    bool overlapsWithinWindow(const PlantGrid::Slots &placed, std::size_t q) const
    {
        // Registered plants lie inside the grid, so the window needs no clipping here.
        return crownsOverlap(x, y, z, height, placed.x[q], placed.y[q], placed.z[q], placed.height[q]) &&
               std::abs(placed.cellX[q] - cellX) <= radius && std::abs(placed.cellY[q] - cellY) <= radius;
    }
};

// Whether a living registered plant dominates the query's plant: the full scan of its neighbours.
bool anyLivingDominator(const PlantGrid &grid, const DominationQuery &query);

// The domination scan done ahead for every registered plant of a kill phase, walking the grid in
// bucket order so that consecutive plants read the same neighbours, instead of in the kill
// phase's list order, which jumps about the terrain. First each tall plant settles the short
// plants under its crown both ways (one large crown covers many seedlings, which then need no
// scan of their own); then every plant still open scans its own layer. For each plant it keeps one
// plant that dominates it, or that none does; deciding later only checks whether that one is still
// alive, and scans again only when it died. Plants certain to die of age or weakness need no
// answer, and when decided before a plant they no longer dominate it. So as long as the plants
// are decided in registration order, each once, the answer is exactly that of a full scan at the
// moment of the decision.
class DominationSurvey {
public:
    enum class Answer { Dominated, Free, Unknown };

    // Surveys the grid with the window radius in cells.
    void build(const PlantGrid &grid, int radius);
    // The survey holds for the grid's current registration and that radius.
    bool isCurrent(const PlantGrid &grid, int radius) const
    {
        return built_ && generation_ == grid.generation() && radius_ == radius;
    }
    // For a registered, surveyed and unchanged plant that is not doomed: Dominated or Free when
    // the survey knows, Unknown when only a full scan can tell.
    Answer answer(const PlantGrid &grid, std::int32_t registration) const
    {
        const std::int32_t found = dominator_[static_cast<std::size_t>(registration)];
        if (found == None)
            return Answer::Free;
        return found >= 0 && !grid.isRemoved(found) ? Answer::Dominated : Answer::Unknown;
    }

private:
    static constexpr std::int32_t Unsurveyed = -1; // doomed: no answer kept
    static constexpr std::int32_t None = -2;       // no dominator at all

    std::vector<std::int32_t> dominator_; // by registration number
    std::vector<std::int32_t> bySlot_;    // the same by place in the grid, while surveying
    std::vector<std::uint32_t> open_;     // places of the plants still without an answer
    bool built_ = false;
    std::uint64_t generation_ = 0;
    int radius_ = 0;
};

} // namespace ecosystem
