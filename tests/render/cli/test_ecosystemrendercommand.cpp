#include "core/tempfolder.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/wait.h>

using testsupport::TempFolder;

namespace {

int runCli(const std::string &arguments)
{
    const std::string command = "'" VERDALIS_CLI "' " + arguments + " >/dev/null 2>&1";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

} // namespace

TEST(EcosystemRenderCommand, savesTheFrameWithSkyAboveAndLandBelow)
{
    TempFolder folder;
    const std::string out = folder.file("frame.png");
    ASSERT_EQ(runCli("ecosystem render '" + out + "' --size 120x90"), 0);
    const QImage image(QString::fromStdString(out));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(120, 90));
    const QColor sky = image.pixelColor(60, 2);
    EXPECT_GT(sky.blue(), sky.red());
    const QColor land = image.pixelColor(60, 87);
    EXPECT_GT(land.green(), land.blue());

    const std::string markings = folder.file("markings.png");
    ASSERT_EQ(runCli("ecosystem render '" + markings + "' --size 120x90 --camera 1 --overlay markings"), 0);
    const std::string high = folder.file("high.png");
    ASSERT_EQ(runCli("ecosystem render '" + high + "' --size 120x90 --camera 1"), 0);
    EXPECT_NE(QImage(QString::fromStdString(markings)), QImage(QString::fromStdString(high)));
    EXPECT_NE(QImage(QString::fromStdString(high)), image);
}

TEST(EcosystemRenderCommand, treeEditModeShowsTheTreeOnItsBackground)
{
    TempFolder folder;
    const std::string out = folder.file("tree.png");
    ASSERT_EQ(runCli("ecosystem render '" + out + "' --size 100x100 --tree-edit"), 0);
    const QImage image(QString::fromStdString(out));
    EXPECT_EQ(image.pixel(0, 0), qRgb(68, 121, 137));
}

TEST(EcosystemRenderCommand, badUsageAndBadInputExitCodes)
{
    TempFolder folder;
    const std::string out = "'" + folder.file("x.png") + "'";
    EXPECT_EQ(runCli("ecosystem render " + out + " --overlay clouds"), 2);
    EXPECT_EQ(runCli("ecosystem render " + out + " --camera 0"), 2);
    EXPECT_EQ(runCli("ecosystem render " + out + " --size 64x64 --camera 3"), 2);
    EXPECT_EQ(runCli("ecosystem render " + out + " --steps -1"), 2);
    EXPECT_EQ(runCli("ecosystem render " + out + " --size 0x10"), 2);
    EXPECT_EQ(runCli("ecosystem render"), 2);
    EXPECT_EQ(runCli("ecosystem render " + out + " --size 32x32 --dem '" + folder.file("none.dmr") + "'"), 1);
    EXPECT_EQ(runCli("ecosystem render '" + folder.file("missing/x.png") + "' --size 32x32"), 1);
}
