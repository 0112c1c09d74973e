#include "simulationtestsupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using simulationtest::readText;
using simulationtest::TemporaryFolder;
using simulationtest::World;
using simulationtest::writeText;

namespace {

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::vector<std::string> fields(const std::string &line)
{
    std::vector<std::string> result;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        result.push_back(field);
    return result;
}

} // namespace

TEST(SimulationFile, layoutHasStepSpeciesPlantsBudgetsGeneratorsAndPlantArea)
{
    World w;
    w.run(3);
    const auto text = lines(w.fileText());
    const auto &species = w.simulation.species();
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text[0], "3");
    EXPECT_EQ(text[1], "5");
    std::size_t line = 2;
    for (const auto &s : species) {
        EXPECT_EQ(text[line++], std::to_string(s.plants.size()));
        for (const auto &p : s.plants) {
            const auto values = fields(text[line++]);
            ASSERT_EQ(values.size(), 17u);
            EXPECT_EQ(values[0], std::to_string(p.cellX));
            EXPECT_EQ(values[1], std::to_string(p.cellY));
            EXPECT_EQ(values[5], std::to_string(p.id));
            EXPECT_EQ(values[6], std::to_string(p.age));
        }
    }
    // Budgets and generator states each end with a tab.
    const std::string &states = text[line++];
    EXPECT_EQ(states.back(), '\t');
    const auto stateFields = fields(states);
    ASSERT_EQ(stateFields.size(), 18u);
    const auto seeds = w.simulation.getSeeds();
    for (std::size_t k = 0; k < 13; ++k)
        EXPECT_EQ(stateFields[5 + k], std::to_string(seeds[k]));
    EXPECT_EQ(text[line++], "25\t75\t25\t75");
    EXPECT_EQ(line, text.size());
}

TEST(SimulationFile, floatsAreWrittenWithSixSignificantDigits)
{
    World w;
    w.simulation.initialise();
    ecosystem::Plant p;
    p.cellX = 40;
    p.cellY = 41;
    p.position = {1012.3456f, 123.456789f, 0.000012345678f};
    p.id = 7;
    p.timeOfDeath = 17.0f;
    w.simulation.species()[0].plants.push_back(p);
    const auto text = lines(w.fileText());
    EXPECT_EQ(text[3], "40\t41\t1012.35\t123.457\t1.23457e-05\t7\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t17");
}

TEST(SimulationFile, saveLoadSaveGivesTheSameFileAndState)
{
    TemporaryFolder folder;
    World w;
    w.run(40);
    std::ostringstream out, err;
    ASSERT_TRUE(w.simulation.save(folder.file("a.sim"), out, err).ok) << err.str();
    EXPECT_EQ(out.str(), "Simulation @ step 40successfouly saved\n");

    World other;
    other.run(2);
    const auto idsBefore = other.simulation.plantIdCounter();
    std::ostringstream loadOut;
    ASSERT_TRUE(other.simulation.load(folder.file("a.sim"), loadOut, err).ok);
    EXPECT_TRUE(err.str().empty()) << err.str();
    EXPECT_EQ(loadOut.str(), "Simulation @ step 40 with " +
                                 std::to_string(w.simulation.statistics().nrPlants()) +
                                 " plants successfouly loaded\n");
    EXPECT_EQ(other.simulation.step(), 40);
    EXPECT_EQ(other.simulation.getSeeds(), w.simulation.getSeeds());
    EXPECT_GE(other.simulation.plantIdCounter(), idsBefore + w.simulation.statistics().nrPlants());
    // One more living point for every species, and the counts are those of the file.
    EXPECT_EQ(other.simulation.statistics().livingSeries()[0].size(), 3u);
    EXPECT_EQ(other.simulation.statistics().nrPlants(), w.simulation.statistics().nrPlants());
    ASSERT_TRUE(other.simulation.save(folder.file("b.sim"), out, err).ok);
    EXPECT_EQ(readText(folder.file("a.sim")), readText(folder.file("b.sim")));

    // Plants are back in their grid cells.
    const auto &first = w.simulation.species()[2].plants.front();
    const auto ids = other.simulation.grid().idsInCell(first.cellX, first.cellY);
    EXPECT_NE(std::find(ids.begin(), ids.end(), first.id), ids.end());
}

