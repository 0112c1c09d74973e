#include "ecosystem/simulation/dominationsurvey.h"

namespace ecosystem {

bool anyLivingDominator(const PlantGrid &grid, const DominationQuery &query)
{
    return grid.anyNear(
        query.x, query.z, query.height, query.weightedStrength,
        [&](const PlantGrid::Entry &q) { return query.dominatedBy(q) && !grid.isRemoved(q.registration); });
}

void DominationSurvey::build(const PlantGrid &grid, int radius)
{
    dominator_.assign(grid.registrations(), Unsurveyed);
    for (const PlantGrid::Entry &p : grid.entries()) {
        if (p.doomed)
            continue;
        const DominationQuery query{p.x,     p.y,     p.z,   p.height, p.weightedStrength, p.registration,
                                    p.cellX, p.cellY, radius};
        std::int32_t found = None;
        grid.anyNear(p.x, p.z, p.height, p.weightedStrength, [&](const PlantGrid::Entry &q) {
            // A doomed plant decided earlier is gone by the time this one is decided.
            if (!query.dominatedBy(q) || (q.doomed && q.registration < p.registration) ||
                grid.isRemoved(q.registration))
                return false;
            found = q.registration;
            return true;
        });
        dominator_[static_cast<std::size_t>(p.registration)] = found;
    }
    built_ = true;
    generation_ = grid.generation();
    radius_ = radius;
}

} // namespace ecosystem
