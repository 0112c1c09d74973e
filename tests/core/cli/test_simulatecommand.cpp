// verdalis-cli simulate, run as a user would run it.

#include "core/clirun.h"

#include <regex>
#include <sstream>
#include <vector>

using SimulateCommand = testsupport::CliTest;
using testsupport::split;

TEST_F(SimulateCommand, printsTheLogLineOfEveryStepAutosavesAndWritesTheStatistics)
{
    const auto run = cli("simulate --steps 12 --autosave 5 --save end.sim --stats counts.tsv");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto out = split(run.out);
    ASSERT_EQ(out.size(), 15u);
    const std::regex logLine(
        "@([0-9]+): time\\(render_all\\)=[0-9]+ time\\(simm_all\\)=[0-9]+ \\|\\|  "
        "time\\(render\\)=[0-9]+ time\\(dodaj\\)=[0-9]+ time\\(zrasti\\)=[0-9]+ "
        "time\\(pobij\\)=[0-9]+ time\\(pobij_dominir\\)=[0-9]+ \\|\\|  nrPlants=([0-9]+)");
    const auto stats = split(read("counts.tsv"));
    ASSERT_EQ(stats.size(), 13u);
    EXPECT_EQ(stats[0], "step\tBush\tWeeping willow\tMaple\tPine\tBeech");
    int step = 0;
    for (const auto &line : out) {
        if (line.find("successfouly saved") != std::string::npos)
            continue;
        ++step;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, logLine)) << line;
        EXPECT_EQ(std::stoi(m[1]), step);
        // The statistics row of the step adds up to the printed total.
        std::istringstream row(stats[static_cast<std::size_t>(step)]);
        int rowStep = 0, total = 0;
        row >> rowStep;
        for (int count; row >> count;)
            total += count;
        EXPECT_EQ(rowStep, step);
        EXPECT_EQ(std::to_string(total), m[2].str());
    }
    EXPECT_EQ(out[5], "Simulation @ step 5successfouly saved");
    EXPECT_EQ(out.back(), "Simulation @ step 12successfouly saved");
    EXPECT_EQ(read("end.sim").rfind("12\n5\n", 0), 0u);
    EXPECT_EQ(read("5.sim").rfind("5\n5\n", 0), 0u);
    EXPECT_EQ(read("10.sim").rfind("10\n5\n", 0), 0u);
    EXPECT_EQ(folder.entryCount(), 6u); // and counts.tsv and the captured output: no 12.sim
}

TEST_F(SimulateCommand,
       runsAreReproducibleContinueFromASavedFileAndFollowSeedsPlantAreaAndEnvironmentalDeaths)
{
    const auto withoutTimes = [](const std::string &text) {
        return std::regex_replace(text, std::regex("time\\(([a-z_]+)\\)=[0-9]+"), "time($1)");
    };
    auto run = cli("simulate --steps 25 --save a.sim");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string first = withoutTimes(run.out);
    run = cli("simulate --steps 25 --save b.sim");
    EXPECT_EQ(withoutTimes(run.out), first);
    EXPECT_EQ(read("a.sim"), read("b.sim"));

    const auto continued = split(cli("simulate --steps 2 --load a.sim").out);
    ASSERT_EQ(continued.size(), 3u);
    EXPECT_EQ(continued[0].rfind("Simulation @ step 25 with ", 0), 0u);
    EXPECT_EQ(continued[1].rfind("@26:", 0), 0u);
    EXPECT_EQ(continued[2].rfind("@27:", 0), 0u);

    ASSERT_EQ(cli("simulate --steps 25 --save c.sim --seeds 21,22,23,24,25,26,27,28,29,30,31,32,33 "
                  "--plant-area 10,20,30,40")
                  .status,
              0);
    EXPECT_EQ(split(read("c.sim")).back(), "10\t20\t30\t40");
    EXPECT_NE(read("a.sim"), read("c.sim"));

    // Environmental deaths change the run and end it with their count.
    const auto harsh = cli("simulate --steps 25 --save harsh.sim --environmental-deaths");
    ASSERT_EQ(harsh.status, 0) << harsh.err;
    const auto out = split(harsh.out);
    ASSERT_EQ(out.size(), split(first).size() + 1);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(out[out.size() - 2], m,
                                 std::regex("Deaths by environment: ([0-9]+) of ([0-9]+) deaths")))
        << out[out.size() - 2];
    EXPECT_GT(std::stoi(m[1]), 0);
    EXPECT_LE(std::stoi(m[1]), std::stoi(m[2]));
    EXPECT_EQ(out.back(), "Simulation @ step 25successfouly saved");
    EXPECT_NE(read("a.sim"), read("harsh.sim"));
}
