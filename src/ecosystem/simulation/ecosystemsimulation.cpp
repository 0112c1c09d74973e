#include "ecosystem/simulation/ecosystemsimulation.h"

#include "ecosystem/simulation/plantgridstaging.h"
#include "ecosystem/simulation/probabilitydraw.h"
#include "ecosystem/simulation/simulationfile.h"
#include "ecosystem/simulation/speciestable.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <limits>

namespace ecosystem {

namespace {

constexpr std::uint32_t CellPositionDraws = 4096;
constexpr float CellPositionDivisor = 4096.0f;

// A species owed more seeds than this in one step is not a forest any more; placing them would
// only stall the program (and a float budget that large could no longer count down by one).
constexpr float MaxSeedsPerStep = 1.0e7f;

inline float clampedSuitability(const ToleranceBand &band, float value)
{
    return std::clamp(band.suitability(value), 0.0f, 1.0f);
}

float sampleMap(const std::vector<float> &map, std::size_t index)
{
    return index < map.size() ? map[index] : 0.0f;
}

} // namespace

EcosystemSimulation::EcosystemSimulation() : phaseStart_(Clock::now())
{
    deathRules_.bind(grid_, species_);
}

void EcosystemSimulation::attachTerrain(TerrainModel &terrain)
{
    terrain_ = &terrain;
    grid_.allocate(terrain.width(), terrain.height());
}

void EcosystemSimulation::initialise()
{
    if (initialised_ || !terrain_)
        return;
    initialised_ = true;
    step_ = 0;
    species_ = defaultSpeciesTable();
    deathRules_.setNeighbourhoodRadius(
        DeathRules::computeNeighbourhoodRadius(species_, terrain_->cellSize()));
    computeTerrainMaps(*terrain_);
    largestMaxAge_ = 0;
    for (const Species &s : species_)
        largestMaxAge_ = std::max(largestMaxAge_, s.maxAge);
    grid_.allocate(terrain_->width(), terrain_->height());
}

int EcosystemSimulation::restartPhaseTimer()
{
    const Clock::time_point now = Clock::now();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - phaseStart_).count();
    phaseStart_ = now;
    return static_cast<int>(std::min<long long>(elapsed, 0x7fffffff));
}

void EcosystemSimulation::simulateStep()
{
    if (!terrain_)
        return;
    if (step_ < 0)
        initialise();
    ++step_;
    decisionTime_ = Clock::duration::zero();

    PhaseTimes times;
    times.render = restartPhaseTimer();
    for (Species &s : species_)
        addPhase(s);
    times.add = restartPhaseTimer();
    growAndStagePhase();
    times.grow = restartPhaseTimer();
    decideDeaths();
    times.kill = restartPhaseTimer();
    times.decide =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(decisionTime_).count());
    recordStatistics(times);
}

std::vector<int> EcosystemSimulation::livingCounts() const
{
    std::vector<int> counts;
    counts.reserve(species_.size());
    for (const Species &s : species_)
        counts.push_back(static_cast<int>(s.plants.size()));
    return counts;
}

void EcosystemSimulation::recordStatistics(const PhaseTimes &times)
{
    statistics_.recordLiving(livingCounts());
    statistics_.composeLogLine(step_, times.render, times.add, times.grow, times.kill, times.decide);
    lastTimes_ = times;
}

void EcosystemSimulation::sortParents(std::vector<std::uint32_t> &parents, std::uint32_t plantCount)
{
    // A crowded species draws about as many parents as it has plants: counting them beats sorting.
    if (parents.size() * 16 < plantCount) {
        std::sort(parents.begin(), parents.end());
        return;
    }
    std::vector<std::uint32_t> &times = parentCountScratch_;
    times.assign(plantCount, 0);
    for (const std::uint32_t parent : parents)
        ++times[parent];
    // A plant is drawn none, one or a few times, unpredictably: each is written FewTimes times
    // without a branch and the position moves on by its count, so that the next overwrites what
    // was too many; the padding takes the writes past the last.
    constexpr std::uint32_t FewTimes = 3;
    const std::size_t count = parents.size();
    parents.resize(count + FewTimes);
    std::uint32_t *next = parents.data();
    for (std::uint32_t parent = 0; parent < plantCount; ++parent) {
        const std::uint32_t drawn = times[parent];
        for (std::uint32_t k = 0; k < FewTimes; ++k)
            next[k] = parent;
        if (drawn > FewTimes)
            std::fill_n(next + FewTimes, drawn - FewTimes, parent);
        next += drawn;
    }
    parents.resize(count);
}

