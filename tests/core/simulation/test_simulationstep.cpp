#include "simulationtestsupport.h"

#include "ecosystem/simulation/randomgenerator.h"
#include "ecosystem/simulation/seedvector.h"
#include "ecosystem/simulation/speciestable.h"
#include "ecosystem/simulation/statisticscsv.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

using namespace ecosystem;
using namespace testsupport;
using simulationtest::World;

namespace {

// A plant of the species, built as the add phase builds it.
Plant plantAt(World &w, int species, int x, int y)
{
    const Species &s = w.simulation.species()[static_cast<std::size_t>(species)];
    return w.simulation.constructPlant(s, x, y, w.terrain.vertex(x, y));
}

// Loads the file into the world: whether it worked, and what went to standard output and error.
std::tuple<bool, std::string, std::string> load(World &w, const std::string &path)
{
    std::ostringstream out, err;
    return {w.simulation.load(path, out, err).ok, out.str(), err.str()}; // a braced list runs in order
}

// Five seed budgets, the thirteen generator states and a plant area other than the default one.
const std::string budgetsAndStates =
    "0\t0\t0\t0\t0\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t\n40\t50\t30\t45\n";

// Damaged values for fields of a valid file (step 6, species 0 with at least one plant): line, field
// (the whole line when -1), lines counted from the end when negative, and the value put there.
const std::tuple<const char *, int, int, const char *> damagedFields[] = {
    {"stepThatWouldOverflow", 0, -1, "2147483647"},
    {"negativePlantCount", 2, -1, "-1"},
    {"absurdPlantCount", 2, -1, "2000000000"},
    {"cellColumnOutsideGrid", 3, 0, "100"},
    {"cellGivenAsFraction", 3, 0, "40.5"},
    {"positionNotFinite", 3, 2, "inf"},
    {"idBeyondThirtyTwoBits", 3, 5, "4294967296"},
    {"heightBeyondFullHeight", 3, 8, "40"},
    {"moistureGarbage", 3, 12, "wet"},
    {"negativeTimeOfDeath", 3, 16, "-0.5"},
    {"absurdSeedBudget", -2, 0, "1e20"},
    {"negativeGeneratorState", -2, 7, "-5"},
};

} // namespace

TEST(Prodornost, isTheProductOfSlopeFactorAndSuitabilitiesFullAboveTheOptimumFallingBelowTheTolerance)
{
    const ToleranceBand band{0.6f, 0.3f, 0.3f, 0.5f};
    EXPECT_EQ(std::pair(band.suitability(5.0f), band.suitability(0.3f)), std::pair(1.0f, 1.0f));
    EXPECT_FLOAT_EQ(band.suitability(0.2f), 1.0f - 0.4f * 0.5f);
    EXPECT_EQ((ToleranceBand{0.5f, 0.1f, 0.3f, 5.0f}.suitability(0.0f)), 0.0f);
    const Species maple = defaultSpeciesTable()[2];
    // Moisture 0.1 lies 0.5 below the optimum 0.6 (tolerance 0.3): suitability 1 - 0.5 x 0.5.
    const float v = EcosystemSimulation::prodornost(maple, 0.5f, 0.1f, 0.7f, 0.2f, 0.5f);
    EXPECT_FLOAT_EQ(v, static_cast<float>(1.0 - 0.025 * 0.025) * (1.0f - 0.5f * 0.5f));
    EXPECT_EQ(EcosystemSimulation::prodornost(maple, 0.0f, 0.6f, 0.65f, 0.0f, 0.2f), 1.0f);
}

