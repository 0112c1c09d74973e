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
    // Answers are kept by place in the grid while the survey runs, next to the entries it reads,
    // and handed over to registration order at the end.
    const std::vector<PlantGrid::Entry> &entries = grid.entries();
    bySlot_.assign(entries.size(), Unsurveyed);
    const auto slotOf = [&](const PlantGrid::Entry &e) {
        return static_cast<std::size_t>(&e - entries.data());
    };
    const auto unanswered = [&](const PlantGrid::Entry &p) {
        return !p.doomed && bySlot_[slotOf(p)] == Unsurveyed;
    };
    // Whether q dominates p as seen at p's decision: a doomed plant decided earlier is gone.
    const auto counts = [](const PlantGrid::Entry &q, const PlantGrid::Entry &p) {
        return q.weightedStrength >= p.weightedStrength && !(q.doomed && q.registration < p.registration);
    };

    // Tall plants against the short ones under their crowns, both ways at once: a large crown
    // covers many seedlings, which then need no scan of their own.
    for (std::size_t i = grid.layerBegin(PlantGrid::Tall); i < grid.layerEnd(PlantGrid::Tall); ++i) {
        const PlantGrid::Entry &tall = entries[i];
        const DominationQuery query{
            tall.x,     tall.y,     tall.z, tall.height, tall.weightedStrength, tall.registration,
            tall.cellX, tall.cellY, radius};
        bool tallOpen = unanswered(tall);
        grid.anyNearIn(PlantGrid::Short, tall.x, tall.z, tall.height, [&](const PlantGrid::Entry &s) {
            if (query.clearlyApart(s))
                return false;
            const bool settlesShort = unanswered(s) && counts(tall, s);
            const bool settlesTall = tallOpen && counts(s, tall);
            if ((settlesShort || settlesTall) && query.overlapsWithinWindow(s)) {
                if (settlesShort)
                    bySlot_[slotOf(s)] = tall.registration;
                if (settlesTall) {
                    bySlot_[i] = s.registration;
                    tallOpen = false;
                }
            }
            return false;
        });
    }

    // The rest within each layer.
    for (const std::size_t layer : {PlantGrid::Tall, PlantGrid::Short}) {
        for (std::size_t i = grid.layerBegin(layer); i < grid.layerEnd(layer); ++i) {
            const PlantGrid::Entry &p = entries[i];
            if (!unanswered(p))
                continue;
            const DominationQuery query{p.x,     p.y,     p.z,   p.height, p.weightedStrength, p.registration,
                                        p.cellX, p.cellY, radius};
            std::int32_t found = None;
            grid.anyNearIn(layer, p.x, p.z, p.height, p.weightedStrength, [&](const PlantGrid::Entry &q) {
                if (!query.dominatedBy(q) || (q.doomed && q.registration < p.registration) ||
                    grid.isRemoved(q.registration))
                    return false;
                found = q.registration;
                return true;
            });
            bySlot_[i] = found;
        }
    }

    dominator_.assign(grid.registrations(), Unsurveyed);
    for (std::size_t i = 0; i < entries.size(); ++i)
        dominator_[static_cast<std::size_t>(entries[i].registration)] = bySlot_[i];
    built_ = true;
    generation_ = grid.generation();
    radius_ = radius;
}

} // namespace ecosystem