TEST(SimulationFile, loadingTwiceGivesTheSameStateAsLoadingOnce)
{
    TemporaryFolder folder;
    World w;
    w.run(20);
    std::ostringstream out, err;
    ASSERT_TRUE(w.simulation.save(folder.file("a.sim"), out, err).ok) << err.str();
    ASSERT_TRUE(w.simulation.load(folder.file("a.sim"), out, err).ok);
    const std::string once = w.fileText();
    ASSERT_TRUE(w.simulation.load(folder.file("a.sim"), out, err).ok);
    EXPECT_EQ(w.fileText(), once);
}

TEST(SimulationFile, loadUsesTheLoadedPlantAreaForSeedingAnywhere)
{
    TemporaryFolder folder;
    World w;
    w.run(1);
    std::string text = w.fileText();
    text.replace(text.rfind("25\t75\t25\t75"), 11, "40\t50\t30\t45");
    writeText(folder.file("area.sim"), text);
    std::ostringstream out, err;
    ASSERT_TRUE(w.simulation.load(folder.file("area.sim"), out, err).ok) << err.str();
    EXPECT_EQ(w.terrain.lupaMinX(), 40);
    EXPECT_EQ(w.terrain.lupaMaxY(), 45);
    for (const int cell : w.terrain.plantableCells()) {
        EXPECT_GE(cell % 100, 40);
        EXPECT_LT(cell % 100, 50);
        EXPECT_GE(cell / 100, 30);
        EXPECT_LT(cell / 100, 45);
    }
    EXPECT_FALSE(w.terrain.plantableCells().empty());
}

TEST(SimulationFile, fileWithoutPlantsLoadsAndEmptiesTheGrid)
{
    TemporaryFolder folder;
    World w;
    w.run(15);
    writeText(folder.file("empty.sim"), "9\n5\n0\n0\n0\n0\n0\n0.5\t0\t0\t0\t0\t"
                                        "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t\n25\t75\t25\t75\n");
    std::ostringstream out, err;
    ASSERT_TRUE(w.simulation.load(folder.file("empty.sim"), out, err).ok) << err.str();
    EXPECT_EQ(w.simulation.step(), 9);
    EXPECT_EQ(w.simulation.grid().size(), 0u);
    EXPECT_EQ(w.simulation.species()[0].seedBudget, 0.5f);
    EXPECT_EQ(out.str(), "Simulation @ step 9 with 0 plants successfouly loaded\n");
    w.simulation.simulateStep();
    EXPECT_EQ(w.simulation.step(), 10);
}

TEST(SimulationFile, valuesAtTheEdgeOfWhatGrowthReachesLoad)
{
    // Six digits round a budget just below 1 up to 1, and summed growth can overshoot size 1.
    TemporaryFolder folder;
    World w;
    w.run(3);
    const std::string plant = "50\t50\t1250\t200\t1250\t7\t150\t1.00001\t1.00001\t1\t1.00001\t0\t0.5\t0.5\t"
                              "0.5\t0.5\t210\n";
    writeText(folder.file("edge.sim"), "9\n5\n1\n" + plant +
                                           "0\n0\n0\n0\n1\t0.999999\t0\t0\t0\t"
                                           "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t\n25\t75\t25\t75\n");
    std::ostringstream out, err;
    ASSERT_TRUE(w.simulation.load(folder.file("edge.sim"), out, err).ok) << err.str();
    EXPECT_EQ(w.simulation.species()[0].plants.front().size, 1.00001f);
    EXPECT_EQ(w.simulation.species()[0].seedBudget, 1.0f);
    // The next steps owe one seed per step plus about seedRate for the one mature plant.
    w.run(2);
    EXPECT_LE(w.simulation.statistics().nrPlants(), 20);
}

TEST(SimulationFile, loadingBeforeTheFirstStepIsRefusedAsASpeciesMismatch)
{
    TemporaryFolder folder;
    World running;
    running.run(2);
    std::ostringstream out, err;
    ASSERT_TRUE(running.simulation.save(folder.file("r.sim"), out, err).ok);

    World fresh;
    const auto seeds = fresh.simulation.getSeeds();
    std::ostringstream loadOut, loadErr;
    EXPECT_FALSE(fresh.simulation.load(folder.file("r.sim"), loadOut, loadErr).ok);
    EXPECT_EQ(loadErr.str(), "Number of species size mismatch!\n");
    EXPECT_TRUE(loadOut.str().empty());
    EXPECT_EQ(fresh.simulation.step(), -1);
    EXPECT_EQ(fresh.simulation.getSeeds(), seeds);
}

