#include "ecosystem/simulation/deathrules.h"
#include "ecosystem/simulation/probabilitydraw.h"
#include "ecosystem/simulation/speciestable.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <set>
#include <vector>

using namespace ecosystem;

namespace {

// Death rules over a hand-made set of plants on a 100 × 100 grid of 25 m cells.
struct Scene {
    std::vector<Species> species = defaultSpeciesTable();
    PlantGrid grid{100, 100};
    DeathRules rules;
    SimulationStatistics statistics;
    std::uint32_t nextId = 1;

    Scene()
    {
        rules.bind(grid, species);
        rules.setNeighbourhoodRadius(DeathRules::computeNeighbourhoodRadius(species, 25.0f));
    }

    // A plant of size 0.5, vigour 1 and time of death 100 whose samples (slope 0, moisture 0.7,
    // sunniness 0.7, windiness 0.1, relative height 0.5) lie inside every band of every default
    // species, so that only the slope test draws.
    Plant &add(int s, int cellX, int cellY, float x, float z, float height, float strength)
    {
        auto &plants = species[static_cast<std::size_t>(s)].plants;
        return plants.emplace_back(Plant{.species = static_cast<std::int8_t>(s),
                                         .id = nextId++,
                                         .size = 0.5f,
                                         .height = height,
                                         .cellX = static_cast<std::int16_t>(cellX),
                                         .cellY = static_cast<std::int16_t>(cellY),
                                         .position = math::Vector3f(x, 10.0f, z),
                                         .prodornost = 1.0f,
                                         .strength = strength,
                                         .moisture = 0.7f,
                                         .sunniness = 0.7f,
                                         .windiness = 0.1f,
                                         .relativeHeight = 0.5f,
                                         .timeOfDeath = 100.0f});
    }
    void index() { grid.rebuild(species); }
    Plant &plant(int s, std::size_t i) { return species[static_cast<std::size_t>(s)].plants[i]; }
    // Whether the plant dies of domination, and the dominated flag that the question leaves on it.
    std::pair<bool, bool> dominated(int s, std::size_t i)
    {
        const bool dies = rules.isDominated(plant(s, i), grid.entryOf(s, i));
        return {dies, plant(s, i).dominated};
    }
    bool shouldDie(int s, std::size_t i)
    {
        return rules.shouldDie(plant(s, i), grid.entryOf(s, i), statistics);
    }
};

struct Crowd {
    const char *name;
    unsigned seed;
    int plants;
    float side;        // metres of the square they stand in
    float doomedShare; // of plants past their time of death or too weak
};

// Fills a scene with plants of every species at random places, heights and strengths, some
// sharing a strength, some doomed, and makes domination deaths common so that earlier deaths
// change later decisions.
void fill(Scene &scene, const Crowd &crowd)
{
    std::mt19937 random(crowd.seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (Species &s : scene.species)
        s.dominatedDeathProbability = 0.5f;
    for (int i = 0; i < crowd.plants; ++i) {
        const float x = 250.0f + unit(random) * crowd.side;
        const float z = 250.0f + unit(random) * crowd.side;
        const float height = unit(random) < 0.2f ? 0.6f + 1.7f * unit(random) : 0.4f * unit(random);
        const float strength = unit(random) < 0.1f ? 0.25f : unit(random);
        Plant &p = scene.add(static_cast<int>(random() % 5), static_cast<int>(x / 25.0f),
                             static_cast<int>(z / 25.0f), x, z, height, strength);
        if (unit(random) < crowd.doomedShare)
            p.prodornost = 0.05f;
    }
    scene.index();
}

} // namespace

TEST(CrownsOverlap, touchingCrownsDoNotOverlapAndCloserOnesDo)
{
    const Plant a{.height = 1.5f, .position = {100.0f, 0.0f, 100.0f}};
    const std::pair<math::Vector3f, bool> others[] = {
        {{100.0f, 0.0f, 104.0f}, false},
        {{100.0f, 0.0f, 103.999f}, true},
        {{103.0f, 0.0f, 100.0f}, true},   // 3-4-5 with the heights
        {{103.0f, 4.0f, 100.0f}, false}}; // distance 5
    for (const auto &[position, overlap] : others)
        EXPECT_EQ(DeathRules::crownsOverlap(a, Plant{.height = 2.5f, .position = position}), overlap)
            << position.x << ',' << position.y << ',' << position.z;
    // The default species search the three by three window.
    EXPECT_EQ(DeathRules::computeNeighbourhoodRadius(defaultSpeciesTable(), 25.0f), 1);
}

TEST(Domination, equalStrengthsDominateEachOtherAndTheDrawComparesWithTheSpeciesChance)
{
    Scene s;
    s.add(3, 10, 10, 260.0f, 260.0f, 2.0f, 0.5f);
    s.add(3, 10, 10, 263.9f, 260.0f, 2.0f, 0.5f); // overlapping (at 264 the crowns would touch)
    s.add(0, 20, 20, 510.0f, 510.0f, 1.0f, 1.0f); // bush, 0.05 × 1.0 = 0.05
    s.add(3, 20, 20, 511.0f, 510.0f, 2.0f, 0.5f); // pine, 0.6 × 0.5 = 0.3
    s.index();
    // Each dominated plant draws once; plants that are not dominated never draw (see the window test).
    auto &draws = s.rules.randomDeathBecauseOfBeingDominated;
    RandomGenerator expected(draws.state());
    EXPECT_TRUE(s.dominated(3, 0).second);
    EXPECT_TRUE(s.dominated(3, 1).second);
    expected.next(100000);
    expected.next(100000);
    EXPECT_EQ(draws.state(), expected.state());

    // The weaker neighbour does not dominate.
    EXPECT_EQ(s.dominated(3, 2), std::pair(false, false));
    // From state 1 the first draw is 69069: u = 0.69069, above the bush's 0.08: it survives.
    draws.setState(1);
    EXPECT_EQ(s.dominated(0, 0), std::pair(false, true));
    // State 0 always draws 0: u = 0 < 0.08: it dies.
    draws.setState(0);
    EXPECT_TRUE(s.dominated(0, 0).first);
}

TEST(Domination,
     theWindowIsClippedAtTheGridBordersCountsCellsReachesTallNeighboursAndAPlantAloneIsNeverDominated)
{
    Scene s;
    s.add(2, 0, 0, 1.0f, 1.0f, 1.0f, 0.1f);         // corner plant
    s.add(2, 1, 0, 2.0f, 1.0f, 1.0f, 0.9f);         // in the window, overlapping
    s.add(2, 99, 99, 2490.0f, 2490.0f, 1.0f, 0.1f); // opposite corner
    s.add(2, 97, 99, 2490.5f, 2490.0f, 1.0f, 0.9f); // overlapping, but its cell is outside the window
    s.add(2, 50, 50, 1260.0f, 1260.0f, 1.5f, 0.2f).dominated = true; // alone, flagged in an earlier step
    // A plant of height 1 and, 20 m away, a stronger one of height 20: their crowns overlap, so the
    // search must reach past the small plant's own height.
    s.add(3, 4, 4, 112.5f, 112.5f, 20.0f, 5.0f);
    s.add(3, 4, 4, 132.5f, 112.5f, 1.0f, 1.0f);
    s.index();
    EXPECT_TRUE(s.dominated(2, 0).second);
    EXPECT_TRUE(s.dominated(3, 1).second);
    EXPECT_EQ(s.dominated(3, 0), std::pair(false, false));
    const auto before = s.rules.randomDeathBecauseOfBeingDominated.state();
    for (const std::size_t alone : {2u, 4u})
        EXPECT_EQ(s.dominated(2, alone), std::pair(false, false)) << alone;
    EXPECT_EQ(s.rules.randomDeathBecauseOfBeingDominated.state(), before);
}

TEST(ShouldDie, ageAtTheTimeOfDeathOrVigourOfPointOneKillAndRemovedPlantsNoLongerDominateLaterDecisions)
{
    Scene s;
    s.add(3, 10, 10, 260.0f, 260.0f, 2.0f, 1.0f).age = 100; // time of death reached
    s.add(3, 10, 10, 261.0f, 260.0f, 2.0f, 0.5f);
    s.add(2, 30, 30, 760.0f, 760.0f, 1.0f, 0.5f).prodornost = 0.1f; // a vigour of exactly 0.1 is weakness
    s.add(2, 60, 60, 1510.0f, 1510.0f, 1.0f, 0.5f).prodornost = 0.11f;
    s.index();
    EXPECT_TRUE(s.shouldDie(3, 0));
    EXPECT_FALSE(s.shouldDie(3, 1));
    EXPECT_FALSE(s.plant(3, 1).dominated);
    EXPECT_EQ(std::pair(s.shouldDie(2, 0), s.shouldDie(2, 1)), std::pair(true, false));
    EXPECT_EQ(std::pair(s.statistics.weaknessDeaths(), s.statistics.allDeaths()), std::pair(2, 2));
}

TEST(EnvironmentalTests, drawOnlyOutsideToleranceStopAtTheFirstThatFiresAndNeverKill)
{
    Scene s;
    // Willow: relative height 0.5 is far outside 0.01 ± 0.05. Everything else inside its bands.
    Plant &p = s.add(1, 10, 10, 260.0f, 260.0f, 1.0f, 0.5f);
    p.moisture = 0.5f;
    p.sunniness = 0.6f;
    p.windiness = 0.0f;
    s.index();
    auto &r = s.rules;
    auto states = [&] {
        return std::vector<unsigned long long>{
            r.randomDeathBecauseOfBadHeight.state(), r.randomDeathBecauseOfBadMoisture.state(),
            r.randomDeathBecauseOfBadSunniness.state(), r.randomDeathBecauseOfBadWindiness.state(),
            r.randomDeathBecauseOfBadSlope.state()};
    };
    const auto before = states();
    EXPECT_FALSE(s.shouldDie(1, 0));
    // Height drew once; state 8 draws 52552: u = 0.52552 ≥ 0.5, the height test does not fire, so
    // the slope test draws.
    const auto drawn = [](unsigned long long state) { return state * 69069ull % (1ull << 33); };
    EXPECT_EQ(states(), (std::vector{drawn(before[0]), before[1], before[2], before[3], drawn(before[4])}));

    // A test that fires stops the later ones, slope included, and the plant still lives.
    s.species[1].heightBand.deathProbability = 1.0f;
    const auto firing = states();
    EXPECT_EQ(r.runEnvironmentalTests(p, s.species[1]), DeathRules::EnvironmentalTest::Height);
    EXPECT_NE(states()[0], firing[0]);
    EXPECT_EQ(states()[4], firing[4]);
    EXPECT_FALSE(s.shouldDie(1, 0));
    EXPECT_EQ(s.statistics.allDeaths(), 0);

    // A sample that is not a number counts as outside the band.
    p.relativeHeight = std::numeric_limits<float>::quiet_NaN();
    s.species[1].heightBand.deathProbability = 0.0f;
    const auto nan = states();
    EXPECT_EQ(r.runEnvironmentalTests(p, s.species[1]), DeathRules::EnvironmentalTest::None);
    EXPECT_NE(states()[0], nan[0]);
}

TEST(ProbabilityDraw, aBoundOnTheDrawsAgreesWithTheDividedDrawForEveryDraw)
{
    // Probabilities on and between drawn values, at and beyond the ends, and one that is not a number.
    const float probabilities[] = {0.0f,     1e-5f, 0.3f, 0.52552f, 0.525521f,
                                   0.99999f, 1.0f,  2.0f, -1.0f,    std::numeric_limits<float>::quiet_NaN()};
    for (const float p : probabilities) {
        const std::uint32_t bound = drawsBelow(p);
        for (std::uint32_t d = 0; d < ProbabilityDraws; ++d)
            ASSERT_EQ(p > drawnProbability(d), d < bound) << p << " at draw " << d;
    }
}

TEST(PlantGrid, findsNeighboursOutsideTheTerrainForgetsRemovedOnesAndKnowsTheTallestOfTheLastRebuild)
{
    Scene s;
    s.add(4, 0, 0, -3.0f, -40.0f, 2.0f, 0.1f); // a loaded plant placed off the terrain
    s.add(4, 0, 0, -1.5f, -40.5f, 2.0f, 0.9f);
    s.add(1, 3, 1, 87.5f, 37.5f, 7.5f, 1.0f);
    s.add(1, -1, 1, -12.5f, 37.5f, 100.0f, 1.0f); // its cell lies off the grid: not registered
    s.index();
    EXPECT_EQ(std::tuple(s.grid.size(), s.grid.largestHeight()), std::tuple(3u, 7.5f));
    EXPECT_EQ(s.grid.idsInCell(0, 0), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_TRUE(s.dominated(4, 0).second);

    s.grid.remove(s.grid.entryOf(4, 1));
    EXPECT_EQ(std::tuple(s.grid.size(), s.grid.idsInCell(0, 0)),
              std::tuple(2u, std::vector<std::uint32_t>{1}));
    EXPECT_FALSE(s.dominated(4, 0).second);

    s.species[1].plants.clear();
    s.index();
    EXPECT_EQ(s.grid.largestHeight(), 2.0f);
}

TEST(DominationSurvey, decidesExactlyAsFullScansAndThePairwiseRuleDo)
{
    const Crowd crowds[] = {
        {"crowded across cell borders", 3, 2000, 30.0f, 0.5f},
        {"none doomed", 4, 1200, 40.0f, 0.0f},
    };
    for (const Crowd &crowd : crowds) {
        SCOPED_TRACE(crowd.name);
        Scene surveyed, scanned;
        fill(surveyed, crowd);
        fill(scanned, crowd);
        surveyed.rules.surveyDomination();
        // The rule itself, every pair compared: a living plant in the window, of at least the
        // weighted strength, whose crown overlaps.
        std::set<const Plant *> gone;
        const auto weighted = [&](const Plant &p) {
            return surveyed.species[static_cast<std::size_t>(p.species)].competitiveness * p.strength;
        };
        const int radius = surveyed.rules.neighbourhoodRadius();
        const auto dominatedByRule = [&](const Plant &p) {
            for (const Species &species : surveyed.species)
                for (const Plant &q : species.plants)
                    if (&q != &p && !gone.contains(&q) && std::abs(q.cellX - p.cellX) <= radius &&
                        std::abs(q.cellY - p.cellY) <= radius && weighted(q) >= weighted(p) &&
                        DeathRules::crownsOverlap(p, q))
                        return true;
            return false;
        };
        for (int s = 0; s < 5; ++s)
            for (std::size_t i = 0; i < surveyed.species[static_cast<std::size_t>(s)].plants.size(); ++i) {
                const Plant &p = surveyed.plant(s, i);
                const bool decidesDomination = !diesOfAgeOrWeakness(p);
                const bool byRule = decidesDomination && dominatedByRule(p);
                const bool died = surveyed.shouldDie(s, i);
                ASSERT_EQ(died, scanned.shouldDie(s, i));
                ASSERT_EQ(p.dominated, scanned.plant(s, i).dominated);
                if (decidesDomination) {
                    ASSERT_EQ(p.dominated, byRule);
                }
                if (died)
                    gone.insert(&p);
            }
        EXPECT_GT(surveyed.statistics.dominationDeaths(), crowd.plants / 20);
        EXPECT_EQ(surveyed.statistics.allDeaths(), static_cast<int>(gone.size()));
        EXPECT_EQ(surveyed.rules.randomDeathBecauseOfBeingDominated.state(),
                  scanned.rules.randomDeathBecauseOfBeingDominated.state());
    }
}
