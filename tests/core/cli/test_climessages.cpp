// What verdalis-cli says when something is wrong: every line of it starts with "verdalis-cli: ",
// a missing option is called missing, and the bytes of a binary file reach the terminal only
// escaped and shortened.

#include "core/clirun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using testsupport::CliRun;
using testsupport::split;

namespace {

// Every byte value, escape sequences and line ends among them, as a binary file holds them.
std::string binaryBytes()
{
    std::string bytes = "\x1b[2J\x9b";
    for (int round = 0; round < 8; ++round)
        for (int b = 255; b >= 0; --b)
            bytes += static_cast<char>(b);
    return bytes;
}

// The fixture's folder holds a binary file in place of each kind of input file.
class CliMessages : public testsupport::CliTest {
protected:
    CliMessages()
    {
        write("binary.sim", binaryBytes());
        // Two lines for the texture paths, then binary bytes where the numbers should be.
        write("binary.tree.xml", "bark.png\nleaf.png\n1000\t" + binaryBytes());
        write("binary.dmr", binaryBytes());
    }
};

} // namespace

TEST_F(CliMessages, everyErrorLineStartsWithTheProgramNameAndShowsBinaryBytesEscapedAndShortened)
{
    // Usage errors end with status 2, failures of the work itself with 1.
    const std::pair<int, std::vector<const char *>> failures[] = {
        {2,
         {"", "forest", "tree", "tree nonsense", "tree save", "tree latex", "tree save a b",
          "tree save a --unknown", "tree latex a --locale", "simulate --steps 1 --seeds 1,2",
          "simulate --steps -3", "simulate --steps 3 --plant-area 1,2,3,400",
          "simulate --steps 3 --autosave 0"}},
        {1,
         {"simulate --steps 1 --load missing.sim", "simulate --steps 1 --load binary.sim",
          "simulate --steps 1 --save no/such/folder/a.sim",
          "simulate --steps 1 --autosave 1 --dem binary.dmr", "tree save out.tree.xml --from binary.tree.xml",
          "terrain maps out.tsv --dem binary.dmr"}}};
    int binaryShown = 0;
    for (const auto &[status, list] : failures)
        for (const char *arguments : list) {
            const CliRun run = cli(arguments);
            EXPECT_EQ(run.status, status) << arguments;
            const auto errors = split(run.err);
            EXPECT_FALSE(errors.empty()) << arguments;
            for (const std::string &line : errors)
                EXPECT_EQ(line.rfind("verdalis-cli: ", 0), 0u) << arguments << ": " << line;
            // The bytes of a binary file are shown on one line, escaped and shortened.
            if (std::strstr(arguments, " binary.sim") || std::strstr(arguments, " binary.tree.xml")) {
                ++binaryShown;
                ASSERT_EQ(errors.size(), 1u) << arguments;
                EXPECT_TRUE(std::all_of(errors[0].begin(), errors[0].end(), [](char c) {
                    return c >= 0x20 && c <= 0x7e;
                })) << errors[0]; // printable ASCII only
                EXPECT_LT(errors[0].size(), 240u) << errors[0];
                EXPECT_NE(errors[0].find("\\x1b[2J\\x9b\\xff\\xfe"), std::string::npos) << errors[0];
                EXPECT_NE(errors[0].find("..."), std::string::npos) << errors[0];
            }
        }
    EXPECT_EQ(binaryShown, 2);
    // The first line names the problem; after a usage error the second says where to read more.
    const std::pair<const char *, const char *> firstLines[] = {
        {"simulate", "simulate: --steps is missing: give the number of steps to run"},
        {"simulate --load binary.sim", "simulate: --steps is missing: give the number of steps to run"},
        {"simulate --steps many", "simulate: --steps needs a whole number of steps, 0 or more"},
        {"tree",
         "missing command after 'tree' (tree export, tree latex, tree render, tree save, tree vertices)"},
        {"simulate --steps 1 --save no/such/folder.sim", "Could not save simulation"}};
    for (const auto &[arguments, message] : firstLines)
        EXPECT_NE(split(cli(arguments).err).at(0).find(message), std::string::npos) << arguments;
    const auto usage = split(cli("tree save a --unknown").err);
    ASSERT_EQ(usage.size(), 2u);
    EXPECT_EQ(usage[0], "verdalis-cli: tree save: unknown option '--unknown'");
    EXPECT_EQ(usage[1], "verdalis-cli: see 'verdalis-cli tree save --help'");
}
