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

TEST(TreeRenderCommand, drawsWithTheSetsTexturesAndWarnsWhenOneIsMissing)
{
    TempFolder folder;
    const std::string textured = folder.file("textured.png");
    const std::string plain = folder.file("plain.png");
    const std::string set = folder.file("missing-bark.tree.xml");
    ASSERT_EQ(runCli(folder, "tree save '" + set + "'").status, 0);
    std::string text = testsupport::readBytes(set);
    text.replace(0, text.find('\n'), folder.file("no-such-bark.jpg"));
    testsupport::writeBytes(set, text);

    ASSERT_EQ(runCli(folder, "tree render '" + textured + "' --size 200x200").status, 0);
    const auto run = runCli(folder, "tree render '" + plain + "' --size 200x200 --from '" + set + "'");
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("could not open bark texture file"), std::string::npos) << run.err;
    EXPECT_NE(QImage(QString::fromStdString(textured)), QImage(QString::fromStdString(plain)));
}