TEST(SimulationStep, firstStepCreatesTheSpeciesAndPlacesOnlySeedsThatGrowAnywhere)
{
    World w;
    w.simulation.simulateStep();
    ASSERT_EQ(std::pair(w.simulation.step(), w.simulation.species().size()), std::pair(1, std::size_t{5}));

    // Each species owed 5 seeds; a seed grows anywhere when its growClose draw is ≥ 0.8, and with no
    // parent yet every other seed is lost.
    RandomGenerator growClose(1);
    std::uint32_t nextId = 1;
    int total = 0;
    for (const Species &s : w.simulation.species()) {
        int anywhere = 0;
        for (int seed = 0; seed < 5; ++seed)
            if (!(0.8f > static_cast<float>(growClose.next(100000)) / 100000.0f))
                ++anywhere;
        EXPECT_EQ(std::pair(static_cast<int>(s.plants.size()), s.seedBudget), std::pair(anywhere, 0.0f))
            << "species " << s.index;
        for (const Plant &p : s.plants) {
            EXPECT_EQ(std::tuple(p.id, p.age), std::tuple(nextId++, 1));
            EXPECT_TRUE(w.terrain.isSeedCell(p.cellX, p.cellY));
        }
        total += anywhere;
    }
    const auto &statistics = w.simulation.statistics();
    EXPECT_EQ(std::tuple(statistics.nrPlants(), statistics.livingSeries().size()), std::tuple(total, 5u));
    EXPECT_TRUE(statistics.logLine().starts_with("@1:")) << statistics.logLine();
}

TEST(SimulationStep, seedsGoToTheCellOfTheSideDrawAreLostOutsideThePlantAreaAndNeedPlantableCells)
{
    World w;
    w.simulation.initialise();
    auto seeds = w.simulation.getSeeds();
    // Every seed grows close, and every side draw is 0: the cell above.
    seeds[GrowClose] = seeds[ChooseNewPlantGrowSide] = 0;
    ASSERT_TRUE(w.simulation.setSeeds(seeds).ok);
    Species &bush = w.simulation.species()[0];
    bush.plants.push_back(plantAt(w, 0, 50, 50));
    w.simulation.addPhase(bush); // 5 seeds, all to the only parent, which is drawn each time
    ASSERT_EQ(bush.plants.size(), 6u);
    for (std::size_t i = 1; i < 6; ++i) {
        EXPECT_EQ(std::pair(int{bush.plants[i].cellX}, int{bush.plants[i].cellY}), std::pair(50, 49));
        // Each child has its own point inside the cell.
        const math::Vector3f &at = bush.plants[i].position;
        EXPECT_TRUE(at.x >= 50 * 25.0f && at.x <= 51 * 25.0f && at.z >= 49 * 25.0f && at.z <= 50 * 25.0f)
            << at.x << ',' << at.z;
        EXPECT_TRUE(i == 1 || at != bush.plants[i - 1].position) << i;
    }
    // A willow on the upper edge of the plant area: the cell above lies outside, the seeds are lost.
    Species &willow = w.simulation.species()[1];
    willow.plants.push_back(plantAt(w, 1, 50, w.terrain.lupaMinY()));
    w.simulation.addPhase(willow);
    EXPECT_EQ(std::pair(willow.plants.size(), willow.seedBudget), std::pair(std::size_t{1}, 0.0f));

    w.terrain.setLupaMaxX(w.terrain.lupaMinX());
    ASSERT_TRUE(w.terrain.plantableCells().empty());
    const auto before = w.simulation.getSeeds();
    Species &pine = w.simulation.species()[3];
    w.simulation.addPhase(pine);
    EXPECT_TRUE(pine.plants.empty());
    EXPECT_EQ(w.simulation.getSeeds()[PositionOfNewPlantsAnywhere], before[PositionOfNewPlantsAnywhere]);
}

