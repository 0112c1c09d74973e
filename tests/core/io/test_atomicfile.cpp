#include "core/tempfolder.h"
#include "io/atomicfilewriter.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::readBytes;
using testsupport::TempFolder;
using testsupport::writeBytes;

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
    EXPECT_EQ(readBytes(target), "old\n");
    EXPECT_EQ(folder.entryCount(), 1u);

    io::AtomicFileStream file;
    ASSERT_TRUE(file.open(target));
    EXPECT_TRUE(file.write("first "));
    EXPECT_TRUE(file.write("second\n"));
    EXPECT_EQ(readBytes(target), "old\n");
    EXPECT_EQ(folder.entryCount(), 2u);
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(readBytes(target), "first second\n");
    EXPECT_EQ(folder.entryCount(), 1u);

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
