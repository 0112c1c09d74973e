// verdalis-cli simulate, run as a user would run it.

#include "core/clirun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class SimulateCommand : public ::testing::Test {
protected:
    std::string path(const std::string &name) const { return folder_.file(name); }

    // Runs verdalis-cli in the test folder; keeps standard output and standard error.
    int cli(const std::string &arguments)
    {
        const testsupport::CliRun run = testsupport::runCliInFolder(folder_.path(), arguments);
        output_ = run.out;
        errors_ = run.err;
        return run.status;
    }

    static std::string read(const std::string &file) { return testsupport::readBytes(file); }

    static std::vector<std::string> lines(const std::string &text)
    {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }

    // The output with the wall-clock figures taken out.
    static std::string withoutTimes(const std::string &text)
    {
        return std::regex_replace(text, std::regex("time\\(([a-z_]+)\\)=[0-9]+"), "time($1)");
    }

    testsupport::TempFolder folder_;
    std::string output_;
    std::string errors_;
};

} // namespace

TEST_F(SimulateCommand, printsTheLogLineOfEveryStepAutosavesAndWritesTheStatistics)
{
    ASSERT_EQ(cli("simulate --steps 12 --autosave 5 --save end.sim --stats counts.tsv"), 0) << errors_;
    const auto out = lines(output_);
    ASSERT_EQ(out.size(), 15u);
    const std::regex logLine(
        "@([0-9]+): time\\(render_all\\)=[0-9]+ time\\(simm_all\\)=[0-9]+ \\|\\|  "
        "time\\(render\\)=[0-9]+ time\\(dodaj\\)=[0-9]+ time\\(zrasti\\)=[0-9]+ "
        "time\\(pobij\\)=[0-9]+ time\\(pobij_dominir\\)=[0-9]+ \\|\\|  nrPlants=([0-9]+)");
    const auto stats = lines(read(path("counts.tsv")));
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
    EXPECT_EQ(step, 12);
    EXPECT_EQ(out[5], "Simulation @ step 5successfouly saved");
    EXPECT_TRUE(fs::exists(path("5.sim")));
    EXPECT_TRUE(fs::exists(path("10.sim")));
    EXPECT_FALSE(fs::exists(path("12.sim")));
    EXPECT_EQ(out.back(), "Simulation @ step 12successfouly saved");
    EXPECT_EQ(read(path("end.sim")).rfind("12\n5\n", 0), 0u);
}

TEST_F(SimulateCommand, runsAreReproducibleAndContinueFromASavedFile)
{
    ASSERT_EQ(cli("simulate --steps 25 --save a.sim"), 0) << errors_;
    const std::string first = withoutTimes(output_);
    ASSERT_EQ(cli("simulate --steps 25 --save b.sim"), 0) << errors_;
    EXPECT_EQ(withoutTimes(output_), first);
    EXPECT_EQ(read(path("a.sim")), read(path("b.sim")));

    ASSERT_EQ(cli("simulate --steps 2 --load a.sim"), 0) << errors_;
    const auto out = lines(output_);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].rfind("Simulation @ step 25 with ", 0), 0u);
    EXPECT_EQ(out[1].rfind("@26:", 0), 0u);
    EXPECT_EQ(out[2].rfind("@27:", 0), 0u);
}

TEST_F(SimulateCommand, seedsAndPlantAreaChangeTheRun)
{
    ASSERT_EQ(cli("simulate --steps 3 --save a.sim"), 0);
    ASSERT_EQ(cli("simulate --steps 3 --save b.sim --seeds 21,22,23,24,25,26,27,28,29,30,31,32,33 "
                  "--plant-area 10,20,30,40"),
              0)
        << errors_;
    const auto b = lines(read(path("b.sim")));
    EXPECT_EQ(b.back(), "10\t20\t30\t40");
    EXPECT_NE(read(path("a.sim")), read(path("b.sim")));
}

TEST_F(SimulateCommand, refusesBadUsageAndDamagedFiles)
{
    EXPECT_EQ(cli("simulate"), 2);
    EXPECT_EQ(cli("simulate --steps -3"), 2);
    EXPECT_EQ(cli("simulate --steps 3 --seeds 1,2,3"), 2);
    EXPECT_EQ(cli("simulate --steps 3 --plant-area 1,2,3,400"), 2);
    EXPECT_EQ(cli("simulate --steps 3 --autosave 0"), 2);

    std::ofstream(path("bad.sim")) << "5\n5\n1\n40\n";
    EXPECT_EQ(cli("simulate --steps 3 --load bad.sim"), 1);
    EXPECT_EQ(lines(errors_).size(), 1u) << errors_;
    EXPECT_TRUE(output_.empty());
    EXPECT_EQ(cli("simulate --steps 3 --load missing.sim"), 1);
    EXPECT_EQ(cli("simulate --steps 1 --save no/such/folder.sim"), 1);
    EXPECT_NE(errors_.find("Could not save simulation"), std::string::npos);
}

TEST_F(SimulateCommand, environmentalDeathsChangeTheRunAndEndWithTheirCount)
{
    ASSERT_EQ(cli("simulate --steps 30 --save plain.sim"), 0) << errors_;
    const auto plain = lines(output_);
    ASSERT_EQ(cli("simulate --steps 30 --save harsh.sim --environmental-deaths"), 0) << errors_;
    const auto harsh = lines(output_);
    ASSERT_EQ(harsh.size(), plain.size() + 1);
    std::smatch m;
    const std::string summary = harsh[harsh.size() - 2];
    ASSERT_TRUE(
        std::regex_match(summary, m, std::regex("Deaths by environment: ([0-9]+) of ([0-9]+) deaths")))
        << summary;
    EXPECT_GT(std::stoi(m[1]), 0);
    EXPECT_LE(std::stoi(m[1]), std::stoi(m[2]));
    EXPECT_EQ(harsh.back(), "Simulation @ step 30successfouly saved");
    EXPECT_NE(read(path("plain.sim")), read(path("harsh.sim")));
}