TEST(GrowPhase, bushReachesSizeAtMaturityAfterThreeStepsAndFullSizeAfterTenUnlessDominated)
{
    World w;
    w.simulation.initialise();
    Species &bush = w.simulation.species()[0];
    bush.plants = {plantAt(w, 0, 40, 40), plantAt(w, 0, 42, 40)};
    // The second as the kill phase leaves a plant that it found dominated and spared: it does not
    // grow and loses one of vigour, never going below zero.
    Plant &dominated = bush.plants[1];
    dominated.dominated = true;
    dominated.prodornost = 1.5f;
    dominated.size = 0.5f;
    dominated.height = 1.0f;
    dominated.strength = 0.1f;
    std::vector<float> sizes, vigours;
    for (int i = 0; i < 12; ++i) {
        w.simulation.growPhase();
        sizes.push_back(bush.plants[0].size);
        vigours.push_back(dominated.prodornost);
    }
    EXPECT_FLOAT_EQ(sizes[0], 0.8f / 3.0f);
    EXPECT_FLOAT_EQ(sizes[2], 0.8f);
    EXPECT_FLOAT_EQ(sizes[3], 0.8f + 0.2f / 7.0f);
    EXPECT_FLOAT_EQ(sizes[9], 1.0f);
    EXPECT_EQ(sizes[11], sizes[9]);
    EXPECT_FLOAT_EQ(vigours[0], 0.5f);
    EXPECT_EQ(std::tuple(vigours[1], dominated.size, dominated.height, dominated.strength, dominated.age),
              std::tuple(0.0f, 0.5f, 1.0f, 0.1f, 12));
    const Plant &p = bush.plants[0];
    EXPECT_FLOAT_EQ(p.height, bush.fullHeight * p.size);
    EXPECT_FLOAT_EQ(p.strength, p.prodornost * p.size * (25.0f / 250.0f));
    // Mature plants that are not dominated add their strength to next step's seeds.
    EXPECT_FLOAT_EQ(bush.seedProduction, 0.2f + p.strength);
    // A plant loaded with a time of death beyond the oldest age stays at that age.
    Plant ancient = plantAt(w, 0, 41, 40);
    ancient.age = Plant::MaxAge - 1;
    ancient.timeOfDeath = 1e9f;
    bush.plants = {ancient};
    w.simulation.growPhase();
    w.simulation.growPhase();
    EXPECT_EQ(bush.plants[0].age, Plant::MaxAge);
}

TEST(KillPhase, environmentalDeathsKillExactlyThePlantsWhoseTestFiredAndOnlyWhenTurnedOn)
{
    // Three maples 75 m apart with samples inside every band and without slope, the relative height
    // inside its band 0.2 ± 0.3 (id 1) or beyond it (id 2, and id 3 at its time of death). The height
    // generator starts at 0, whose draws are 0 and fire whenever the band's death probability is above
    // 0. One kill phase with the option on, one with it off.
    World on, off;
    for (World *world : {&on, &off}) {
        EcosystemSimulation &simulation = world->simulation;
        simulation.initialise();
        simulation.setEnvironmentalDeaths(world == &on);
        auto &maples = simulation.species()[2];
        for (const auto &[relativeHeight, age] : {std::pair{0.2f, 50}, {0.9f, 50}, {0.9f, 150}}) {
            const int column = 30 + 3 * static_cast<int>(maples.plants.size());
            Plant &p = maples.plants.emplace_back(plantAt(*world, 2, column, 40));
            p.relativeHeight = relativeHeight;
            p.moisture = 0.6f;
            p.sunniness = 0.65f;
            p.windiness = 0.0f;
            p.slope = 0.0f;
            p.prodornost = 1.0f;
            p.age = static_cast<std::int16_t>(age);
            p.timeOfDeath = 150.0f;
        }
        auto seeds = simulation.getSeeds();
        seeds[DeathBecauseOfBadHeight] = 0;
        ASSERT_TRUE(simulation.setSeeds(seeds).ok);
        simulation.killPhase();
    }
    const auto survivors = [](const World &w) {
        std::vector<std::uint32_t> ids;
        for (const Plant &p : w.simulation.species()[2].plants)
            ids.push_back(p.id);
        std::ranges::sort(ids);
        return ids;
    };
    // Old age comes first and counts as weakness; the fired test kills only with the option on.
    EXPECT_EQ(survivors(on), std::vector<std::uint32_t>{1});
    EXPECT_EQ(survivors(off), (std::vector<std::uint32_t>{1, 2}));
    const auto &onDeaths = on.simulation.statistics();
    EXPECT_EQ(std::tuple(onDeaths.environmentDeaths(), onDeaths.weaknessDeaths(), onDeaths.dominationDeaths(),
                         onDeaths.allDeaths()),
              std::tuple(1, 1, 0, 2));
    const auto &offDeaths = off.simulation.statistics();
    EXPECT_EQ(std::pair(offDeaths.environmentDeaths(), offDeaths.allDeaths()), std::pair(0, 1));
    // The option decides what a fired test does, not what is drawn.
    EXPECT_EQ(on.simulation.getSeeds(), off.simulation.getSeeds());
}

