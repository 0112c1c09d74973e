#include "simulationtestsupport.h"

#include "ecosystem/simulation/autosave.h"
#include "ecosystem/simulation/randomgenerator.h"
#include "ecosystem/simulation/speciestable.h"

#include <gtest/gtest.h>

using ecosystem::Plant;
using ecosystem::Species;
using simulationtest::World;

namespace {

// A plant of the species in the middle of the default plant area, built as the add phase builds it.
Plant plantAt(World &w, int species, int x, int y)
{
    const Species &s = w.simulation.species()[static_cast<std::size_t>(species)];
    return w.simulation.constructPlant(s, x, y, w.terrain.vertex(x, y));
}

} // namespace

TEST(Prodornost, isTheProductOfSlopeFactorAndSuitabilitiesFullAboveTheOptimumFallingBelowTheTolerance)
{
    const ecosystem::ToleranceBand band{0.6f, 0.3f, 0.3f, 0.5f};
    EXPECT_EQ(band.suitability(5.0f), 1.0f);
    EXPECT_EQ(band.suitability(0.3f), 1.0f);
    EXPECT_FLOAT_EQ(band.suitability(0.2f), 1.0f - 0.4f * 0.5f);
    EXPECT_EQ((ecosystem::ToleranceBand{0.5f, 0.1f, 0.3f, 5.0f}.suitability(0.0f)), 0.0f);
    const Species maple = ecosystem::defaultSpeciesTable()[2];
    // Moisture 0.1 lies 0.5 below the optimum 0.6 (tolerance 0.3): suitability 1 - 0.5 x 0.5.
    const float v = ecosystem::EcosystemSimulation::prodornost(maple, 0.5f, 0.1f, 0.7f, 0.2f, 0.5f);
    EXPECT_FLOAT_EQ(v, static_cast<float>(1.0 - 0.025 * 0.025) * (1.0f - 0.5f * 0.5f));
    EXPECT_EQ(ecosystem::EcosystemSimulation::prodornost(maple, 0.0f, 0.6f, 0.65f, 0.0f, 0.2f), 1.0f);
}

TEST(SimulationStep, firstStepCreatesTheSpeciesAndPlacesOnlySeedsThatGrowAnywhere)
{
    World w;
    EXPECT_EQ(w.simulation.step(), -1);
    EXPECT_TRUE(w.simulation.species().empty());
    w.simulation.simulateStep();
    EXPECT_TRUE(w.simulation.isInitialised());
    EXPECT_EQ(w.simulation.step(), 1);
    ASSERT_EQ(w.simulation.species().size(), 5u);
    EXPECT_EQ(w.simulation.neighbourhoodRadius(), 1);
    EXPECT_EQ(w.simulation.largestMaxAge(), 250);

    // Each species owed 5 seeds; a seed grows anywhere when its growClose draw is ≥ 0.8, and with no
    // parent yet every other seed is lost.
    ecosystem::RandomGenerator growClose(1);
    std::uint32_t nextId = 1;
    int total = 0;
    for (const Species &s : w.simulation.species()) {
        int anywhere = 0;
        for (int seed = 0; seed < 5; ++seed)
            if (!(0.8f > static_cast<float>(growClose.next(100000)) / 100000.0f))
                ++anywhere;
        EXPECT_EQ(static_cast<int>(s.plants.size()), anywhere) << "species " << s.index;
        EXPECT_EQ(s.seedBudget, 0.0f);
        EXPECT_FLOAT_EQ(s.seedProduction, 0.2f);
        for (const Plant &p : s.plants) {
            EXPECT_EQ(p.id, nextId++);
            EXPECT_EQ(p.age, 1);
            EXPECT_FLOAT_EQ(p.size, s.sizeAtMaturity / static_cast<float>(s.maturityAge));
            EXPECT_TRUE(w.terrain.isSeedCell(p.cellX, p.cellY));
            EXPECT_GE(p.timeOfDeath, static_cast<float>(s.fullSizeAge));
            EXPECT_LT(p.timeOfDeath, static_cast<float>(s.maxAge));
            EXPECT_GE(p.prodornost, 0.0f);
            EXPECT_LE(p.prodornost, 1.0f);
        }
        total += anywhere;
    }
    EXPECT_EQ(w.simulation.statistics().nrPlants(), total);
    EXPECT_EQ(w.simulation.statistics().livingSeries().size(), 5u);
    EXPECT_EQ(w.simulation.statistics().logLine().rfind("@1:", 0), 0u);
    EXPECT_NE(w.simulation.statistics().logLine().find(" nrPlants=" + std::to_string(total)),
              std::string::npos);

    // A species without plants is owed one seed per step.
    Species &bushes = w.simulation.species()[0];
    bushes.plants.clear();
    w.simulation.growPhase();
    EXPECT_FLOAT_EQ(bushes.seedProduction * bushes.seedRate, 1.0f);
}

