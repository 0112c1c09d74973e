#include "core/clirun.h"
#include "core/tempfolder.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>

using testsupport::runCli;
using testsupport::TempFolder;

TEST(TreeRenderCommand, savesThePictureOfTheTreeAtTheAskedSize)
{
    TempFolder folder;
    const std::string out = folder.file("tree.png");
    ASSERT_EQ(runCli(folder, "tree render '" + out + "' --size 300x200 --yaw 45").status, 0);
    const QImage image(QString::fromStdString(out));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(300, 200));
    EXPECT_EQ(image.pixel(0, 0), qRgb(68, 121, 137));
    EXPECT_FALSE(image.hasAlphaChannel());
    int tree = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            tree += image.pixel(x, y) != qRgb(68, 121, 137);
    EXPECT_GT(tree, 1000);
}

TEST(TreeRenderCommand, anUnwritableTargetExitsWithOne)
{
    TempFolder folder;
    EXPECT_EQ(runCli(folder, "tree render '" + folder.file("missing/tree.png") + "' --size 32x32").status, 1);
}
