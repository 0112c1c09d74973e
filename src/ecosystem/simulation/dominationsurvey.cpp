#include "ecosystem/simulation/dominationsurvey.h"

#include <cstring>

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
    // With the grid's padding, so that groups of slots can be read at the end of a run.
    bySlot_.assign(placed.size() + PlantGrid::SlotGroup - 1, Unsurveyed);
#ifdef VERDALIS_GROUP_SCAN
    const float *const strengths = placed.weightedStrength.data();
    const std::int32_t *const registrations = placed.registration.data();
    const std::uint8_t *const doomed = placed.doomed.data();
    const std::int32_t *const bySlot = bySlot_.data();
#endif
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
#ifdef VERDALIS_GROUP_SCAN
        // Most short plants close by were settled by an earlier tall plant or are doomed, and the
        // tall plant is rarely open and weaker: the close slots that can settle nothing are left
        // out four at a time, before the branches on each.
        const __m128 tallStrength = _mm_set1_ps(query.weightedStrength);
        const __m128i tallRegistration = _mm_set1_epi32(query.self);
        const __m128i tallDoomed = _mm_set1_epi32(placed.doomed[t] ? -1 : 0);
        const auto keep = [&](std::size_t i) {
            const __m128 strength = _mm_loadu_ps(strengths + i);
            const __m128i registration =
                _mm_loadu_si128(reinterpret_cast<const __m128i *>(registrations + i));
            std::int32_t fourDoomed;
            std::memcpy(&fourDoomed, doomed + i, sizeof fourDoomed);
            const __m128i zero = _mm_setzero_si128();
            const __m128i living = _mm_cmpeq_epi32(
                _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(fourDoomed), zero), zero), zero);
            const __m128i open = _mm_and_si128(
                living, _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(bySlot + i)),
                                        _mm_set1_epi32(Unsurveyed)));
            // A doomed tall plant decided before the short one no longer counts against it.
            const __m128i tallGone =
                _mm_and_si128(tallDoomed, _mm_cmpgt_epi32(registration, tallRegistration));
            __m128 settles = _mm_and_ps(_mm_castsi128_ps(_mm_andnot_si128(tallGone, open)),
                                        _mm_cmpge_ps(tallStrength, strength));
            if (tallOpen) {
                const __m128i shortGone =
                    _mm_andnot_si128(living, _mm_cmpgt_epi32(tallRegistration, registration));
                settles = _mm_or_ps(settles, _mm_andnot_ps(_mm_castsi128_ps(shortGone),
                                                           _mm_cmpge_ps(strength, tallStrength)));
            }
            return static_cast<unsigned>(_mm_movemask_ps(settles));
        };
#else
        const auto keep = [](std::size_t) { return (1u << PlantGrid::SlotGroup) - 1u; };
#endif
        grid.anyCloseIn(PlantGrid::Short, query.x, query.z, query.height, keep, [&](std::size_t s) {
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
            // The plant itself passes every test but the last, and is most of what the scan meets:
            // its slot is left out with the cheap tests.
            const auto others = [p](std::size_t i) {
                const std::size_t self = p - i;
                return self < PlantGrid::SlotGroup ? ~(1u << self) : ~0u;
            };
            grid.anyNearIn(layer, query.x, query.z, query.height, query.weightedStrength, others,
                           [&](std::size_t q) {
                               const std::int32_t registration = placed.registration[q];
                               if ((placed.doomed[q] && registration < query.self) ||
                                   !query.dominatedBy(placed, q) || grid.isRemoved(registration))
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
