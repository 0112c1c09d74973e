// What verdalis-cli says when something is wrong: every line of it starts with "verdalis-cli: ",
// a missing option is called missing, and the bytes of a binary file reach the terminal only
// escaped and shortened.

#include "core/clirun.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using testsupport::CliRun;
using testsupport::TempFolder;

namespace {

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

bool printableAscii(const std::string &line)
{
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
            return false;
    return true;
}

// Every byte value, escape sequences and line ends among them, as a binary file holds them.
std::string binaryBytes()
{
    std::string bytes = "\x1b[2J\x9b";
    for (int round = 0; round < 8; ++round)
        for (int b = 255; b >= 0; --b)
            bytes += static_cast<char>(b);
    return bytes;
}

class CliMessages : public ::testing::Test {
protected:
    CliMessages()
    {
        testsupport::writeBytes(folder.file("binary.sim"), binaryBytes());
        // Two lines for the texture paths, then binary bytes where the numbers should be.
        testsupport::writeBytes(folder.file("binary.tree.xml"), "bark.png\nleaf.png\n1000\t" + binaryBytes());
        testsupport::writeBytes(folder.file("binary.dmr"), binaryBytes());
    }

    CliRun cli(const std::string &arguments) { return testsupport::runCliInFolder(folder.path(), arguments); }

    TempFolder folder;
};

} // namespace

TEST_F(CliMessages, simulateWithoutStepsSaysTheOptionIsMissing)
{
    for (const char *arguments : {"simulate --load binary.sim", "simulate"}) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(lines(run.err).at(0),
                  "verdalis-cli: simulate: --steps is missing: give the number of steps to run")
            << arguments;
    }
    const CliRun wrong = cli("simulate --steps many");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(lines(wrong.err).at(0),
              "verdalis-cli: simulate: --steps needs a whole number of steps, 0 or more");
}

TEST_F(CliMessages, everyErrorLineStartsWithTheProgramName)
{
    const struct {
        const char *arguments;
        int status;
    } failures[] = {
        {"", 2},
        {"forest", 2},
        {"tree", 2},
        {"tree nonsense", 2},
        {"tree save", 2},
        {"tree save a b", 2},
        {"tree save a --unknown", 2},
        {"tree latex a --locale", 2},
        {"simulate --steps 1 --seeds 1,2", 2},
        {"simulate --steps 1 --load missing.sim", 1},
        {"simulate --steps 1 --load binary.sim", 1},
        {"simulate --steps 1 --save no/such/folder/a.sim", 1},
        {"simulate --steps 1 --autosave 1 --dem binary.dmr", 1},
        {"tree save out.tree.xml --from binary.tree.xml", 1},
        {"terrain maps out.tsv --dem binary.dmr", 1},
    };
    for (const auto &failure : failures) {
        const CliRun run = cli(failure.arguments);
        EXPECT_EQ(run.status, failure.status) << failure.arguments;
        const auto errors = lines(run.err);
        EXPECT_FALSE(errors.empty()) << failure.arguments;
        for (const std::string &line : errors)
            EXPECT_EQ(line.rfind("verdalis-cli: ", 0), 0u) << failure.arguments << ": " << line;
    }
    // The first line names the problem, the second where to read about the command.
    const auto usage = lines(cli("tree save a --unknown").err);
    ASSERT_EQ(usage.size(), 2u);
    EXPECT_EQ(usage[0], "verdalis-cli: tree save: unknown option '--unknown'");
    EXPECT_EQ(usage[1], "verdalis-cli: see 'verdalis-cli tree save --help'");
    EXPECT_EQ(
        lines(cli("tree").err).at(0),
        "verdalis-cli: missing command after 'tree' (tree latex, tree render, tree save, tree vertices)");
}

TEST_F(CliMessages, bytesOfABinaryFileAreShownEscapedAndShortened)
{
    for (const char *arguments :
         {"simulate --steps 1 --load binary.sim", "tree save out.tree.xml --from binary.tree.xml"}) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        const auto errors = lines(run.err);
        ASSERT_EQ(errors.size(), 1u) << arguments;
        EXPECT_TRUE(printableAscii(errors[0])) << errors[0];
        EXPECT_LT(errors[0].size(), 240u) << errors[0];
        EXPECT_NE(errors[0].find("\\x1b[2J\\x9b\\xff\\xfe"), std::string::npos) << errors[0];
        EXPECT_NE(errors[0].find("..."), std::string::npos) << errors[0];
    }
}
