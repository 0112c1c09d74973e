#include "core/clirun.h"
#include "core/tempfolder.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

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

TEST(EcosystemRenderCommand, framesAreTimedAndTheDrawingPathsAndTreeScaleAreChosen)
{
    TempFolder folder;
    const auto render = [&](const std::string &name, const std::string &flags) {
        const std::string out = folder.file(name);
        const auto run = runCli(folder, "ecosystem render '" + out + "' --size 96x96 --tree-edit " + flags);
        EXPECT_EQ(run.status, 0) << run.err;
        return std::make_pair(run.out, QImage(QString::fromStdString(out)));
    };
    const auto [meshOut, mesh] = render("mesh.png", "--frames 3");
    EXPECT_NE(meshOut.find("frame: min "), std::string::npos) << meshOut;
    EXPECT_NE(meshOut.find(" ms, median "), std::string::npos) << meshOut;
    const auto triangles = meshOut.find("triangles ");
    ASSERT_NE(triangles, std::string::npos);
    EXPECT_GT(std::stoll(meshOut.substr(triangles + 10)), 0);
    EXPECT_NE(meshOut.find(", draw calls "), std::string::npos);
    // Without --frames one frame and no timing line.
    EXPECT_EQ(render("once.png", "").first.find("frame:"), std::string::npos);

    // The reference drawing sends the same triangles, one primitive at a time.
    const auto [referenceOut, reference] = render("reference.png", "--frames 2 --reference-drawing");
    EXPECT_EQ(referenceOut.substr(referenceOut.find("triangles ")).substr(0, 20),
              meshOut.substr(triangles).substr(0, 20));
    EXPECT_EQ(mesh.size(), reference.size());

    const std::string forest = folder.file("forest.png");
    EXPECT_EQ(
        runCli(folder, "ecosystem render '" + forest + "' --size 64x64 --tree-scale 10 --exact-distant-trees")
            .status,
        0);

    const std::string out = "'" + folder.file("x.png") + "'";
    for (const char *bad : {"--tree-scale 3", "--tree-scale x", "--frames 0", "--frames many"}) {
        const auto run = runCli(folder, "ecosystem render " + out + " " + bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.err.rfind("verdalis-cli: ", 0), 0u) << run.err;
    }
}