TEST(SimulationStep, seedsGoToTheCellOfTheSideDrawAreLostOutsideThePlantAreaAndNeedPlantableCells)
{
    World w;
    w.simulation.initialise();
    auto seeds = w.simulation.getSeeds();
    seeds[ecosystem::GrowClose] = 0;              // every seed grows close
    seeds[ecosystem::ChooseNewPlantGrowSide] = 0; // every side draw is 0: the cell above
    ASSERT_TRUE(w.simulation.setSeeds(seeds).ok);
    Species &bush = w.simulation.species()[0];
    bush.plants.push_back(plantAt(w, 0, 50, 50));
    w.simulation.addPhase(bush); // 5 seeds, all to the only parent, which is drawn each time
    ASSERT_EQ(bush.plants.size(), 6u);
    for (std::size_t i = 1; i < 6; ++i) {
        EXPECT_EQ(bush.plants[i].cellX, 50);
        EXPECT_EQ(bush.plants[i].cellY, 49);
        // Each child has its own point inside the cell.
        const math::Vector3f &at = bush.plants[i].position;
        EXPECT_GE(at.x, 50 * 25.0f);
        EXPECT_LE(at.x, 51 * 25.0f);
        EXPECT_GE(at.z, 49 * 25.0f);
        EXPECT_LE(at.z, 50 * 25.0f);
        if (i > 1) {
            EXPECT_NE(at, bush.plants[i - 1].position);
        }
    }
    // A willow on the upper edge of the plant area: the cell above lies outside, the seeds are lost.
    Species &willow = w.simulation.species()[1];
    willow.plants.push_back(plantAt(w, 1, 50, w.terrain.lupaMinY()));
    w.simulation.addPhase(willow);
    EXPECT_EQ(willow.plants.size(), 1u);
    EXPECT_EQ(willow.seedBudget, 0.0f);

    w.terrain.setLupaMaxX(w.terrain.lupaMinX());
    ASSERT_TRUE(w.terrain.plantableCells().empty());
    const auto before = w.simulation.getSeeds();
    Species &pine = w.simulation.species()[3];
    w.simulation.addPhase(pine);
    EXPECT_TRUE(pine.plants.empty());
    EXPECT_EQ(w.simulation.getSeeds()[ecosystem::PositionOfNewPlantsAnywhere],
              before[ecosystem::PositionOfNewPlantsAnywhere]);
}

TEST(GrowPhase, bushReachesSizeAtMaturityAfterThreeStepsAndFullSizeAfterTen)
{
    World w;
    w.simulation.initialise();
    Species &bush = w.simulation.species()[0];
    bush.plants.push_back(plantAt(w, 0, 40, 40));
    std::vector<float> sizes;
    for (int i = 0; i < 12; ++i) {
        w.simulation.growPhase();
        sizes.push_back(bush.plants[0].size);
    }
    EXPECT_FLOAT_EQ(sizes[0], 0.8f / 3.0f);
    EXPECT_FLOAT_EQ(sizes[2], 0.8f);
    EXPECT_FLOAT_EQ(sizes[3], 0.8f + 0.2f / 7.0f);
    EXPECT_FLOAT_EQ(sizes[9], 1.0f);
    EXPECT_EQ(sizes[11], sizes[9]);
    const Plant &p = bush.plants[0];
    EXPECT_EQ(p.age, 12);
    EXPECT_FLOAT_EQ(p.height, bush.fullHeight * p.size);
    EXPECT_FLOAT_EQ(p.strength, p.prodornost * p.size * (25.0f / 250.0f));
    // Mature plants add their strength to next step's seeds.
    EXPECT_FLOAT_EQ(bush.seedProduction, 0.2f + p.strength);
}

