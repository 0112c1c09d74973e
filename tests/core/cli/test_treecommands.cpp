#include "core/clirun.h"

#include <algorithm>

using TreeCommands = testsupport::CliTest;

namespace {

std::string golden(const std::string &name)
{
    return testsupport::readBytes(VERDALIS_SOURCE_DIR "/tests/core/lignet/data/" + name);
}

} // namespace

TEST_F(TreeCommands, saveWritesTheDefaultSetAndCopiesACrLfFileWithLfLineEnds)
{
    auto run = cli("tree save default.tree.xml");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(read("default.tree.xml"), golden("default.tree.xml"));
    std::string crlf;
    for (char c : golden("default.tree.xml"))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    write("crlf.tree.xml", crlf);
    run = cli("tree save - --from crlf.tree.xml");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, golden("default.tree.xml"));
}

TEST_F(TreeCommands, saveOfDamagedInputExitsWithOneAndKeepsTheOutput)
{
    write("out.tree.xml", "earlier file\n");
    write("bad.tree.xml", ":/a\n:/b\n1000\t5\t0.01\t85\t0.3\t7\n");
    const auto run = cli("tree save out.tree.xml --from bad.tree.xml");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("line 3: expected the display-leaves flag (0 or 1), found \"7\""),
              std::string::npos)
        << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_EQ(cli("tree save out.tree.xml --from absent.tree.xml").status, 1);
    EXPECT_EQ(read("out.tree.xml"), "earlier file\n");
    EXPECT_EQ(cli("tree save no/such/folder.tree.xml").status, 1);
}

TEST_F(TreeCommands, latexWritesTheGoldenTextInTheLocaleAskedForOrTheEnvironments)
{
    auto run = cli("tree latex - --locale C");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, golden("default.tex"));
    run = cli("tree latex tree.tex --locale sl_SI --from '" VERDALIS_SOURCE_DIR
              "/tests/core/lignet/data/default.tree.xml'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(read("tree.tex").find("$k_d=0,01$, $\\alpha_p=85$, $k_c=0,3$"), std::string::npos);
    run = cli("tree latex -", "LC_ALL= LC_NUMERIC= LANG=sl_SI.UTF-8");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("$w_g=1,5$"), std::string::npos);
}

TEST_F(TreeCommands, badUsageExitsWithTwoAndHelpListsTheGroupAndEachCommand)
{
    for (const char *arguments : {"tree save", "tree latex", "tree save a b", "tree save a --unknown",
                                  "tree latex a --locale", "tree", "tree nonsense", "", "forest"}) {
        const auto run = cli(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
    const std::pair<const char *, const char *> help[] = {
        {"tree --help", "tree save"},
        {"--help", "tree latex"},
        {"tree latex --help", "--locale NAME"},
        {"tree latex --help", "--from IN"},
        {"tree save --help", "Usage: verdalis-cli tree save OUT"}};
    for (const auto &[arguments, text] : help) {
        const auto run = cli(arguments);
        EXPECT_EQ(run.status, 0) << arguments;
        EXPECT_NE(run.out.find(text), std::string::npos) << arguments << ": " << run.out;
    }
}