TEST(SimulationStatistics, logLineHasTheExactLabelsTimeSumsSaturateAndTheCsvHoldsOneLinePerRecord)
{
    SimulationStatistics s;
    s.recordLiving({10, 20, 0, 20, 7});
    s.composeLogLine(12, 5, 1, 2, 3, 4);
    EXPECT_EQ(s.logLine(), "@12: time(render_all)=5 time(simm_all)=6 ||  time(render)=5 time(dodaj)=1 "
                           "time(zrasti)=2 time(pobij)=3 time(pobij_dominir)=4 ||  nrPlants=57");
    s.composeLogLine(13, 10, 0, 0, 1, 0);
    EXPECT_EQ(std::pair(s.renderTimeSum(), s.simulationTimeSum()), std::pair(15, 7));
    // Sums stop at the largest value instead of wrapping.
    s.composeLogLine(14, 2000000000, 0, 0, 0, 0);
    s.composeLogLine(15, 2000000000, 0, 0, 0, 0);
    EXPECT_EQ(s.renderTimeSum(), 2147483647);

    // The table has one line per record, with the last frame drawn after it, and late species aligned.
    s = SimulationStatistics();
    s.recordRendered({9, 9}); // before the first record: belongs to no line
    s.recordLiving({3, 0});
    s.recordRendered({1, 0});
    s.recordRendered({2, 0}); // the picture the first record ended with
    s.recordLiving({4, 1});   // no frame drawn after it
    s.recordLiving({2, 1});
    s.recordRendered({1, 1});
    // The rendered counts leave the living total alone; a point's x is the number of its record.
    EXPECT_EQ(std::pair(s.nrPlants(), s.livingSeries()[0][2].x), std::pair(3, 2.0));
    EXPECT_EQ(statisticsCsv(s), "step,Bush living,Bush rendered,Weeping willow living,"
                                "Weeping willow rendered\n0,3,2,0,0\n1,4,,1,\n2,2,1,1,1\n");

    SimulationStatistics late;
    late.recordLiving({}); // an empty simulation loaded: a record without species
    late.recordLiving({1000000});
    late.recordLiving({1234567, 5, 6, 7, 8, 9});
    EXPECT_EQ(statisticsCsv(late), "step,Bush living,Bush rendered,Weeping willow living,"
                                   "Weeping willow rendered,Maple living,Maple rendered,"
                                   "Pine living,Pine rendered,Beech living,Beech rendered,"
                                   "Species 5 living,Species 5 rendered\n"
                                   "0,1000000,,,,,,,,,,,\n1,1234567,,5,,6,,7,,8,,9,\n");
}

