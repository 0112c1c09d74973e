#include "core/clirun.h"

#include <algorithm>
#include <sstream>

using TreeVerticesCommand = testsupport::CliTest;

namespace {

// Counts the records of a vertex file; -1 when a record header is not followed by whole point
// lines (pointsPerSegment for "B", 4 for "L").
std::pair<int, int> segmentsAndLeaves(const std::string &text, int pointsPerSegment)
{
    int segments = 0, leaves = 0, expected = 0;
    bool wellFormed = true;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("B ", 0) == 0 || line.rfind("L ", 0) == 0) {
            wellFormed &= expected == 0;
            (line[0] == 'B' ? segments : leaves) += 1;
            expected = line[0] == 'B' ? pointsPerSegment : 4;
            continue;
        }
        std::istringstream point(line);
        double x, y, z;
        point >> x >> y >> z;
        wellFormed &= static_cast<bool>(point) && point.eof() && expected-- > 0;
    }
    return wellFormed && expected == 0 ? std::pair{segments, leaves} : std::pair{-1, -1};
}

} // namespace

TEST_F(TreeVerticesCommand, writesTheDefaultTreeAsSegmentAndLeafQuadsAsTheOptionsAsk)
{
    const auto run = cli("tree vertices tree.crs");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(segmentsAndLeaves(read("tree.crs"), 16), (std::pair{1999, 5000}));
    EXPECT_EQ(run.out, "wrote 1999 segments and 5000 leaves to tree.crs\n");
    EXPECT_EQ(folder.entryCount(), 3u); // the file and the captured output, no leftovers

    const std::tuple<const char *, int, std::pair<int, int>> options[] = {
        {"--high-quality", 64, {1999, 5000}}, {"--wireframe", 16, {1999, 0}}, {"--no-leaves", 16, {1999, 0}}};
    for (const auto &[option, points, counts] : options) {
        ASSERT_EQ(cli(std::string("tree vertices tree.crs ") + option).status, 0) << option;
        EXPECT_EQ(segmentsAndLeaves(read("tree.crs"), points), counts) << option;
    }
    ASSERT_EQ(cli("tree save small.tree.xml").status, 0);
    std::string text = read("small.tree.xml");
    write("small.tree.xml", text.replace(text.find("1000"), 4, "1"));
    ASSERT_EQ(cli("tree vertices small.crs --from small.tree.xml").status, 0);
    EXPECT_EQ(segmentsAndLeaves(read("small.crs"), 16), (std::pair{1, 5}));
}

TEST_F(TreeVerticesCommand, failuresExitWithOneAndLeaveTheOutputAlone)
{
    write("keep.crs", "old contents\n");
    write("damaged.tree.xml", "not a tree\n");
    const auto bad = cli("tree vertices keep.crs --from damaged.tree.xml");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("verdalis-cli: "), std::string::npos);
    EXPECT_EQ(read("keep.crs"), "old contents\n");
    const auto unwritable = cli("tree vertices missing/tree.crs");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("could not open"), std::string::npos);
    EXPECT_EQ(std::count(unwritable.err.begin(), unwritable.err.end(), '\n'), 1);
}

#ifdef VERDALIS_HAS_RENDER
TEST_F(TreeVerticesCommand, renderRefusesBadOptionValuesAndSaysWhenThereIsNoDisplay)
{
    for (const char *usage : {"tree render tree.png --size 0x10", "tree render tree.png --size 20000x10",
                              "tree render tree.png --yaw north", "tree render"})
        EXPECT_EQ(cli(usage).status, 2) << usage;
    const auto headless = cli("tree render tree.png", "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    EXPECT_EQ(headless.status, 1);
    EXPECT_NE(headless.err.find("needs a display"), std::string::npos);
    EXPECT_EQ(folder.entryCount(), 2u);
}
#endif
