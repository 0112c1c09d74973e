#pragma once

// Include only from test programs that define VERDALIS_CLI as the path of the built verdalis-cli.

#include "core/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>

namespace testsupport {

// What one run of verdalis-cli left behind: its exit status (-1 when it did not exit normally)
// and everything it wrote to standard output and standard error.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// A fresh folder for each test, which is also the working folder of the runs, so that relative
// paths in the arguments name files there.
class CliTest : public ::testing::Test {
protected:
    // Runs the built verdalis-cli from a shell with the given (shell-quoted) arguments, its output
    // collected through the files ".stdout" and ".stderr". The prefix goes before the program in the
    // shell command, such as variable settings or "env -u DISPLAY".
    CliRun cli(const std::string &arguments, const std::string &prefix = "")
    {
        const std::string command = "cd '" + folder.path().string() + "' && " + prefix +
                                    " '" VERDALIS_CLI "' " + arguments + " >.stdout 2>.stderr";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read(".stdout"), read(".stderr")};
    }
    // Runs the command, expecting it to succeed, and gives what it wrote to standard output.
    std::string succeed(const std::string &arguments, const std::string &prefix = "")
    {
        const CliRun run = cli(arguments, prefix);
        EXPECT_EQ(run.status, 0) << arguments << ": " << run.err;
        return run.out;
    }
    std::string read(const std::string &name) const { return readBytes(folder.file(name)); }
    void write(const std::string &name, const std::string &content) const
    {
        writeBytes(folder.file(name), content);
    }

    TempFolder folder;
};

} // namespace testsupport
