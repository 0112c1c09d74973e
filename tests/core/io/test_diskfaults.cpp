// Every kind of file the core writes, onto a full disk (a file size limit far below the file): the
// write fails with a reason, the file that was there keeps its content and nothing is left behind.
// Pictures, LaTeX text and the command line's outputs are written whole through AtomicFileWriter,
// which the last row covers; a folder that cannot be written into fails at the open, as a missing
// one does below.
#include "core/filesizelimit.h"
#include "core/simulation/simulationtestsupport.h"
#include "io/atomicfilewriter.h"
#include "lignet/treeparameterfile.h"
#include "lignet/vertexexporter.h"
#include "math/mat4.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <sys/stat.h>

using namespace testsupport;

namespace {

// Writes the file `name` into `folder`; returns the failure reason, empty on success.
using WriteFile = std::function<std::string(const std::string &folder, const std::string &name)>;

struct Writer {
    const char *kind, *name; // the kind of file and the file written
    WriteFile write;
};

const Writer writers[] = {
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
         return io::AtomicFileWriter::write(folder + "/" + name, std::string(4096, 'p'), &reason) ? ""
                                                                                                  : reason;
     }},
};

} // namespace

TEST(DiskFault, everyWriterOnAFullDiskFailsWithAReasonAndKeepsTheOldFile)
{
    // Whatever the writers need outside the folder (the built-in terrain) is made before the fault.
    simulationtest::World();
    for (const Writer &writer : writers) {
        SCOPED_TRACE(writer.kind);
        TempFolder folder;
        const std::string target = folder.file(writer.name);
        const std::string old = "the previous file\n";
        writeBytes(target, old);

        const std::string dir = folder.path().string();
        std::string reason;
        {
            const testsupport::FileSizeLimit limit;
            reason = writer.write(dir, writer.name);
        }
        EXPECT_NE(reason.find("cannot write"), std::string::npos)
            << "the failed write is reported: " << reason;
        EXPECT_EQ(readBytes(target), old);
        EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file is left behind";

        // Without the fault the same write replaces the old file.
        EXPECT_EQ(writer.write(dir, writer.name), "");
        EXPECT_NE(readBytes(target), old);
        EXPECT_EQ(folder.entryCount(), 1u);
    }
}

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