TEST(SimulationFile, fileThatCannotBeOpenedIsReportedAndChangesNothing)
{
    World w;
    w.run(3);
    const std::string before = w.fileText();
    std::ostringstream out, err;
    const auto outcome = w.simulation.load("/nonexistent/folder/x.sim", out, err);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(err.str().find("could not open"), std::string::npos);
    const std::string message = err.str();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(w.fileText(), before);
}

TEST(SimulationFile, failedSaveReportsAnErrorAndKeepsTheExistingFile)
{
    TemporaryFolder folder;
    World w;
    w.run(3);
    std::ostringstream out, err;
    EXPECT_FALSE(w.simulation.save(folder.file("missing/x.sim"), out, err).ok);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("Could not save simulation"), std::string::npos);

    // An existing file in a folder that cannot be written to stays as it was.
    const std::string keep = folder.file("keep.sim");
    writeText(keep, "precious");
    if (::geteuid() != 0) { // the superuser writes anywhere
        ::chmod(folder.path().c_str(), 0500);
        std::ostringstream out2, err2;
        EXPECT_FALSE(w.simulation.save(keep, out2, err2).ok);
        ::chmod(folder.path().c_str(), 0700);
        EXPECT_TRUE(out2.str().empty());
    }
    // Saving onto a folder name fails at the final rename and leaves no temporary behind.
    std::filesystem::create_directory(folder.file("dir.sim"));
    std::ostringstream out3, err3;
    EXPECT_FALSE(w.simulation.save(folder.file("dir.sim"), out3, err3).ok);
    EXPECT_EQ(readText(keep), "precious");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 2u);
}

struct DamagedFile {
    const char *name;
    // Turns the text of a valid file (step 6, species 0 with at least one plant) into a damaged one.
    std::string (*damage)(const std::string &);
};

namespace {

std::string replaceLine(const std::string &text, std::size_t index, const std::string &line)
{
    auto all = lines(text);
    all[index] = line;
    std::string joined;
    for (const auto &l : all)
        joined += l + "\n";
    return joined;
}

// Replaces field f of the first plant line (line 3).
std::string replaceField(const std::string &text, std::size_t f, const std::string &value)
{
    auto values = fields(lines(text)[3]);
    values[f] = value;
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i)
        line += (i ? "\t" : "") + values[i];
    return replaceLine(text, 3, line);
}