math::Vector3f EcosystemSimulation::randomPointInCell(int x, int y)
{
    const TerrainModel &t = *terrain_;
    const math::Vector3f v0 = t.vertex(x, y);
    const math::Vector3f v1 = x + 1 < t.width() ? t.vertex(x + 1, y) : v0;
    const math::Vector3f v2 = y + 1 < t.height() ? t.vertex(x, y + 1) : v0;
    const float s =
        static_cast<float>(random3dPositionOfNewPlantsI.next(CellPositionDraws)) / CellPositionDivisor;
    const float u =
        static_cast<float>(random3dpositionsOfNewPlantsJ.next(CellPositionDraws)) / CellPositionDivisor;
    return v0 + (v1 - v0) * s + (v2 - v0) * u;
}

void EcosystemSimulation::addPhase(Species &s)
{
    if (!terrain_)
        return;
    const TerrainModel &t = *terrain_;

    s.seedBudget += s.seedProduction * s.seedRate;
    if (!(s.seedBudget <= MaxSeedsPerStep))
        s.seedBudget = std::isnan(s.seedBudget) ? 0.0f : MaxSeedsPerStep;

    const auto n = static_cast<std::uint32_t>(s.plants.size());
    const DrawBound parentBound(n);
    std::vector<std::uint32_t> &parents = parentScratch_;
    // Room for every seed, so that a parent is written without a branch on whether its seed grows
    // close, which follows the draws. The loop runs the budget's whole part times: below 2^24,
    // where the budget stays, taking 1 away is exact.
    static_assert(MaxSeedsPerStep < 16777216.0f);
    parents.resize(s.seedBudget >= 1.0f ? static_cast<std::size_t>(s.seedBudget) : 0);
    std::size_t drawn = 0;
    std::size_t anywhere = 0;
    const std::uint32_t closeBelow = drawsBelow(s.growCloseProbability);
    while (s.seedBudget >= 1.0f) {
        s.seedBudget -= 1.0f;
        const bool close = randomGrowClose.next(ProbabilityDraws) < closeBelow;
        // Without plants, a seed that would grow close is lost.
        const bool drawsParent = close & (n > 0);
        parents[drawn] = randomChooseNearPlant.nextIf(drawsParent, parentBound);
        drawn += drawsParent;
        anywhere += !close;
    }
    parents.resize(drawn);
    sortParents(parents, n);

    // Sized for every seed and cut back after, so that placing one needs no capacity check.
    std::vector<Placement> &placements = placementScratch_;
    placements.resize(parents.size() + anywhere);
    std::size_t placed = 0;

    // The neighbour cell of each side draw: above, below, left, right.
    static constexpr int SideX[] = {0, 0, -1, 1};
    static constexpr int SideY[] = {-1, 1, 0, 0};
    // The side is the quarter of the unit interval that the drawn probability falls in.
    static const std::array<std::uint32_t, 3> sideStarts = [] {
        std::array<std::uint32_t, 3> starts{};
        for (int side = 1; side <= 3; ++side)
            starts[static_cast<std::size_t>(side - 1)] = firstDrawWhere([side](std::uint32_t draw) {
                return std::min(static_cast<int>(drawnProbability(draw) * 4.0f), 3) >= side;
            });
        return starts;
    }();
    // The parents lie far apart in a large list and the cache misses on their records would
    // otherwise dominate the loop, so each record is fetched a few seeds ahead.
    constexpr std::size_t FetchAhead = 8;
    const Plant *const plants = s.plants.data();
    const std::size_t parentCount = parents.size();
    for (std::size_t k = 0; k < parentCount; ++k) {
        if (k + FetchAhead < parentCount)
            __builtin_prefetch(&plants[parents[k + FetchAhead]].cellX);
        const std::uint32_t parent = parents[k];
        const std::uint32_t draw = randomChooseNewPlantGrowSide.next(ProbabilityDraws);
        const auto side = static_cast<std::size_t>(draw >= sideStarts[0]) +
                          static_cast<std::size_t>(draw >= sideStarts[1]) +
                          static_cast<std::size_t>(draw >= sideStarts[2]);
        const int x = plants[parent].cellX + SideX[side];
        const int y = plants[parent].cellY + SideY[side];
        if (!t.isSeedCell(x, y))
            continue;
        const math::Vector3f point = randomPointInCell(x, y);
        if (t.isAboveBase(point))
            placements[placed++] = {x, y, point};
    }

    const std::vector<std::int32_t> &cells = t.plantableCells();
    if (!cells.empty()) {
        const DrawBound cellBound(static_cast<std::uint32_t>(cells.size()));
        for (std::size_t k = 0; k < anywhere; ++k) {
            const std::int32_t cell = cells[randomPositionOfNewPlantsAnywhere.next(cellBound)];
            const int x = cell % t.width();
            const int y = cell / t.width();
            const math::Vector3f point = randomPointInCell(x, y);
            if (t.isAboveBase(point))
                placements[placed++] = {x, y, point};
        }
    }
    placements.resize(placed);

    const DrawBound lifeSpan = lifeSpanBound(s);
    for (const Placement &p : placements)
        s.plants.push_back(constructPlant(s, p.x, p.y, p.point, lifeSpan));
}

