#include "core/clirun.h"
#include "core/tempfolder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using testsupport::CliRun;
using testsupport::readBytes;
using testsupport::runCli;
using testsupport::TempFolder;
using testsupport::writeBytes;

namespace {

struct CrsSummary {
    int segments = 0;
    int leaves = 0;
    bool wellFormed = true;
};

// Checks that every record header is followed by whole point lines: pointsPerSegment for "B",
// 4 for "L".
CrsSummary summarise(const std::string &text, int pointsPerSegment)
{
    CrsSummary s;
    std::istringstream in(text);
    int expected = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("B ", 0) == 0 || line.rfind("L ", 0) == 0) {
            s.wellFormed &= expected == 0;
            const bool segment = line[0] == 'B';
            (segment ? s.segments : s.leaves) += 1;
            expected = segment ? pointsPerSegment : 4;
            continue;
        }
        std::istringstream point(line);
        double x, y, z;
        point >> x >> y >> z;
        s.wellFormed &= static_cast<bool>(point) && point.eof() && expected > 0;
        --expected;
    }
    s.wellFormed &= expected == 0;
    return s;
}

} // namespace

TEST(TreeVerticesCommand, writesTheDefaultTreeAsSegmentAndLeafQuads)
{
    TempFolder folder;
    const std::string out = folder.file("tree.crs");
    const CliRun run = runCli(folder, "tree vertices '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const CrsSummary s = summarise(readBytes(out), 16);
    EXPECT_TRUE(s.wellFormed);
    EXPECT_EQ(s.segments, 1999);
    EXPECT_EQ(s.leaves, 5000);
    EXPECT_EQ(run.out, "wrote 1999 segments and 5000 leaves to " + out + "\n");
    EXPECT_EQ(folder.entryCount(), 3u); // the file and the captured output, no leftovers
}

TEST(TreeVerticesCommand, optionsChooseRingSizeAndLeafRecords)
{
    TempFolder folder;
    const std::string out = folder.file("tree.crs");
    ASSERT_EQ(runCli(folder, "tree vertices '" + out + "' --high-quality").status, 0);
    const CrsSummary high = summarise(readBytes(out), 64);
    EXPECT_TRUE(high.wellFormed);
    EXPECT_EQ(high.segments, 1999);

    ASSERT_EQ(runCli(folder, "tree vertices '" + out + "' --wireframe").status, 0);
    const CrsSummary wire = summarise(readBytes(out), 16);
    EXPECT_TRUE(wire.wellFormed);
    EXPECT_EQ(wire.leaves, 0);

    ASSERT_EQ(runCli(folder, "tree vertices '" + out + "' --no-leaves").status, 0);
    const CrsSummary bare = summarise(readBytes(out), 16);
    EXPECT_TRUE(bare.wellFormed);
    EXPECT_EQ(bare.segments, 1999);
    EXPECT_EQ(bare.leaves, 0);
}

TEST(TreeVerticesCommand, readsTheTreeFromAParameterFile)
{
    TempFolder folder;
    const std::string in = folder.file("small.tree.xml");
    const std::string out = folder.file("small.crs");
    ASSERT_EQ(runCli(folder, "tree save '" + in + "'").status, 0);
    std::string text = readBytes(in);
    const auto at = text.find("1000");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 4, "1");
    writeBytes(in, text);
    const CliRun run = runCli(folder, "tree vertices '" + out + "' --from '" + in + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const CrsSummary s = summarise(readBytes(out), 16);
    EXPECT_EQ(s.segments, 1);
    EXPECT_EQ(s.leaves, 5);
}

TEST(TreeVerticesCommand, failuresExitWithOneAndLeaveTheOutputAlone)
{
    TempFolder folder;
    const std::string out = folder.file("keep.crs");
    writeBytes(out, "old contents\n");
    const std::string damaged = folder.file("damaged.tree.xml");
    writeBytes(damaged, "not a tree\n");
    const CliRun bad = runCli(folder, "tree vertices '" + out + "' --from '" + damaged + "'");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("verdalis-cli: "), std::string::npos);
    EXPECT_EQ(readBytes(out), "old contents\n");

    const CliRun unwritable = runCli(folder, "tree vertices '" + folder.file("missing/tree.crs") + "'");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("could not open"), std::string::npos);
    EXPECT_EQ(std::count(unwritable.err.begin(), unwritable.err.end(), '\n'), 1);
}

#ifdef VERDALIS_HAS_RENDER
TEST(TreeRenderCommand, badOptionValuesAreUsageErrorsAndNoDisplayIsReported)
{
    TempFolder folder;
    const std::string out = folder.file("tree.png");
    EXPECT_EQ(runCli(folder, "tree render '" + out + "' --size 0x10").status, 2);
    EXPECT_EQ(runCli(folder, "tree render '" + out + "' --size 20000x10").status, 2);
    EXPECT_EQ(runCli(folder, "tree render '" + out + "' --yaw north").status, 2);
    EXPECT_EQ(runCli(folder, "tree render").status, 2);
    const CliRun headless =
        runCli(folder, "tree render '" + out + "'", "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    EXPECT_EQ(headless.status, 1);
    EXPECT_NE(headless.err.find("needs a display"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));
}
#endif
