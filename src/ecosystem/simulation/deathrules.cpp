#include "ecosystem/simulation/deathrules.h"

#include <algorithm>
#include <cmath>

namespace ecosystem {

namespace {

constexpr std::uint32_t ProbabilityDraws = 100000;
constexpr float ProbabilityDivisor = 100000.0f;

} // namespace

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

const Species *DeathRules::speciesOf(const Plant &p) const
{
    if (!species_ || p.species < 0 || static_cast<std::size_t>(p.species) >= species_->size())
        return nullptr;
    return &(*species_)[static_cast<std::size_t>(p.species)];
}

bool DeathRules::shouldDie(Plant &p, std::int32_t entry, SimulationStatistics &statistics)
{
    return decideOne(p, entry, statistics);
}

void DeathRules::decide(std::vector<Species> &lists, SimulationStatistics &statistics)
{
    surveyDomination();
    for (std::size_t si = 0; si < lists.size(); ++si) {
        std::vector<Plant> &plants = lists[si].plants;
        // Survivors slide down over the dead in one pass, so the list keeps its order and later
        // decisions already see earlier deaths (in the grid as well).
        std::size_t kept = 0;
        for (std::size_t i = 0; i < plants.size(); ++i) {
            const std::int32_t entry = grid_ ? grid_->entryOf(static_cast<int>(si), i) : -1;
            if (decideOne(plants[i], entry, statistics))
                continue;
            if (kept != i)
                plants[kept] = plants[i];
            ++kept;
        }
        plants.resize(kept);
    }
}

bool DeathRules::decideOne(Plant &p, std::int32_t entry, SimulationStatistics &statistics)
{
    const Species *s = speciesOf(p);
    const bool dies = diesOfAgeOrWeakness(p);
    const EnvironmentalTest fired = s ? environmentalTests(p, *s) : EnvironmentalTest::None;

    bool result = true;
    if (dies) {
        statistics.countWeaknessDeath();
    } else if (environmentalDeaths_ && fired != EnvironmentalTest::None) {
        statistics.countEnvironmentDeath();
    } else {
        result = isDominated(p, s, entry);
        if (result)
            statistics.countDominationDeath();
    }
    if (result && grid_)
        grid_->remove(entry);
    return result;
}

bool DeathRules::isDominated(Plant &p, std::int32_t entry)
{
    return isDominated(p, speciesOf(p), entry);
}

bool DeathRules::isDominated(Plant &p, const Species *s, std::int32_t entry)
{
    if (!grid_ || !s) {
        p.dominated = false;
        return false;
    }
    using Answer = DominationSurvey::Answer;
    const Answer known = entry >= 0 && survey_.isCurrent(*grid_, neighbourhoodRadius_)
                             ? survey_.answer(*grid_, entry)
                             : Answer::Unknown;
    const bool dominated = known == Answer::Unknown
                               ? anyLivingDominator(*grid_, {p.position.x, p.position.y, p.position.z,
                                                             p.height, s->competitiveness * p.strength, entry,
                                                             p.cellX, p.cellY, neighbourhoodRadius_})
                               : known == Answer::Dominated;
    p.dominated = dominated;
    if (!dominated)
        return false;
    const float u =
        static_cast<float>(randomDeathBecauseOfBeingDominated.next(ProbabilityDraws)) / ProbabilityDivisor;
    return s->dominatedDeathProbability > u;
}

DeathRules::EnvironmentalTest DeathRules::runEnvironmentalTests(const Plant &p, const Species &s)
{
    return environmentalTests(p, s);
}

DeathRules::EnvironmentalTest DeathRules::environmentalTests(const Plant &p, const Species &s)
{
    // Whether a test draws and whether it fires follow no pattern from plant to plant, so every
    // test is evaluated and its generator advanced by a select instead of a branch.
    unsigned fired = 0; // 1 once a test fired
    unsigned result = 0;
    const auto bandTest = [&](RandomGenerator &generator, const ToleranceBand &band, float value,
                              EnvironmentalTest test) {
        const unsigned draws = static_cast<unsigned>(band.outsideTolerance(value)) & (fired ^ 1u);
        const float u =
            static_cast<float>(generator.nextIf(draws != 0, ProbabilityDraws)) / ProbabilityDivisor;
        const unsigned fires = draws & static_cast<unsigned>(band.deathProbability > u);
        result |= (0u - fires) & static_cast<unsigned>(test);
        fired |= fires;
    };
    bandTest(randomDeathBecauseOfBadHeight, s.heightBand, p.relativeHeight, EnvironmentalTest::Height);
    bandTest(randomDeathBecauseOfBadMoisture, s.moistureBand, p.moisture, EnvironmentalTest::Moisture);
    bandTest(randomDeathBecauseOfBadSunniness, s.sunninessBand, p.sunniness, EnvironmentalTest::Sunniness);
    bandTest(randomDeathBecauseOfBadWindiness, s.windinessBand, p.windiness, EnvironmentalTest::Windiness);
    const unsigned slopeDraws = fired ^ 1u;
    const float u =
        static_cast<float>(randomDeathBecauseOfBadSlope.nextIf(slopeDraws != 0, ProbabilityDraws)) /
        ProbabilityDivisor;
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
