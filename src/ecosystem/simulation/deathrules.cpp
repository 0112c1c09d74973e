#include "ecosystem/simulation/deathrules.h"

#include "ecosystem/simulation/probabilitydraw.h"

#include <algorithm>
#include <cmath>

namespace ecosystem {

void DeathRules::bind(PlantGrid &grid, const std::vector<Species> &species)
{
    grid_ = &grid;
    species_ = &species;
}

void DeathRules::surveyDomination()
{
    if (grid_)
        survey_.build(*grid_, neighbourhoodRadius_);
}

DeathRules::DrawBounds DeathRules::drawBoundsOf(const Species &s)
{
    return {drawsBelow(s.heightBand.deathProbability), drawsBelow(s.moistureBand.deathProbability),
            drawsBelow(s.sunninessBand.deathProbability), drawsBelow(s.windinessBand.deathProbability),
            drawsBelow(s.dominatedDeathProbability)};
}

void DeathRules::refreshDrawBounds()
{
    drawBounds_.clear();
    if (species_)
        for (const Species &s : *species_)
            drawBounds_.push_back(drawBoundsOf(s));
}

const Species *DeathRules::speciesOf(const Plant &p) const
{
    if (!species_ || p.species < 0 || static_cast<std::size_t>(p.species) >= species_->size())
        return nullptr;
    return &(*species_)[static_cast<std::size_t>(p.species)];
}

bool DeathRules::shouldDie(Plant &p, std::int32_t entry, SimulationStatistics &statistics)
{
    refreshDrawBounds();
    return decideOne(p, entry, surveyHolds(), statistics);
}

void DeathRules::decide(std::vector<Species> &lists, SimulationStatistics &statistics)
{
    surveyDomination();
    refreshDrawBounds();
    const bool surveyed = surveyHolds();
    for (std::size_t si = 0; si < lists.size(); ++si) {
        std::vector<Plant> &plants = lists[si].plants;
        const PlantGrid::SpeciesEntries entries =
            grid_ ? grid_->entriesOf(static_cast<int>(si)) : PlantGrid::SpeciesEntries{};
        // Survivors slide down over the dead in one pass, so the list keeps its order and later
        // decisions already see earlier deaths (in the grid as well).
        std::size_t kept = 0;
        for (std::size_t i = 0; i < plants.size(); ++i) {
            if (decideOne(plants[i], entries[i], surveyed, statistics))
                continue;
            if (kept != i)
                plants[kept] = plants[i];
            ++kept;
        }
        plants.resize(kept);
    }
}

bool DeathRules::surveyHolds() const
{
    return grid_ && survey_.isCurrent(*grid_, neighbourhoodRadius_);
}

bool DeathRules::decideOne(Plant &p, std::int32_t entry, bool surveyed, SimulationStatistics &statistics)
{
    const Species *s = speciesOf(p);
    const bool dies = diesOfAgeOrWeakness(p);
    // A plant with a species has its species' bounds (the same index in the same list).
    const DrawBounds *bounds = s ? &drawBounds_[static_cast<std::size_t>(p.species)] : nullptr;
    // Which test fired matters only when it kills; otherwise the tests only advance their generators.
    EnvironmentalTest fired = EnvironmentalTest::None;
    if (s && environmentalDeaths_)
        fired = environmentalTests<true>(p, *s, *bounds);
    else if (s)
        environmentalTests<false>(p, *s, *bounds);

    bool result = true;
    if (dies) {
        statistics.countWeaknessDeath();
    } else if (environmentalDeaths_ && fired != EnvironmentalTest::None) {
        statistics.countEnvironmentDeath();
    } else {
        result = isDominated(p, s, bounds ? bounds->dominated : 0, entry, surveyed);
        if (result)
            statistics.countDominationDeath();
    }
    if (result && grid_)
        grid_->remove(entry);
    return result;
}

bool DeathRules::isDominated(Plant &p, std::int32_t entry)
{
    const Species *s = speciesOf(p);
    return isDominated(p, s, s ? drawsBelow(s->dominatedDeathProbability) : 0, entry, surveyHolds());
}

bool DeathRules::isDominated(Plant &p, const Species *s, std::uint32_t dominatedBound, std::int32_t entry,
                             bool surveyed)
{
    if (!grid_ || !s) {
        p.dominated = false;
        return false;
    }
    using Answer = DominationSurvey::Answer;
    const Answer known = entry >= 0 && surveyed ? survey_.answer(*grid_, entry) : Answer::Unknown;
    const bool dominated = known == Answer::Unknown
                               ? anyLivingDominator(*grid_, {p.position.x, p.position.y, p.position.z,
                                                             p.height, s->competitiveness * p.strength, entry,
                                                             p.cellX, p.cellY, neighbourhoodRadius_})
                               : known == Answer::Dominated;
    p.dominated = dominated;
    if (!dominated)
        return false;
    return randomDeathBecauseOfBeingDominated.next(ProbabilityDraws) < dominatedBound;
}

DeathRules::EnvironmentalTest DeathRules::runEnvironmentalTests(const Plant &p, const Species &s)
{
    return environmentalTests<true>(p, s, drawBoundsOf(s));
}

template <bool Reported>
DeathRules::EnvironmentalTest DeathRules::environmentalTests(const Plant &p, const Species &s,
                                                             const DrawBounds &bounds)
{
    // Whether a test draws and whether it fires follow no pattern from plant to plant, so every
    // test is evaluated and its generator advanced by a select instead of a branch.
    unsigned fired = 0; // 1 once a test fired
    unsigned result = 0;
    const auto bandTest = [&](RandomGenerator &generator, const ToleranceBand &band, std::uint32_t bound,
                              float value, EnvironmentalTest test) {
        const unsigned draws = static_cast<unsigned>(band.outsideTolerance(value)) & (fired ^ 1u);
        const std::uint32_t draw = generator.nextIf(draws != 0, ProbabilityDraws);
        const unsigned fires = draws & static_cast<unsigned>(draw < bound);
        if constexpr (Reported)
            result |= (0u - fires) & static_cast<unsigned>(test);
        fired |= fires;
    };
    bandTest(randomDeathBecauseOfBadHeight, s.heightBand, bounds.height, p.relativeHeight,
             EnvironmentalTest::Height);
    bandTest(randomDeathBecauseOfBadMoisture, s.moistureBand, bounds.moisture, p.moisture,
             EnvironmentalTest::Moisture);
    bandTest(randomDeathBecauseOfBadSunniness, s.sunninessBand, bounds.sunniness, p.sunniness,
             EnvironmentalTest::Sunniness);
    bandTest(randomDeathBecauseOfBadWindiness, s.windinessBand, bounds.windiness, p.windiness,
             EnvironmentalTest::Windiness);
    const unsigned slopeDraws = fired ^ 1u;
    if constexpr (!Reported) {
        // Whether the slope test fires matters to nobody, so its draw is not divided.
        randomDeathBecauseOfBadSlope.nextIf(slopeDraws != 0, ProbabilityDraws);
        return EnvironmentalTest::None;
    }
    // The slope's chance differs from plant to plant, so its draw is divided.
    const float u = drawnProbability(randomDeathBecauseOfBadSlope.nextIf(slopeDraws != 0, ProbabilityDraws));
    const float stress = p.slope * s.slopeSensitivity;
    const unsigned slopeFires = slopeDraws & static_cast<unsigned>(stress * stress > u);
    result |= (0u - slopeFires) & static_cast<unsigned>(EnvironmentalTest::Slope);
    return static_cast<EnvironmentalTest>(result);
}

bool DeathRules::crownsOverlap(const Plant &a, const Plant &b)
{
    return ecosystem::crownsOverlap(a.position.x, a.position.y, a.position.z, a.height, b.position.x,
                                    b.position.y, b.position.z, b.height);
}

int DeathRules::computeNeighbourhoodRadius(const std::vector<Species> &species, float cellSize)
{
    float largest = 0.0f;
    for (const Species &s : species)
        largest = std::max(largest, s.fullHeight);
    if (!(cellSize > 0.0f))
        return 0;
    return static_cast<int>(std::ceil(2.0f * largest / cellSize));
}

} // namespace ecosystem
