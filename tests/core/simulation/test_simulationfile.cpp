#include "simulationtestsupport.h"

#include <algorithm>
#include <functional>
#include <sstream>

using simulationtest::World;
using testsupport::readBytes;
using testsupport::split;
using testsupport::TempFolder;
using testsupport::writeBytes;

namespace {

// Loads the file into the world: whether it worked, and what went to standard output and error.
std::tuple<bool, std::string, std::string> load(World &w, const std::string &path)
{
    std::ostringstream out, err;
    const bool ok = w.simulation.load(path, out, err).ok;
    return {ok, out.str(), err.str()};
}

// Five seed budgets, the thirteen generator states and the plant area.
const std::string budgetsAndStates =
    "0\t0\t0\t0\t0\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t\n25\t75\t25\t75\n";

} // namespace

TEST(SimulationFile, layoutHasStepSpeciesPlantsBudgetsGeneratorsAndPlantArea)
{
    World w;
    w.run(3);
    auto &bushes = w.simulation.species()[0].plants;
    const math::Vector3f position{1012.3456f, 123.456789f, 0.000012345678f};
    bushes.insert(bushes.begin(),
                  {.id = 7, .cellX = 40, .cellY = 41, .position = position, .timeOfDeath = 17.0f});
    const auto text = split(w.fileText(), '\n');
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(std::tuple(text[0], text[1]), std::tuple("3", "5"));
    // Floats with six significant digits.
    EXPECT_EQ(text[3], "40\t41\t1012.35\t123.457\t1.23457e-05\t7\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t17");
    std::size_t line = 2;
    for (const auto &s : w.simulation.species()) {
        EXPECT_EQ(text[line++], std::to_string(s.plants.size()));
        for (const auto &plant : s.plants) {
            const auto values = split(text[line++], '\t');
            ASSERT_EQ(values.size(), 17u);
            EXPECT_EQ(std::tuple(values[1], values[6]),
                      std::tuple(std::to_string(plant.cellY), std::to_string(plant.age)));
        }
    }
    // Budgets and generator states each end with a tab.
    const std::string &states = text[line++];
    EXPECT_EQ(states.back(), '\t');
    const auto stateFields = split(states, '\t');
    ASSERT_EQ(stateFields.size(), 18u);
    for (std::size_t k = 0; k < 13; ++k)
        EXPECT_EQ(stateFields[5 + k], std::to_string(w.simulation.getSeeds()[k]));
    EXPECT_EQ(text[line++], "25\t75\t25\t75");
    EXPECT_EQ(line, text.size());
}