const DamagedFile damagedFiles[] = {
    {"empty", [](const std::string &) { return std::string(); }},
    {"truncatedInAPlantLine",
     [](const std::string &t) { return t.substr(0, t.find('\n', t.find('\n', 4) + 1) + 9); }},
    {"truncatedBeforePlantArea", [](const std::string &t) { return t.substr(0, t.rfind("25\t75")); }},
    {"stepNotANumber", [](const std::string &t) { return replaceLine(t, 0, "six"); }},
    {"negativeStep", [](const std::string &t) { return replaceLine(t, 0, "-4"); }},
    {"stepThatWouldOverflow", [](const std::string &t) { return replaceLine(t, 0, "2147483647"); }},
    {"speciesCountFour", [](const std::string &t) { return replaceLine(t, 1, "4"); }},
    {"negativePlantCount", [](const std::string &t) { return replaceLine(t, 2, "-1"); }},
    {"absurdPlantCount", [](const std::string &t) { return replaceLine(t, 2, "2000000000"); }},
    {"cellColumnOutsideGrid", [](const std::string &t) { return replaceField(t, 0, "100"); }},
    {"negativeCellRow", [](const std::string &t) { return replaceField(t, 1, "-1"); }},
    {"cellGivenAsFraction", [](const std::string &t) { return replaceField(t, 0, "40.5"); }},
    {"positionNotFinite", [](const std::string &t) { return replaceField(t, 2, "inf"); }},
    {"positionNotANumber", [](const std::string &t) { return replaceField(t, 3, "nan"); }},
    {"negativeId", [](const std::string &t) { return replaceField(t, 5, "-3"); }},
    {"idBeyondThirtyTwoBits", [](const std::string &t) { return replaceField(t, 5, "4294967296"); }},
    {"negativeAge", [](const std::string &t) { return replaceField(t, 6, "-2"); }},
    {"ageThatWouldOverflow", [](const std::string &t) { return replaceField(t, 6, "2147483647"); }},
    {"negativeSize", [](const std::string &t) { return replaceField(t, 7, "-0.5"); }},
    {"negativeProdornost", [](const std::string &t) { return replaceField(t, 9, "-0.25"); }},
    {"prodornostAboveOne", [](const std::string &t) { return replaceField(t, 9, "1.5"); }},
    {"sizeFarBeyondFullGrowth", [](const std::string &t) { return replaceField(t, 7, "252"); }},
    {"heightBeyondFullHeight", [](const std::string &t) { return replaceField(t, 8, "40"); }},
    {"strengthAboveFullStrength", [](const std::string &t) { return replaceField(t, 10, "3e5"); }},
    {"strengthNotFinite", [](const std::string &t) { return replaceField(t, 10, "1e999"); }},
    {"moistureGarbage", [](const std::string &t) { return replaceField(t, 12, "wet"); }},
    {"negativeTimeOfDeath", [](const std::string &t) { return replaceField(t, 16, "-20"); }},
    {"negativeSeedBudget",
     [](const std::string &t) {
         auto all = lines(t);
         const auto index = all.size() - 2;
         return replaceLine(t, index, "-1" + all[index].substr(all[index].find('\t')));
     }},
    {"absurdSeedBudget",
     [](const std::string &t) {
         auto all = lines(t);
         const auto index = all.size() - 2;
         return replaceLine(t, index, "1e20" + all[index].substr(all[index].find('\t')));
     }},
    {"seedBudgetOfManySeeds",
     [](const std::string &t) {
         auto all = lines(t);
         const auto index = all.size() - 2;
         return replaceLine(t, index, "793740" + all[index].substr(all[index].find('\t')));
     }},
    {"negativeGeneratorState",
     [](const std::string &t) {
         auto all = lines(t);
         auto values = fields(all[all.size() - 2]);
         values[7] = "-5";
         std::string line;
         for (const auto &v : values)
             line += v + "\t";
         return replaceLine(t, all.size() - 2, line);
     }},
    {"plantAreaOutsideGrid",
     [](const std::string &t) { return t.substr(0, t.rfind("25\t75")) + "25\t75\t25\t175\n"; }},
    {"textAfterPlantArea", [](const std::string &t) { return t + "7\n"; }},
};

class DamagedSimulationFile : public ::testing::TestWithParam<DamagedFile> {};

} // namespace

TEST_P(DamagedSimulationFile, isRefusedWholeWithOneLineAndNothingChanges)
{
    TemporaryFolder folder;
    World source;
    source.run(6);
    // The damages edit the first plant line, which belongs to species 0.
    auto &bushes = source.simulation.species()[0].plants;
    bushes.insert(bushes.begin(), source.simulation.constructPlant(source.simulation.species()[0], 40, 40,
                                                                   source.terrain.vertex(40, 40)));
    writeText(folder.file("bad.sim"), GetParam().damage(source.fileText()));

    World w;
    w.run(4);
    w.terrain.setLupaMinX(30);
    const std::string before = w.fileText();
    const auto cells = w.terrain.plantableCells();
    const auto points = w.simulation.statistics().livingSeries()[0].size();
    const auto counter = w.simulation.plantIdCounter();
    std::ostringstream out, err;
    const auto outcome = w.simulation.load(folder.file("bad.sim"), out, err);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.message.empty());
    EXPECT_TRUE(out.str().empty());
    const std::string message = err.str();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_EQ(w.fileText(), before);
    EXPECT_EQ(w.terrain.plantableCells(), cells);
    EXPECT_EQ(w.simulation.statistics().livingSeries()[0].size(), points);
    EXPECT_EQ(w.simulation.plantIdCounter(), counter);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedSimulationFile, ::testing::ValuesIn(damagedFiles),
                         [](const ::testing::TestParamInfo<DamagedFile> &test) {
                             return std::string(test.param.name);
                         });