TEST(RandomGenerator, drawsKeepTheLowThirtyTwoBitsWrapThroughTheSixtyFourBitProductAndAdvanceOnlyWhenDrawing)
{
    RandomGenerator g(1);
    const std::pair<std::uint32_t, unsigned long long> draws[] = {
        {69069u, 69069u}, {59465u, 4770526761u}, {75573u, 2801775573u}}; // the second from 475559465
    for (const auto &[draw, state] : draws) {
        EXPECT_EQ(g.next(100000), draw);
        EXPECT_EQ(g.state(), state);
    }

    // A zero bound draws nothing, plain or prepared. (The plain draw chosen by select is checked where
    // the environmental tests use it.)
    RandomGenerator none(9);
    EXPECT_EQ(none.next(0) + none.next(DrawBound(0)) + none.nextIf(false, DrawBound(0)), 0u);
    EXPECT_EQ(none.state(), 9u);

    // A prepared bound gives the remainders and draws of the division.
    for (const std::uint32_t bound :
         {1u, 2u, 3u, 7u, 151u, 4096u, 100000u, 65537u, 0x7FFFFFFFu, 0x80000001u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(bound);
        const DrawBound prepared(bound);
        for (const std::uint32_t value : {0u, 1u, bound - 1u, bound, bound + 1u, 2u * bound - 1u, 0x7FFFFFFFu,
                                          0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu})
            ASSERT_EQ(prepared.remainder(value), value % bound) << value;
        RandomGenerator divided(12345), multiplied(12345), selected(12345);
        for (int i = 0; i < 2000; ++i) {
            const std::uint32_t expected = divided.next(bound);
            ASSERT_EQ(multiplied.next(prepared), expected);
            // Chosen by select: the same draw, and the state moves only when drawing.
            ASSERT_EQ(selected.nextIf(false, prepared), expected);
            ASSERT_EQ(selected.nextIf(true, prepared), expected);
            ASSERT_EQ(selected.state(), divided.state());
        }
    }
}

TEST(SeedVector, defaultsAreOneToThirteenAndSetSeedsRoundTripsOrRefusesShortVectors)
{
    EcosystemSimulation s;
    const SeedVector defaults{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    EXPECT_EQ(s.getSeeds(), defaults);
    const auto tooShort = s.setSeeds({5, 6, 7});
    EXPECT_FALSE(tooShort.ok);
    EXPECT_NE(tooShort.message.find("13"), std::string::npos);
    EXPECT_EQ(s.getSeeds(), defaults);
    SeedVector longer{1000, 1007, 1014, 1021, 1028, 1035, 1042, 1049, 1056, 1063, 1070, 1077, 1084, 99};
    EXPECT_TRUE(s.setSeeds(longer).ok);
    longer.pop_back(); // extra entries are ignored
    EXPECT_EQ(s.getSeeds(), longer);
}

TEST(SimulationFile, layoutHasStepSpeciesPlantsBudgetsGeneratorsAndPlantArea)
{
    TempFolder folder;
    World w;
    w.simulation.initialise();
    // One willow whose every field holds a different value, so that the order of the fields shows.
    // Floats have six significant digits; budgets and generator states each end with a tab.
    const std::string text =
        "0\n5\n0\n1\n40\t41\t1012.35\t123.457\t1.23457e-05\t7\t3\t0.5\t0.5625\t0.75\t0.125\t0.25\t0.375\t"
        "1.25\t0.625\t0.875\t17\n0\n0\n0\n" +
        budgetsAndStates;
    writeBytes(folder.file("one.sim"), text);
    ASSERT_TRUE(std::get<0>(load(w, folder.file("one.sim"))));
    const Plant &p = w.simulation.species()[1].plants.at(0);
    EXPECT_EQ(
        std::tuple(p.cellX, p.cellY, p.position, p.id, p.age, p.size, p.height, p.prodornost, p.strength),
        std::tuple(40, 41, math::Vector3f(1012.35f, 123.457f, 1.23457e-05f), 7u, 3, 0.5f, 0.5625f, 0.75f,
                   0.125f));
    EXPECT_EQ(std::tuple(p.slope, p.moisture, p.sunniness, p.windiness, p.relativeHeight, p.timeOfDeath),
              std::tuple(0.25f, 0.375f, 1.25f, 0.625f, 0.875f, 17.0f));
    EXPECT_EQ(w.fileText(), text);
}

TEST(SimulationFile, saveLoadSaveGivesTheSameFileLoadingEarlyChangesNothingAndEdgeValuesAreTaken)
{
    TempFolder folder;
    World w;
    w.run(40);
    std::ostringstream out, err;
    ASSERT_TRUE(w.simulation.save(folder.file("a.sim"), out, err).ok) << err.str();
    EXPECT_EQ(out.str(), "Simulation @ step 40successfouly saved\n");

    World other;
    other.run(2);
    const auto idsBefore = other.simulation.plantIdCounter();
    const int plants = w.simulation.statistics().nrPlants();
    const std::string loaded =
        "Simulation @ step 40 with " + std::to_string(plants) + " plants successfouly loaded\n";
    EXPECT_EQ(load(other, folder.file("a.sim")), std::tuple(true, loaded, ""));
    EXPECT_GE(other.simulation.plantIdCounter(), idsBefore + static_cast<std::uint32_t>(plants));
    // One more living point for every species, and the counts are those of the file.
    const auto &loadedStatistics = other.simulation.statistics();
    EXPECT_EQ(std::tuple(loadedStatistics.livingSeries()[0].size(), loadedStatistics.nrPlants()),
              std::tuple(3u, plants));
    // Saved again, the file is the same: step, plants, budgets and generator states came back.
    ASSERT_TRUE(other.simulation.save(folder.file("b.sim"), out, err).ok);
    EXPECT_EQ(readBytes(folder.file("a.sim")), readBytes(folder.file("b.sim")));
    // Plants are back in their grid cells.
    const auto &first = w.simulation.species()[2].plants.front();
    EXPECT_EQ(std::ranges::count(other.simulation.grid().idsInCell(first.cellX, first.cellY), first.id), 1);

    // Loading before the first step is refused and changes nothing.
    World fresh;
    const auto seeds = fresh.simulation.getSeeds();
    EXPECT_EQ(load(fresh, folder.file("a.sim")), std::tuple(false, "", "Number of species size mismatch!\n"));
    EXPECT_EQ(std::pair(fresh.simulation.step(), fresh.simulation.getSeeds()), std::pair(-1, seeds));

    // An empty file with its plant area, and values at the edge of growth are taken.
    writeBytes(folder.file("empty.sim"), "9\n5\n0\n0\n0\n0\n0\n0.5\t" + budgetsAndStates.substr(2));
    EXPECT_EQ(load(w, folder.file("empty.sim")),
              std::tuple(true, "Simulation @ step 9 with 0 plants successfouly loaded\n", ""));
    EXPECT_EQ(
        std::tuple(w.simulation.step(), w.simulation.grid().size(), w.simulation.species()[0].seedBudget),
        std::tuple(9, 0u, 0.5f));
    EXPECT_EQ(std::pair(w.terrain.lupaMinX(), w.terrain.lupaMaxY()), std::pair(40, 45));
    EXPECT_FALSE(w.terrain.plantableCells().empty());
    for (const int cell : w.terrain.plantableCells())
        EXPECT_TRUE(cell % 100 >= 40 && cell % 100 < 50 && cell / 100 >= 30 && cell / 100 < 45) << cell;
    w.simulation.simulateStep();
    EXPECT_EQ(w.simulation.step(), 10);

    // Six digits round a budget just below 1 up to 1, and summed growth can overshoot size 1.
    writeBytes(folder.file("edge.sim"),
               "9\n5\n1\n50\t50\t1250\t200\t1250\t7\t150\t1.00001\t1.00001\t1\t1.00001\t0\t"
               "0.5\t0.5\t0.5\t0.5\t210\n0\n0\n0\n0\n1\t0.999999\t" +
                   budgetsAndStates.substr(4));
    ASSERT_TRUE(std::get<0>(load(w, folder.file("edge.sim"))));
    EXPECT_EQ(std::pair(w.simulation.species()[0].plants.front().size, w.simulation.species()[0].seedBudget),
              std::pair(1.00001f, 1.0f));
    // The next steps owe one seed per step plus about seedRate for the one mature plant.
    w.run(2);
    EXPECT_LE(w.simulation.statistics().nrPlants(), 20);
}

TEST(SimulationFile, damagedAndUnopenableFilesAreRefusedWholeWithOneLineAndNothingChanges)
{
    TempFolder folder;
    World source;
    source.run(6);
    // The damages edit the first plant line, which belongs to species 0.
    auto &bushes = source.simulation.species()[0].plants;
    bushes.insert(bushes.begin(), plantAt(source, 0, 40, 40));
    World w;
    w.run(4);
    w.terrain.setLupaMinX(30);
    const auto state = [&w] {
        return std::tuple(w.fileText(), w.terrain.plantableCells(),
                          w.simulation.statistics().livingSeries()[0].size(), w.simulation.plantIdCounter());
    };
    const auto before = state();
    const auto refused = [&](const std::string &path) {
        std::ostringstream out, err;
        const auto outcome = w.simulation.load(path, out, err);
        EXPECT_FALSE(outcome.ok || outcome.message.empty());
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(std::ranges::count(err.str(), '\n'), 1) << err.str();
        EXPECT_EQ(state(), before);
        return err.str();
    };
    const std::string good = source.fileText();
    std::vector<std::pair<std::string, std::string>> damaged = {
        {"truncatedInAPlantLine", good.substr(0, good.find('\n', good.find('\n', 4) + 1) + 9)},
        {"textAfterPlantArea", good + "7\n"}};
    for (const auto &[name, line, field, value] : damagedFields)
        damaged.emplace_back(name, withField(good, line, field, value));
    for (const auto &[name, text] : damaged) {
        SCOPED_TRACE(name);
        writeBytes(folder.file("bad.sim"), text);
        refused(folder.file("bad.sim"));
    }
    EXPECT_NE(refused("/nonexistent/folder/x.sim").find("could not open"), std::string::npos);
}