Plant EcosystemSimulation::constructPlant(const Species &s, int x, int y, const math::Vector3f &point)
{
    return constructPlant(s, x, y, point, lifeSpanBound(s));
}

DrawBound EcosystemSimulation::lifeSpanBound(const Species &s)
{
    const int span = s.maxAge - s.fullSizeAge;
    return DrawBound(span > 0 ? static_cast<std::uint32_t>(span) : 0);
}

Plant EcosystemSimulation::constructPlant(const Species &s, int x, int y, const math::Vector3f &point,
                                          const DrawBound &lifeSpan)
{
    // The record keeps a cell in 16 bits, which holds every cell of the terrain.
    static_assert(TerrainModel::GridSize <= std::numeric_limits<std::int16_t>::max());
    Plant p;
    p.species = static_cast<std::int8_t>(s.index);
    p.id = ++plantIdCounter_;
    p.cellX = static_cast<std::int16_t>(x);
    p.cellY = static_cast<std::int16_t>(y);
    p.position = point;
    if (terrain_) {
        const TerrainModel &t = *terrain_;
        const auto index = static_cast<std::size_t>(t.index(x, y));
        p.slope = sampleMap(t.slope(), index);
        p.moisture = sampleMap(t.moisture(), index);
        p.sunniness = sampleMap(t.sunniness(), index);
        p.windiness = sampleMap(t.windiness(), index);
        p.relativeHeight = (point.y / t.heightRange() - t.baseLevel()) / (1.0f - t.baseLevel());
    }
    // A species whose plants all live to fullSizeAge draws nothing.
    const std::uint32_t extra = randomTimeOfDeath.next(lifeSpan);
    p.timeOfDeath = static_cast<float>(static_cast<long long>(s.fullSizeAge) + extra);
    p.prodornost = prodornost(s, p.slope, p.moisture, p.sunniness, p.windiness, p.relativeHeight);
    return p;
}

float EcosystemSimulation::prodornost(const Species &s, float slope, float moisture, float sunniness,
                                      float windiness, float relativeHeight)
{
    const float stress = slope * s.slopeSensitivity;
    const auto slopeFactor =
        static_cast<float>(1.0 - static_cast<double>(stress) * static_cast<double>(stress));
    const double vigour = static_cast<double>(slopeFactor) * clampedSuitability(s.moistureBand, moisture) *
                          clampedSuitability(s.sunninessBand, sunniness) *
                          clampedSuitability(s.windinessBand, windiness) *
                          clampedSuitability(s.heightBand, relativeHeight);
    const auto result = static_cast<float>(vigour);
    // Only a terrain sample far outside the maps' ranges could push this below 0 or make it NaN;
    // a plant's vigour is never negative.
    return result >= 0.0f ? result : 0.0f;
}

void EcosystemSimulation::growPhase()
{
    growPlants([](const Plant &) {});
}

