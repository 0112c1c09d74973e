#include "core/clirun.h"
#include "core/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using testsupport::CliRun;
using testsupport::readBytes;
using testsupport::runCli;
using testsupport::TempFolder;
using testsupport::writeBytes;

namespace {

std::string golden(const char *name)
{
    return readBytes(std::string(VERDALIS_SOURCE_DIR "/tests/core/lignet/data/") + name);
}

std::string lineCount(const std::string &text)
{
    return std::to_string(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(TreeSaveCommand, writesTheDefaultSetAndCopiesAFile)
{
    TempFolder folder;
    const std::string out = folder.file("default.tree.xml");
    CliRun run = runCli(folder, "tree save '" + out + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(out), golden("default.tree.xml"));

    // A CR LF file comes back with LF line ends and the same values.
    std::string crlf;
    for (char c : golden("default.tree.xml"))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    writeBytes(folder.file("crlf.tree.xml"), crlf);
    run = runCli(folder, "tree save - --from '" + folder.file("crlf.tree.xml") + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, golden("default.tree.xml"));
}

TEST(TreeSaveCommand, damagedInputExitsWithOneAndKeepsTheOutput)
{
    TempFolder folder;
    const std::string out = folder.file("out.tree.xml");
    writeBytes(out, "earlier file\n");
    writeBytes(folder.file("bad.tree.xml"), ":/a\n:/b\n1000\t5\t0.01\t85\t0.3\t7\n");
    const CliRun run = runCli(folder, "tree save '" + out + "' --from '" + folder.file("bad.tree.xml") + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("line 3: expected the display-leaves flag (0 or 1), found \"7\""),
              std::string::npos)
        << run.err;
    EXPECT_EQ(lineCount(run.err), "1");
    EXPECT_EQ(readBytes(out), "earlier file\n");

    EXPECT_EQ(
        runCli(folder, "tree save '" + out + "' --from '" + folder.file("absent.tree.xml") + "'").status, 1);
    EXPECT_EQ(runCli(folder, "tree save '" + folder.file("no/such/folder.tree.xml") + "'").status, 1);
}

TEST(TreeLatexCommand, writesTheGoldenTextAndHonoursTheLocale)
{
    TempFolder folder;
    CliRun run = runCli(folder, "tree latex - --locale C");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, golden("default.tex"));

    const std::string out = folder.file("tree.tex");
    run = runCli(folder, "tree latex '" + out +
                             "' --locale sl_SI --from '" VERDALIS_SOURCE_DIR
                             "/tests/core/lignet/data/default.tree.xml'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(readBytes(out).find("$k_d=0,01$, $\\alpha_p=85$, $k_c=0,3$"), std::string::npos);

    // Without --locale the environment decides, as it does for the desktop program.
    run = runCli(folder, "tree latex -", "LC_ALL= LC_NUMERIC= LANG=sl_SI.UTF-8");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("$w_g=1,5$"), std::string::npos);
}

TEST(TreeCommands, badUsageExitsWithTwo)
{
    TempFolder folder;
    for (const char *arguments : {"tree save", "tree latex", "tree save a b", "tree save a --unknown",
                                  "tree latex a --locale", "tree", "tree nonsense", "", "forest"}) {
        const CliRun run = runCli(folder, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
}

TEST(TreeCommands, helpListsTheGroupAndEachCommand)
{
    TempFolder folder;
    CliRun run = runCli(folder, "tree --help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("tree save"), std::string::npos);
    EXPECT_NE(run.out.find("tree latex"), std::string::npos);

    run = runCli(folder, "--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("tree latex"), std::string::npos);

    run = runCli(folder, "tree latex --help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--locale NAME"), std::string::npos);
    EXPECT_NE(run.out.find("--from IN"), std::string::npos);
    run = runCli(folder, "tree save --help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Usage: verdalis-cli tree save OUT"), std::string::npos);
}