TEST(SimulationFile, saveLoadSaveGivesTheSameFileAndStateLoadingTwiceChangesNothingAndRefusalsNothingAtAll)
{
    TempFolder folder;
    World w;
    w.run(40);
    std::ostringstream out, err;
    ASSERT_TRUE(w.simulation.save(folder.file("a.sim"), out, err).ok) << err.str();
    EXPECT_EQ(out.str(), "Simulation @ step 40successfouly saved\n");

    World other;
    other.run(2);
    // A file that cannot be opened is refused with one line and changes nothing.
    const std::string before = other.fileText();
    const auto [missingOk, missingOut, missingErr] = load(other, "/nonexistent/folder/x.sim");
    EXPECT_EQ(std::tuple(missingOk, missingOut, std::count(missingErr.begin(), missingErr.end(), '\n')),
              std::tuple(false, "", 1));
    EXPECT_NE(missingErr.find("could not open"), std::string::npos);
    EXPECT_EQ(other.fileText(), before);

    const auto idsBefore = other.simulation.plantIdCounter();
    const int plants = w.simulation.statistics().nrPlants();
    EXPECT_EQ(
        load(other, folder.file("a.sim")),
        std::tuple(true,
                   "Simulation @ step 40 with " + std::to_string(plants) + " plants successfouly loaded\n",
                   std::string()));
    EXPECT_EQ(std::pair(other.simulation.step(), other.simulation.getSeeds()),
              std::pair(40, w.simulation.getSeeds()));
    EXPECT_GE(other.simulation.plantIdCounter(), idsBefore + static_cast<std::uint32_t>(plants));
    // One more living point for every species, and the counts are those of the file.
    EXPECT_EQ(std::pair(other.simulation.statistics().livingSeries()[0].size(),
                        other.simulation.statistics().nrPlants()),
              std::pair(std::size_t{3}, plants));
    ASSERT_TRUE(other.simulation.save(folder.file("b.sim"), out, err).ok);
    EXPECT_EQ(readBytes(folder.file("a.sim")), readBytes(folder.file("b.sim")));
    // Plants are back in their grid cells.
    const auto &first = w.simulation.species()[2].plants.front();
    const auto ids = other.simulation.grid().idsInCell(first.cellX, first.cellY);
    EXPECT_NE(std::find(ids.begin(), ids.end(), first.id), ids.end());

    const std::string once = other.fileText();
    ASSERT_TRUE(std::get<0>(load(other, folder.file("a.sim"))));
    EXPECT_EQ(other.fileText(), once);

    // Loading before the first step is refused and changes nothing.
    World fresh;
    const auto seeds = fresh.simulation.getSeeds();
    EXPECT_EQ(load(fresh, folder.file("a.sim")),
              std::tuple(false, std::string(), std::string("Number of species size mismatch!\n")));
    EXPECT_EQ(std::pair(fresh.simulation.step(), fresh.simulation.getSeeds()), std::pair(-1, seeds));
}

