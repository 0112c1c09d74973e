#include "core/clirun.h"
#include "core/tempfolder.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <regex>
#include <string>

using testsupport::runCli;
using testsupport::TempFolder;

TEST(EcosystemRenderCommand, savesTheFrameWithSkyAboveAndLandBelow)
{
    TempFolder folder;
    const std::string out = folder.file("frame.png");
    ASSERT_EQ(runCli(folder, "ecosystem render '" + out + "' --size 120x90").status, 0);
    const QImage image(QString::fromStdString(out));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(120, 90));
    const QColor sky = image.pixelColor(60, 2);
    EXPECT_GT(sky.blue(), sky.red());
    const QColor land = image.pixelColor(60, 87);
    EXPECT_GT(land.green(), land.blue());

    const std::string markings = folder.file("markings.png");
    ASSERT_EQ(
        runCli(folder, "ecosystem render '" + markings + "' --size 120x90 --camera 1 --overlay markings")
            .status,
        0);
    const std::string high = folder.file("high.png");
    ASSERT_EQ(runCli(folder, "ecosystem render '" + high + "' --size 120x90 --camera 1").status, 0);
    EXPECT_NE(QImage(QString::fromStdString(markings)), QImage(QString::fromStdString(high)));
    EXPECT_NE(QImage(QString::fromStdString(high)), image);
}

TEST(EcosystemRenderCommand, treeEditModeShowsTheTreeOnItsBackground)
{
    TempFolder folder;
    const std::string out = folder.file("tree.png");
    ASSERT_EQ(runCli(folder, "ecosystem render '" + out + "' --size 100x100 --tree-edit").status, 0);
    const QImage image(QString::fromStdString(out));
    EXPECT_EQ(image.pixel(0, 0), qRgb(68, 121, 137));
}

TEST(EcosystemRenderCommand, environmentalDeathsThinTheForestBeforeTheFrame)
{
    TempFolder folder;
    const auto livingAfter = [&folder](const std::string &name, const std::string &extra) {
        const testsupport::CliRun run =
            runCli(folder, "ecosystem render '" + folder.file(name) + "' --size 96x96 --steps 30" + extra);
        EXPECT_EQ(run.status, 0) << run.err;
        std::smatch m;
        EXPECT_TRUE(std::regex_search(run.out, m, std::regex(" of ([0-9]+) living after 30 steps")))
            << run.out;
        return m.empty() ? -1 : std::stoi(m[1]);
    };
    const int plain = livingAfter("plain.png", "");
    const int harsh = livingAfter("harsh.png", " --environmental-deaths");
    EXPECT_GT(harsh, 0);
    EXPECT_LT(harsh, plain);
    EXPECT_NE(QImage(QString::fromStdString(folder.file("plain.png"))),
              QImage(QString::fromStdString(folder.file("harsh.png"))));
}

TEST(EcosystemRenderCommand, badUsageAndBadInputExitCodes)
{
    TempFolder folder;
    const std::string out = "'" + folder.file("x.png") + "'";
    EXPECT_EQ(runCli(folder, "ecosystem render " + out + " --overlay clouds").status, 2);
    EXPECT_EQ(runCli(folder, "ecosystem render " + out + " --camera 0").status, 2);
    EXPECT_EQ(runCli(folder, "ecosystem render " + out + " --size 64x64 --camera 3").status, 2);
    EXPECT_EQ(runCli(folder, "ecosystem render " + out + " --steps -1").status, 2);
    EXPECT_EQ(runCli(folder, "ecosystem render " + out + " --size 0x10").status, 2);
    EXPECT_EQ(runCli(folder, "ecosystem render").status, 2);
    EXPECT_EQ(
        runCli(folder, "ecosystem render " + out + " --size 32x32 --dem '" + folder.file("none.dmr") + "'")
            .status,
        1);
    EXPECT_EQ(runCli(folder, "ecosystem render '" + folder.file("missing/x.png") + "' --size 32x32").status,
              1);
}
