#include "ecosystem/simulation/dominationsurvey.h"

namespace ecosystem {

bool anyLivingDominator(const PlantGrid &grid, const DominationQuery &query)
{
    const PlantGrid::Slots &placed = grid.placed();
    return grid.anyNear(query.x, query.z, query.height, query.weightedStrength, [&](std::size_t q) {
        return query.dominatedBy(placed, q) && !grid.isRemoved(placed.registration[q]);
    });
}

void DominationSurvey::build(const PlantGrid &grid, int radius)
{
    // Answers are kept by place in the grid while the survey runs, next to the plants it reads,
    // and handed over to registration order at the end.
    const PlantGrid::Slots &placed = grid.placed();
    bySlot_.assign(placed.size(), Unsurveyed);
    const auto unanswered = [&](std::size_t p) { return !placed.doomed[p] && bySlot_[p] == Unsurveyed; };
    // Whether q dominates p as seen at p's decision: a doomed plant decided earlier is gone.
    const auto counts = [&](std::size_t q, std::size_t p) {
        return placed.weightedStrength[q] >= placed.weightedStrength[p] &&
               !(placed.doomed[q] && placed.registration[q] < placed.registration[p]);
    };
    const auto queryOf = [&](std::size_t p) {
        return DominationQuery{placed.x[p],
                               placed.y[p],
                               placed.z[p],
                               placed.height[p],
                               placed.weightedStrength[p],
                               placed.registration[p],
                               placed.cellX[p],
                               placed.cellY[p],
                               radius};
    };

    // Tall plants against the short ones under their crowns, both ways at once: a large crown
    // covers many seedlings, which then need no scan of their own.
    const std::size_t tallEnd = grid.layerEnd(PlantGrid::Tall);
    for (std::size_t t = grid.layerBegin(PlantGrid::Tall); t < tallEnd; ++t) {
        const DominationQuery query = queryOf(t);
        bool tallOpen = unanswered(t);
        grid.anyCloseIn(PlantGrid::Short, query.x, query.z, query.height, [&](std::size_t s) {
            const bool settlesShort = unanswered(s) && counts(t, s);
            const bool settlesTall = tallOpen && counts(s, t);
            if ((settlesShort || settlesTall) && query.overlapsWithinWindow(placed, s)) {
                if (settlesShort)
                    bySlot_[s] = query.self;
                if (settlesTall) {
                    bySlot_[t] = placed.registration[s];
                    tallOpen = false;
                }
            }
            return false;
        });
    }

    // The rest within each layer. The open plants are gathered first, without a branch on each,
    // since whether a plant is open follows no pattern the processor could predict.
    for (const std::size_t layer : {PlantGrid::Tall, PlantGrid::Short}) {
        const std::size_t begin = grid.layerBegin(layer);
        const std::size_t end = grid.layerEnd(layer);
        open_.resize(end - begin);
        std::size_t openCount = 0;
        for (std::size_t p = begin; p < end; ++p) {
            open_[openCount] = static_cast<std::uint32_t>(p);
            const auto open = static_cast<unsigned>(placed.doomed[p] == 0) &
                              static_cast<unsigned>(bySlot_[p] == Unsurveyed);
            openCount += open;
        }
        for (std::size_t k = 0; k < openCount; ++k) {
            const std::size_t p = open_[k];
            const DominationQuery query = queryOf(p);
            std::int32_t found = None;
            grid.anyNearIn(layer, query.x, query.z, query.height, query.weightedStrength, [&](std::size_t q) {
                const std::int32_t registration = placed.registration[q];
                if ((placed.doomed[q] && registration < query.self) || !query.dominatedBy(placed, q) ||
                    grid.isRemoved(registration))
                    return false;
                found = registration;
                return true;
            });
            bySlot_[p] = found;
        }
    }

    dominator_.assign(grid.registrations(), Unsurveyed);
    for (std::size_t i = 0; i < placed.size(); ++i)
        dominator_[static_cast<std::size_t>(placed.registration[i])] = bySlot_[i];
    built_ = true;
    generation_ = grid.generation();
    radius_ = radius;
}

} // namespace ecosystem
