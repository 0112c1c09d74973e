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

bool DeathRules::shouldDie(Plant &p, std::int32_t entry, SimulationStatistics &statistics)
{
    const float weakVigour = 0.1f;
    const bool dies = static_cast<float>(p.age) >= p.timeOfDeath || p.prodornost <= weakVigour;

    if (species_ && p.species >= 0 && static_cast<std::size_t>(p.species) < species_->size())
        runEnvironmentalTests(p, (*species_)[static_cast<std::size_t>(p.species)]);

    bool result = dies;
    if (dies) {
        statistics.countWeaknessDeath();
    } else {
        result = isDominated(p, entry);
        if (result)
            statistics.countDominationDeath();
    }
    if (result && grid_)
        grid_->remove(entry);
    return result;
}

bool DeathRules::isDominated(Plant &p, std::int32_t entry)
{
    if (!grid_ || !species_ || p.species < 0 || static_cast<std::size_t>(p.species) >= species_->size()) {
        p.dominated = false;
        return false;
    }
    const Species &s = (*species_)[static_cast<std::size_t>(p.species)];
    const float strength = s.competitiveness * p.strength;
    const int r = neighbourhoodRadius_;
    const int x0 = std::max(0, p.cellX - r);
    const int x1 = std::min(grid_->width() - 1, p.cellX + r);
    const int y0 = std::max(0, p.cellY - r);
    const int y1 = std::min(grid_->height() - 1, p.cellY + r);

    // Only whether such a neighbour exists matters, not which one is found first, so the grid may
    // offer candidates in any order. No crown overlaps p from further away than p's height plus
    // the tallest height; the margin keeps rounding from losing a touching candidate.
    const PlantGrid::Entry *self = entry >= 0 ? &grid_->entry(entry) : nullptr;
    const float reach = (p.height + grid_->largestHeight()) * 1.001f + 0.01f;
    const bool dominated = grid_->anyNear(p.position.x, p.position.z, reach, [&](const PlantGrid::Entry &q) {
        // A removed plant's strength is not a number and fails the comparison.
        if (!(q.weightedStrength >= strength) || &q == self || q.cellX < x0 || q.cellX > x1 || q.cellY < y0 ||
            q.cellY > y1)
            return false;
        return crownsOverlap(p.position.x, p.position.y, p.position.z, p.height, q.x, q.y, q.z, q.height);
    });
    p.dominated = dominated;
    if (!dominated)
        return false;
    const float u =
        static_cast<float>(randomDeathBecauseOfBeingDominated.next(ProbabilityDraws)) / ProbabilityDivisor;
    return s.dominatedDeathProbability > u;
}

bool DeathRules::bandTestFires(RandomGenerator &generator, const ToleranceBand &band, float value)
{
    if (!band.outsideTolerance(value))
        return false;
    const float u = static_cast<float>(generator.next(ProbabilityDraws)) / ProbabilityDivisor;
    return band.deathProbability > u;
}

DeathRules::EnvironmentalTest DeathRules::runEnvironmentalTests(const Plant &p, const Species &s)
{
    if (bandTestFires(randomDeathBecauseOfBadHeight, s.heightBand, p.relativeHeight))
        return EnvironmentalTest::Height;
    if (bandTestFires(randomDeathBecauseOfBadMoisture, s.moistureBand, p.moisture))
        return EnvironmentalTest::Moisture;
    if (bandTestFires(randomDeathBecauseOfBadSunniness, s.sunninessBand, p.sunniness))
        return EnvironmentalTest::Sunniness;
    if (bandTestFires(randomDeathBecauseOfBadWindiness, s.windinessBand, p.windiness))
        return EnvironmentalTest::Windiness;
    const float u =
        static_cast<float>(randomDeathBecauseOfBadSlope.next(ProbabilityDraws)) / ProbabilityDivisor;
    const float stress = p.slope * s.slopeSensitivity;
    return stress * stress > u ? EnvironmentalTest::Slope : EnvironmentalTest::None;
}

bool DeathRules::crownsOverlap(const Plant &a, const Plant &b)
{
    return crownsOverlap(a.position.x, a.position.y, a.position.z, a.height, b.position.x, b.position.y,
                         b.position.z, b.height);
}

bool DeathRules::crownsOverlap(float ax, float ay, float az, float aHeight, float bx, float by, float bz,
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
