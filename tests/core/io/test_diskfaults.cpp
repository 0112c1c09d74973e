// Every kind of file the core writes, onto a full disk (a file size limit far below the file) and
// into a folder it may not write: the write fails with a reason, the file that was there keeps its
// content and nothing is left behind. Pictures, LaTeX text and the command line's outputs are
// written whole through AtomicFileWriter, which the last row covers.
#include "core/filesizelimit.h"
#include "core/simulation/simulationtestsupport.h"
#include "ecosystem/simulation/autosave.h"
#include "io/atomicfilewriter.h"
#include "lignet/treeparameterfile.h"
#include "lignet/vertexexporter.h"
#include "math/mat4.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;

namespace {

// Writes the file `name` into `folder`; returns the failure reason, empty on success.
using WriteFile = std::function<std::string(const std::string &folder, const std::string &name)>;

struct Writer {
    const char *kind, *name; // the kind of file and the file written
    WriteFile write;
};

std::vector<Writer> writers()
{
    return {
        {"TreeParameterFile", "tree.tree.xml",
         [](const std::string &folder, const std::string &name) {
             std::string reason;
             return lignet::TreeParameterFile::save({}, folder + "/" + name, &reason) ? "" : reason;
         }},
        // A simulation two steps into its run; the reason is what went to standard error.
        {"SimulationFile", "saved.sim",
         [](const std::string &folder, const std::string &name) {
             simulationtest::World w;
             w.run(2);
             std::ostringstream out, err;
             return w.simulation.save(folder + "/" + name, out, err).ok ? "" : err.str();
         }},
        {"AutoSave", "2.sim",
         [](const std::string &folder, const std::string &) {
             simulationtest::World w;
             w.run(2);
             ecosystem::AutoSave autosave;
             autosave.setInterval(2);
             autosave.setFolder(folder);
             std::ostringstream out, err;
             return autosave.update(w.simulation, out, err).ok ? "" : err.str();
         }},
        {"VertexExporter", "tree.crs",
         [](const std::string &folder, const std::string &name) {
             lignet::VertexExporter exporter;
             exporter.beginExport(folder + "/" + name, true);
             for (int i = 0; i < 50; ++i)
                 exporter.exportSegment(math::Mat4(), 1.0, 0.2, 0.1, nullptr, i);
             return exporter.endExport() ? "" : exporter.lastError();
         }},
        {"AtomicFileWriter", "picture.png",
         [](const std::string &folder, const std::string &name) {
             std::string reason;
             return io::AtomicFileWriter::write(folder + "/" + name, std::string(4096, 'p'), &reason)
                        ? ""
                        : reason;
         }},
    };
}

enum class Fault { FullDisk, ReadOnlyFolder };

// The superuser may write into any folder; a child process that has become an ordinary user
// meets the refusal a user does. Returns the child's failure reason.
std::string writeAsOrdinaryUser(const Writer &writer, const std::string &folder)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        std::string reason = "cannot become an ordinary user";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0)
            reason = writer.write(folder, writer.name);
        ::_exit(::write(channel[1], reason.data(), reason.size()) == static_cast<ssize_t>(reason.size()) ? 0
                                                                                                         : 1);
    }
    ::close(channel[1]);
    std::string reason;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        reason.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return reason;
}

class DiskFault : public testing::TestWithParam<std::tuple<Writer, Fault>> {};

} // namespace

TEST_P(DiskFault, failsWithAReasonAndKeepsTheOldFile)
{
    const auto &[writer, fault] = GetParam();
    TempFolder folder;
    const std::string target = folder.file(writer.name);
    const std::string old = "the previous file\n";
    writeBytes(target, old);
    // Whatever the writer needs outside the folder (the built-in terrain) is made before the fault.
    simulationtest::World();

    const std::string dir = folder.path().string();
    std::string reason;
    if (fault == Fault::FullDisk) {
        const testsupport::FileSizeLimit limit;
        reason = writer.write(dir, writer.name);
    } else {
        const bool superuser = ::geteuid() == 0;
        ::chmod(dir.c_str(), superuser ? 0755 : 0500);
        reason = superuser ? writeAsOrdinaryUser(writer, dir) : writer.write(dir, writer.name);
        ::chmod(dir.c_str(), 0700);
    }

    EXPECT_NE(reason.find("cannot write"), std::string::npos) << "the failed write is reported: " << reason;
    EXPECT_EQ(readBytes(target), old);
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file is left behind";

    // Without the fault the same write replaces the old file.
    EXPECT_EQ(writer.write(dir, writer.name), "");
    EXPECT_NE(readBytes(target), old);
    EXPECT_EQ(folder.entryCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, DiskFault,
                         testing::Combine(testing::ValuesIn(writers()),
                                          testing::Values(Fault::FullDisk, Fault::ReadOnlyFolder)),
                         [](const testing::TestParamInfo<DiskFault::ParamType> &test) {
                             return std::string(std::get<0>(test.param).kind) +
                                    (std::get<1>(test.param) == Fault::FullDisk ? "_fullDisk"
                                                                                : "_readOnlyFolder");
                         });

TEST(AtomicFileStream, theTargetChangesOnlyAtCommitAndAnAbandonedOrUnopenedFileLeavesNothingBehind)
{
    TempFolder folder;
    const std::string target = folder.file("out.txt");
    writeBytes(target, "old\n");
    {
        io::AtomicFileStream abandoned;
        ASSERT_TRUE(abandoned.open(target));
        abandoned.write("half");
    }
    EXPECT_EQ(std::tuple(readBytes(target), folder.entryCount()), std::tuple("old\n", 1u));

    io::AtomicFileStream file;
    ASSERT_TRUE(file.open(target));
    EXPECT_TRUE(file.write("first "));
    EXPECT_TRUE(file.write("second\n"));
    EXPECT_EQ(std::tuple(readBytes(target), folder.entryCount()), std::tuple("old\n", 2u));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(std::tuple(readBytes(target), folder.entryCount()), std::tuple("first second\n", 1u));

    // A replaced file keeps its permissions, a new one gets those of an ordinary open(), and a write
    // through a symbolic link replaces the file it points to and keeps the link.
    const auto modeOf = [](const std::string &path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };
    ASSERT_EQ(::chmod(target.c_str(), 0604), 0);
    const std::string link = folder.file("link.txt");
    std::filesystem::create_symlink(target, link);
    ASSERT_TRUE(io::AtomicFileWriter::write(link, "third\n"));
    EXPECT_EQ(std::tuple(readBytes(target), modeOf(target), std::filesystem::is_symlink(link)),
              std::tuple("third\n", 0604u, true));
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(io::AtomicFileWriter::write(folder.file("new.txt"), "new\n"));
    ::umask(mask);
    EXPECT_EQ(modeOf(folder.file("new.txt")), 0644u);
    std::filesystem::remove(link);
    std::filesystem::remove(folder.file("new.txt"));

    io::AtomicFileStream missing;
    std::string reason;
    EXPECT_FALSE(missing.open(folder.file("no/such/folder.txt"), &reason));
    EXPECT_NE(reason.find("cannot write"), std::string::npos);
    EXPECT_FALSE(missing.write("x"));
    EXPECT_FALSE(missing.commit(&reason));

    std::filesystem::create_directory(folder.file("folder"));
    EXPECT_FALSE(io::AtomicFileWriter::write(folder.file("folder"), "x", &reason));
    EXPECT_NE(reason.find("it is a folder"), std::string::npos);
    EXPECT_EQ(folder.entryCount(), 2u);
}