TEST(KillPhase, ageAtTheTimeOfDeathOrVigourOfPointOneKillsWithoutADominationDraw)
{
    World w;
    w.simulation.initialise();
    Species &pine = w.simulation.species()[3];
    Plant old = plantAt(w, 3, 40, 40);
    old.age = 210;
    old.timeOfDeath = 210.0f;
    old.strength = 0.1f;
    old.height = 2.0f;
    Plant giant = old; // stronger and overlapping: would dominate the old plant
    giant.id = old.id + 1000;
    giant.age = 10;
    giant.strength = 1.0f;
    giant.position.x += 1.0f;
    pine.plants = {old, giant};
    // A vigour of exactly 0.1 is weakness.
    Species &maple = w.simulation.species()[2];
    maple.plants = {plantAt(w, 2, 30, 30), plantAt(w, 2, 60, 60)};
    maple.plants[0].prodornost = 0.1f;
    maple.plants[1].prodornost = 0.11f;
    const auto before = w.simulation.getSeeds();
    w.simulation.killPhase();
    ASSERT_EQ(pine.plants.size(), 1u);
    EXPECT_EQ(pine.plants[0].id, giant.id);
    ASSERT_EQ(maple.plants.size(), 1u);
    EXPECT_EQ(maple.plants[0].prodornost, 0.11f);
    EXPECT_EQ(w.simulation.statistics().weaknessDeaths(), 2);
    EXPECT_EQ(w.simulation.statistics().dominationDeaths(), 0);
    // The giant, alone after the old plant's removal, is not dominated: no domination draw at all.
    EXPECT_EQ(w.simulation.getSeeds()[ecosystem::DeathBecauseOfBeingDominated],
              before[ecosystem::DeathBecauseOfBeingDominated]);
    EXPECT_FALSE(pine.plants[0].dominated);
    EXPECT_TRUE(w.simulation.grid().idsInCell(40, 40) == std::vector<std::uint32_t>{giant.id});
}

TEST(AutoSave, isDueEveryIntervalOnceOneIsSetAndNamesTheFileByTheStep)
{
    ecosystem::AutoSave autosave;
    EXPECT_FALSE(autosave.isDue(30)); // off until an interval is set
    autosave.setInterval(30);
    EXPECT_TRUE(autosave.isDue(30));
    EXPECT_TRUE(autosave.isDue(60));
    EXPECT_FALSE(autosave.isDue(31));
    EXPECT_EQ(ecosystem::AutoSave::fileName(120), "120.sim");
    autosave.setInterval(0);
    EXPECT_FALSE(autosave.isDue(30));
}

TEST(KillPhase, dominatedPineSurvivesItsDrawStopsGrowingLosesVigourAndDiesOfWeaknessWithoutIt)
{
    World w;
    w.simulation.initialise();
    Species &pine = w.simulation.species()[3];
    Plant small = plantAt(w, 3, 40, 40);
    small.prodornost = 1.5f;
    small.size = 0.5f;
    small.height = 1.15f;
    small.strength = 0.1f;
    small.age = 100;
    small.timeOfDeath = 240.0f;
    Plant tall = small;
    tall.id = small.id + 1;
    tall.size = 1.0f;
    tall.height = 2.3f;
    tall.strength = 1.0f;
    tall.position.x += 1.0f;
    pine.plants = {small, tall};

    // The first draw from the default state 7 is 0.83483, above the pine's 0.01: it survives.
    w.simulation.killPhase();
    ASSERT_EQ(pine.plants.size(), 2u);
    EXPECT_TRUE(pine.plants[0].dominated);
    EXPECT_FALSE(pine.plants[1].dominated);
    // A dominated plant does not grow and loses one of vigour, never going below zero.
    w.simulation.growPhase();
    EXPECT_FLOAT_EQ(pine.plants[0].prodornost, 0.5f);
    EXPECT_EQ(std::tuple(pine.plants[0].size, pine.plants[0].age, pine.plants[0].strength),
              std::tuple(0.5f, 101, 0.1f));
    w.simulation.growPhase();
    EXPECT_EQ(pine.plants[0].prodornost, 0.0f);
    w.simulation.killPhase();
    ASSERT_EQ(pine.plants.size(), 1u);
    EXPECT_EQ(pine.plants[0].id, tall.id);
    EXPECT_EQ(w.simulation.statistics().weaknessDeaths(), 1);
    EXPECT_EQ(w.simulation.statistics().dominationDeaths(), 0);
}