TEST(SimulationFile, loadTakesThePlantAreaEmptyFilesAndValuesAtTheEdgeOfGrowth)
{
    TempFolder folder;
    World w;
    w.run(15);
    std::string text = w.fileText();
    writeBytes(folder.file("area.sim"), text.replace(text.rfind("25\t75\t25\t75"), 11, "40\t50\t30\t45"));
    ASSERT_TRUE(std::get<0>(load(w, folder.file("area.sim"))));
    EXPECT_EQ(std::pair(w.terrain.lupaMinX(), w.terrain.lupaMaxY()), std::pair(40, 45));
    EXPECT_FALSE(w.terrain.plantableCells().empty());
    for (const int cell : w.terrain.plantableCells())
        EXPECT_TRUE(cell % 100 >= 40 && cell % 100 < 50 && cell / 100 >= 30 && cell / 100 < 45) << cell;

    writeBytes(folder.file("empty.sim"), "9\n5\n0\n0\n0\n0\n0\n0.5\t" + budgetsAndStates.substr(2));
    EXPECT_EQ(load(w, folder.file("empty.sim")),
              std::tuple(true, std::string("Simulation @ step 9 with 0 plants successfouly loaded\n"),
                         std::string()));
    EXPECT_EQ(
        std::tuple(w.simulation.step(), w.simulation.grid().size(), w.simulation.species()[0].seedBudget),
        std::tuple(9, std::size_t{0}, 0.5f));
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

namespace {

struct DamagedFile {
    const char *name;
    // Turns the text of a valid file (step 6, species 0 with at least one plant) into a damaged one.
    std::function<std::string(const std::string &)> damage;
};

// Replaces field `field` (the whole line when -1) of line `line`, counted from the end when negative.
std::function<std::string(const std::string &)> edit(int line, int field, const std::string &value)
{
    return [=](const std::string &text) {
        auto all = split(text, '\n');
        std::string &target =
            all[static_cast<std::size_t>(line < 0 ? static_cast<int>(all.size()) + line : line)];
        std::size_t start = 0;
        for (int f = 0; f < field; ++f)
            start = target.find('\t', start) + 1;
        // The field runs to the next tab or the end of the line.
        target.replace(start, field < 0 ? std::string::npos : target.find('\t', start) - start, value);
        std::string joined;
        for (const auto &l : all)
            joined += l + "\n";
        return joined;
    };
}

const DamagedFile damagedFiles[] = {
    {"empty", [](const std::string &) { return std::string(); }},
    {"truncatedInAPlantLine",
     [](const std::string &t) { return t.substr(0, t.find('\n', t.find('\n', 4) + 1) + 9); }},
    {"truncatedBeforePlantArea", [](const std::string &t) { return t.substr(0, t.rfind("25\t75")); }},
    {"textAfterPlantArea", [](const std::string &t) { return t + "7\n"; }},
    {"stepNotANumber", edit(0, -1, "six")},
    {"negativeStep", edit(0, -1, "-4")},
    {"stepThatWouldOverflow", edit(0, -1, "2147483647")},
    {"speciesCountFour", edit(1, -1, "4")},
    {"negativePlantCount", edit(2, -1, "-1")},
    {"absurdPlantCount", edit(2, -1, "2000000000")},
    {"cellColumnOutsideGrid", edit(3, 0, "100")},
    {"negativeCellRow", edit(3, 1, "-1")},
    {"cellGivenAsFraction", edit(3, 0, "40.5")},
    {"positionNotFinite", edit(3, 2, "inf")},
    {"positionNotANumber", edit(3, 3, "nan")},
    {"negativeId", edit(3, 5, "-3")},
    {"idBeyondThirtyTwoBits", edit(3, 5, "4294967296")},
    {"negativeAge", edit(3, 6, "-2")},
    {"ageThatWouldOverflow", edit(3, 6, "2147483647")},
    {"negativeSize", edit(3, 7, "-0.5")},
    {"negativeProdornost", edit(3, 9, "-0.25")},
    {"prodornostAboveOne", edit(3, 9, "1.5")},
    {"sizeFarBeyondFullGrowth", edit(3, 7, "252")},
    {"heightBeyondFullHeight", edit(3, 8, "40")},
    {"strengthAboveFullStrength", edit(3, 10, "3e5")},
    {"strengthNotFinite", edit(3, 10, "1e999")},
    {"moistureGarbage", edit(3, 12, "wet")},
    {"negativeTimeOfDeath", edit(3, 16, "-20")},
    {"negativeSeedBudget", edit(-2, 0, "-1")},
    {"absurdSeedBudget", edit(-2, 0, "1e20")},
    {"seedBudgetOfManySeeds", edit(-2, 0, "793740")},
    {"negativeGeneratorState", edit(-2, 7, "-5")},
    {"plantAreaOutsideGrid", edit(-1, 3, "175")},
};

} // namespace

TEST(SimulationFile, damagedFilesAreRefusedWholeWithOneLineAndNothingChanges)
{
    TempFolder folder;
    World source;
    source.run(6);
    // The damages edit the first plant line, which belongs to species 0.
    auto &bushes = source.simulation.species()[0].plants;
    bushes.insert(bushes.begin(), source.simulation.constructPlant(source.simulation.species()[0], 40, 40,
                                                                   source.terrain.vertex(40, 40)));
    World w;
    w.run(4);
    w.terrain.setLupaMinX(30);
    const std::string before = w.fileText();
    const auto cells = w.terrain.plantableCells();
    const auto points = w.simulation.statistics().livingSeries()[0].size();
    const auto counter = w.simulation.plantIdCounter();
    for (const DamagedFile &damaged : damagedFiles) {
        SCOPED_TRACE(damaged.name);
        writeBytes(folder.file("bad.sim"), damaged.damage(source.fileText()));
        std::ostringstream out, err;
        const auto outcome = w.simulation.load(folder.file("bad.sim"), out, err);
        EXPECT_FALSE(outcome.ok || outcome.message.empty());
        EXPECT_EQ(out.str(), "");
        const std::string message = err.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_EQ(w.fileText(), before);
        EXPECT_EQ(w.terrain.plantableCells(), cells);
        EXPECT_EQ(w.simulation.statistics().livingSeries()[0].size(), points);
        EXPECT_EQ(w.simulation.plantIdCounter(), counter);
    }
}
