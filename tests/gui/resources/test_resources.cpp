#include "resourceprobe.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QCoreApplication>
#include <QTextStream>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct ImageResource {
    const char* path;
    int width;
    int height;
};

// Every picture the program addresses, with the size it is uploaded or shown at.
const ImageResource kImages[] = {
    {":/gui/textures/height1.jpg", 256, 256},
    {":/gui/textures/height2.jpg", 256, 256},
    {":/gui/textures/height3.jpg", 256, 256},
    {":/gui/textures/height4.jpg", 256, 256},
    {":/gui/textures/height5.jpg", 256, 256},
    {":/gui/textures/bark.jpg", 256, 256},
    {":/gui/textures/leaf.png", 256, 256},
    {":/gui/textures/detail.png", 512, 512},
};

TEST(Resources, defaultTerrainOpensWithTenThousandPoints)
{
    QFile file(QStringLiteral(":/gui/textures/100x100.dmr"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&file);
    int points = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        EXPECT_EQ(line.split(QLatin1Char(' ')).size(), 3) << line.toStdString();
        ++points;
    }
    EXPECT_EQ(points, 10000);
}

TEST(Resources, everyPictureLoadsAtItsSize)
{
    for (const ImageResource& r : kImages) {
        const QImage image(QString::fromLatin1(r.path));
        ASSERT_FALSE(image.isNull()) << r.path;
        EXPECT_EQ(image.width(), r.width) << r.path;
        EXPECT_EQ(image.height(), r.height) << r.path;
    }
}

TEST(Resources, leafIsOpaqueGreenOnATransparentWhiteGround)
{
    const QImage leaf(QStringLiteral(":/gui/textures/leaf.png"));
    ASSERT_TRUE(leaf.hasAlphaChannel());
    // The corners are background: white, so the program's colour key removes them too.
    for (const QPoint p : {QPoint(0, 0), QPoint(255, 0), QPoint(0, 255), QPoint(255, 255)}) {
        const QColor c = leaf.pixelColor(p);
        EXPECT_EQ(c.alpha(), 0);
        EXPECT_GT(c.red(), 200);
        EXPECT_GT(c.green(), 200);
        EXPECT_GT(c.blue(), 200);
    }
    // The centre is leaf: opaque, green and dark enough to survive the colour key.
    const QColor centre = leaf.pixelColor(128, 128);
    EXPECT_EQ(centre.alpha(), 255);
    EXPECT_GT(centre.green(), centre.red());
    EXPECT_GT(centre.green(), centre.blue());
    EXPECT_LE(centre.green(), 200);
    // A four-slice disk shows only the centred diamond of the texture: nothing of the leaf
    // may lie outside it.
    // No visible leaf pixel is so light that the colour key would punch a hole in it.
    int outside = 0;
    int keyedOut = 0;
    for (int y = 0; y < leaf.height(); ++y) {
        for (int x = 0; x < leaf.width(); ++x) {
            const QColor c = leaf.pixelColor(x, y);
            if (c.alpha() == 0)
                continue;
            if (std::abs(x - 127.5) + std::abs(y - 127.5) > 128.0)
                ++outside;
            if (c.red() > 200 && c.green() > 200 && c.blue() > 200)
                ++keyedOut;
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(keyedOut, 0);
}

TEST(Resources, bundleHoldsExactlyTheCommittedDataFiles)
{
    // Every file in the bundle is byte for byte the file under gui/ in the source tree.
    const QStringList files = compiledInResourceFiles();
    ASSERT_FALSE(files.isEmpty());
    for (const QString& resource : files) {
        QFile compiled(resource);
        ASSERT_TRUE(compiled.open(QIODevice::ReadOnly)) << resource.toStdString();
        QFile source(QStringLiteral(VERDALIS_SOURCE_DIR "/") + resource.mid(2));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << source.fileName().toStdString();
        EXPECT_TRUE(compiled.readAll() == source.readAll()) << resource.toStdString();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