template <typename Grown> void EcosystemSimulation::growPlants(Grown &&grown)
{
    for (Species &s : species_) {
        const float ageFactor =
            largestMaxAge_ > 0 ? static_cast<float>(s.maxAge) / static_cast<float>(largestMaxAge_) : 0.0f;
        // The species' values in locals: the stores to the plants could otherwise overwrite them
        // as far as the compiler can tell, and it would read them again for every plant.
        const std::int32_t maturityAge = s.maturityAge;
        const std::int32_t fullSizeAge = s.fullSizeAge;
        const float sizeAtMaturity = s.sizeAtMaturity;
        const float fullHeight = s.fullHeight;
        // The yearly growth before and after maturity, divided once here rather than for every
        // plant; a division by zero is never used, since no plant's age then falls in that span.
        const float youngGrowth = sizeAtMaturity / static_cast<float>(maturityAge);
        const float matureGrowth = (1.0f - sizeAtMaturity) /
                                   static_cast<float>(static_cast<std::int64_t>(fullSizeAge) - maturityAge);
        float seedProduction = static_cast<float>(1.0 / static_cast<double>(s.seedRate));
        for (Plant &p : s.plants) {
            if (p.dominated) {
                const float weakened = p.prodornost - 1.0f;
                p.prodornost = weakened > 0.0f ? weakened : 0.0f;
            } else {
                if (p.age < maturityAge)
                    p.size += youngGrowth;
                else if (p.age < fullSizeAge)
                    p.size += matureGrowth;
                p.height = fullHeight * p.size;
                if (!(p.prodornost >= 0.0f))
                    p.prodornost = 0.0f;
                p.strength = p.prodornost * p.size * ageFactor;
                if (p.age >= maturityAge)
                    seedProduction += p.strength;
            }
            p.age = static_cast<std::int16_t>(p.age + (p.age < Plant::MaxAge));
            grown(p);
        }
        s.seedProduction = seedProduction;
    }
}

void EcosystemSimulation::growAndStagePhase()
{
    // The grid is staged from each plant as it has grown, while its record is at hand.
    PlantGrid::Staging staging = grid_.beginRebuild(species_);
    growPlants([&staging](const Plant &p) { staging.stage(p); });
    grid_.finishRebuild(staging);
}

void EcosystemSimulation::killPhase()
{
    grid_.rebuild(species_);
    decideDeaths();
}

void EcosystemSimulation::decideDeaths()
{
    const Clock::time_point start = Clock::now();
    deathRules_.decide(species_, statistics_);
    decisionTime_ += Clock::now() - start;
}

SeedVector EcosystemSimulation::getSeeds() const
{
    const DeathRules &d = deathRules_;
    return {randomGrowClose.state(),
            randomChooseNearPlant.state(),
            randomChooseNewPlantGrowSide.state(),
            randomPositionOfNewPlantsAnywhere.state(),
            random3dPositionOfNewPlantsI.state(),
            random3dpositionsOfNewPlantsJ.state(),
            d.randomDeathBecauseOfBeingDominated.state(),
            d.randomDeathBecauseOfBadHeight.state(),
            d.randomDeathBecauseOfBadMoisture.state(),
            d.randomDeathBecauseOfBadSunniness.state(),
            d.randomDeathBecauseOfBadWindiness.state(),
            d.randomDeathBecauseOfBadSlope.state(),
            randomTimeOfDeath.state()};
}

SimulationOutcome EcosystemSimulation::setSeeds(const SeedVector &seeds)
{
    if (seeds.size() < SeedVectorSize)
        return SimulationOutcome::failure("expected " + std::to_string(SeedVectorSize) +
                                          " generator seeds, got " + std::to_string(seeds.size()));
    DeathRules &d = deathRules_;
    const std::array<RandomGenerator *, SeedVectorSize> generators = {
        &randomGrowClose,
        &randomChooseNearPlant,
        &randomChooseNewPlantGrowSide,
        &randomPositionOfNewPlantsAnywhere,
        &random3dPositionOfNewPlantsI,
        &random3dpositionsOfNewPlantsJ,
        &d.randomDeathBecauseOfBeingDominated,
        &d.randomDeathBecauseOfBadHeight,
        &d.randomDeathBecauseOfBadMoisture,
        &d.randomDeathBecauseOfBadSunniness,
        &d.randomDeathBecauseOfBadWindiness,
        &d.randomDeathBecauseOfBadSlope,
        &randomTimeOfDeath,
    };
    for (std::size_t k = 0; k < SeedVectorSize; ++k)
        generators[k]->setState(seeds[k]);
    return SimulationOutcome::success();
}

SimulationOutcome EcosystemSimulation::save(const std::string &path) const
{
    return save(path, std::cout, std::cerr);
}

SimulationOutcome EcosystemSimulation::load(const std::string &path)
{
    return load(path, std::cout, std::cerr);
}

SimulationOutcome EcosystemSimulation::save(const std::string &path, std::ostream &out,
                                            std::ostream &err) const
{
    return SimulationFile::save(*this, path, out, err);
}

SimulationOutcome EcosystemSimulation::load(const std::string &path, std::ostream &out, std::ostream &err)
{
    return SimulationFile::load(*this, path, out, err);
}

} // namespace ecosystem
