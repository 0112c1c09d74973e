#include "core/clirun.h"

#include <algorithm>
#include <regex>

using TreeCommands = testsupport::CliTest;

namespace {

std::string golden(const std::string &name)
{
    return testsupport::readBytes(VERDALIS_SOURCE_DIR "/tests/core/lignet/data/" + name);
}

// The segment and leaf records of a vertex file; -1 when its lines are not just the records' headers
// and their points (pointsPerSegment for "B", 4 for "L"). The exact format is checked with the exporter.
std::pair<int, int> segmentsAndLeaves(const std::string &text, int pointsPerSegment)
{
    const auto lines = testsupport::split(text);
    const auto count = [&lines](const char *header) {
        return static_cast<int>(std::ranges::count_if(
            lines, [&](const std::string &line) { return line.rfind(header, 0) == 0; }));
    };
    const int segments = count("B "), leaves = count("L ");
    const bool whole =
        lines.size() == static_cast<std::size_t>(segments * (1 + pointsPerSegment) + leaves * 5);
    return whole ? std::pair{segments, leaves} : std::pair{-1, -1};
}

} // namespace

TEST_F(TreeCommands,
       saveAndLatexWriteTheGoldenTextsFromCrLfFilesTooAndInTheLocaleAskedForAndHelpListsEachCommand)
{
    write("crlf.tree.xml", std::regex_replace(golden("default.tree.xml"), std::regex("\n"), "\r\n"));
    EXPECT_EQ(succeed("tree save - --from crlf.tree.xml"), golden("default.tree.xml"));

    // LaTeX in the locale asked for, or the environment's.
    EXPECT_EQ(succeed("tree latex - --locale C"), golden("default.tex"));
    succeed("tree latex tree.tex --locale sl_SI --from crlf.tree.xml");
    EXPECT_NE(read("tree.tex").find("$k_d=0,01$, $\\alpha_p=85$, $k_c=0,3$"), std::string::npos);
    EXPECT_NE(succeed("tree latex -", "LC_ALL= LC_NUMERIC= LANG=sl_SI.UTF-8").find("$w_g=1,5$"),
              std::string::npos);

    // Help lists the commands and their options.
    EXPECT_NE(succeed("--help").find("tree latex"), std::string::npos);
    EXPECT_NE(succeed("tree latex --help").find("--locale NAME"), std::string::npos);
}

TEST_F(TreeCommands, verticesWritesTheTreeAsTheOptionsAskAndFailuresExitWithOneAndLeaveTheOutputAlone)
{
    EXPECT_EQ(succeed("tree vertices tree.crs"), "wrote 1999 segments and 5000 leaves to tree.crs\n");
    EXPECT_EQ(segmentsAndLeaves(read("tree.crs"), 16), (std::pair{1999, 5000}));

    const std::tuple<const char *, int, std::pair<int, int>> options[] = {
        {"--high-quality", 64, {1999, 5000}}, {"--wireframe", 16, {1999, 0}}, {"--no-leaves", 16, {1999, 0}}};
    for (const auto &[option, points, counts] : options) {
        ASSERT_EQ(cli(std::string("tree vertices tree.crs ") + option).status, 0) << option;
        EXPECT_EQ(segmentsAndLeaves(read("tree.crs"), points), counts) << option;
    }
    std::string text = golden("default.tree.xml");
    write("small.tree.xml", text.replace(text.find("1000"), 4, "1"));
    ASSERT_EQ(cli("tree vertices small.crs --from small.tree.xml").status, 0);
    EXPECT_EQ(segmentsAndLeaves(read("small.crs"), 16), (std::pair{1, 5}));

    // The reader's messages are checked with the reader; here the exit status and the untouched output.
    write("keep.crs", "old contents\n");
    write("keep.tree.xml", "earlier file\n");
    write("bad.tree.xml", ":/a\n:/b\n1000\t5\t0.01\t85\t0.3\t7\n");
    for (const char *arguments :
         {"tree vertices keep.crs --from bad.tree.xml", "tree save keep.tree.xml --from bad.tree.xml",
          "tree save keep.tree.xml --from absent.tree.xml", "tree save no/such/folder.tree.xml",
          "tree vertices missing/tree.crs"}) {
        const auto run = cli(arguments);
        EXPECT_EQ(std::tuple(run.status, std::ranges::count(run.err, '\n')), std::tuple(1, 1))
            << arguments << ": " << run.err;
    }
    EXPECT_EQ(std::tuple(read("keep.crs"), read("keep.tree.xml")),
              std::tuple("old contents\n", "earlier file\n"));
}

#ifdef VERDALIS_HAS_RENDER
TEST_F(TreeCommands, renderRefusesABadSizeAndSaysWhenThereIsNoDisplay)
{
    EXPECT_EQ(cli("tree render tree.png --size 20000x10").status, 2);
    const auto headless = cli("tree render tree.png", "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    EXPECT_EQ(headless.status, 1);
    EXPECT_NE(headless.err.find("needs a display"), std::string::npos);
}
#endif
