#include "resourceprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

struct ImageResource {
    const char *path;
    int width;
    int height;
};

// Every picture the program addresses, with the size it is uploaded or shown at.
const ImageResource kImages[] = {
    {":/gui/textures/height1.jpg", 256, 256},   {":/gui/textures/height2.jpg", 256, 256},
    {":/gui/textures/height3.jpg", 256, 256},   {":/gui/textures/height4.jpg", 256, 256},
    {":/gui/textures/height5.jpg", 256, 256},   {":/gui/textures/bark.jpg", 256, 256},
    {":/gui/textures/leaf.png", 256, 256},      {":/gui/textures/detail.png", 512, 512},
    {":/gui/textures/sky_n.png", 256, 256},     {":/gui/textures/sky_s.png", 256, 256},
    {":/gui/textures/sky_e.png", 256, 256},     {":/gui/textures/sky_w.png", 256, 256},
    {":/gui/textures/sky_u.png", 256, 256},     {":/gui/textures/sky_d.png", 256, 256},
    {":/gui/icons/icons/splash.png", 512, 400}, {":/gui/icons/icons/verdalis.png", 128, 128},
    {":/gui/icons/icons/lignet.xpm", 128, 128},
};

// The icons of the main window's actions, in menu order.
const char *const kActionIcons[] = {
    "fileopen.png",          "filesave.png",          "strands.png",   "angles.png",       "scaling.png",
    "gravimorphism.png",     "treescalars.png",       "ecosystem.png", "moistureness.png", "sunniness.png",
    "windiness.png",         "navigate.png",          "grow.png",      "wind.png",         "play.png",
    "fileopenecosystem.png", "filesaveecosystem.png", "area.png",      "stats.png",
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
    for (const ImageResource &r : kImages) {
        const QImage image(QString::fromLatin1(r.path));
        ASSERT_FALSE(image.isNull()) << r.path;
        EXPECT_EQ(image.width(), r.width) << r.path;
        EXPECT_EQ(image.height(), r.height) << r.path;
    }
}

TEST(Resources, actionIconsAreSquarePicturesOnATransparentGround)
{
    for (const char *name : kActionIcons) {
        const QString path = QStringLiteral(":/gui/icons/icons/") + QString::fromLatin1(name);
        const QImage icon(path);
        ASSERT_FALSE(icon.isNull()) << name;
        EXPECT_EQ(icon.width(), 48) << name;
        EXPECT_EQ(icon.height(), 48) << name;
        ASSERT_TRUE(icon.hasAlphaChannel()) << name;
        int opaque = 0;
        int clear = 0;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                const int alpha = icon.pixelColor(x, y).alpha();
                opaque += alpha == 255;
                clear += alpha == 0;
            }
        }
        // A drawing that covers a good part of the square and leaves the rest see-through.
        EXPECT_GT(opaque, 48 * 48 / 12) << name;
        EXPECT_GT(clear, 48 * 48 / 20) << name;
    }
}

TEST(Resources, aboutPictureIsATreeOnATransparentGround)
{
    const QImage tree(QStringLiteral(":/gui/icons/icons/lignet.xpm"));
    ASSERT_FALSE(tree.isNull());
    EXPECT_EQ(tree.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(tree.pixelColor(127, 0).alpha(), 0);
    // Brown trunk in the middle near the bottom, green crown in the upper half.
    const QColor trunk = tree.pixelColor(64, 100);
    EXPECT_EQ(trunk.alpha(), 255);
    EXPECT_GT(trunk.red(), trunk.blue());
    int green = 0;
    for (int y = 10; y < 60; ++y) {
        for (int x = 10; x < 118; ++x) {
            const QColor c = tree.pixelColor(x, y);
            green += c.alpha() == 255 && c.green() > c.red() && c.green() > c.blue();
        }
    }
    EXPECT_GT(green, 108 * 50 / 3);
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

// The sky box: corners 0..3 at the top, 4..7 at the bottom; each face lists its corners in
// drawing order, and its texture coordinates run (0,0), (1,0), (1,1), (0,1) over them.
// Pictures are uploaded mirrored, so texture t = 0 is the bottom row of the picture.
struct SkyFace {
    const char *path;
    int corners[4];
};

const SkyFace kSkyFaces[] = {
    {":/gui/textures/sky_n.png", {5, 4, 0, 1}}, {":/gui/textures/sky_s.png", {7, 6, 2, 3}},
    {":/gui/textures/sky_e.png", {4, 7, 3, 0}}, {":/gui/textures/sky_w.png", {6, 5, 1, 2}},
    {":/gui/textures/sky_u.png", {1, 0, 3, 2}},
};

QPoint skyPixelAtCorner(const SkyFace &face, int corner, int size)
{
    static const int s[4] = {0, 1, 1, 0};
    static const int t[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        if (face.corners[i] == corner)
            return QPoint(s[i] * (size - 1), (1 - t[i]) * (size - 1));
    }
    return QPoint(-1, -1);
}

TEST(Resources, skyFacesMeetWithoutSeams)
{
    int sharedEdges = 0;
    for (const SkyFace &a : kSkyFaces) {
        for (const SkyFace &b : kSkyFaces) {
            if (&a >= &b)
                continue;
            // Find the two corners the faces share, if any.
            std::vector<int> shared;
            for (int ca : a.corners) {
                for (int cb : b.corners) {
                    if (ca == cb)
                        shared.push_back(ca);
                }
            }
            if (shared.size() != 2)
                continue;
            ++sharedEdges;
            const QImage ia(QString::fromLatin1(a.path));
            const QImage ib(QString::fromLatin1(b.path));
            const int n = ia.width();
            const QPoint a0 = skyPixelAtCorner(a, shared[0], n), a1 = skyPixelAtCorner(a, shared[1], n);
            const QPoint b0 = skyPixelAtCorner(b, shared[0], n), b1 = skyPixelAtCorner(b, shared[1], n);
            int worst = 0;
            for (int k = 0; k < n; ++k) {
                const QColor ca = ia.pixelColor(a0 + (a1 - a0) * k / (n - 1));
                const QColor cb = ib.pixelColor(b0 + (b1 - b0) * k / (n - 1));
                worst = std::max({worst, std::abs(ca.red() - cb.red()), std::abs(ca.green() - cb.green()),
                                  std::abs(ca.blue() - cb.blue())});
            }
            EXPECT_LE(worst, 2) << a.path << " / " << b.path;
        }
    }
    EXPECT_EQ(sharedEdges, 8); // four upright edges and the four edges of the top face
}

TEST(Resources, skyIsBlueAboveAndPaleAtTheHorizon)
{
    const QImage up(QStringLiteral(":/gui/textures/sky_u.png"));
    const QImage north(QStringLiteral(":/gui/textures/sky_n.png"));
    // Mean colours of the top face and of a band just above the bottom of a side face.
    auto mean = [](const QImage &image, int y0, int y1) {
        double r = 0, g = 0, b = 0;
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                r += c.red();
                g += c.green();
                b += c.blue();
                ++count;
            }
        }
        return std::array<double, 3>{r / count, g / count, b / count};
    };
    const auto zenith = mean(up, 0, up.height());
    EXPECT_GT(zenith[2], zenith[0] + 40);
    const auto horizon = mean(north, 230, 240);
    EXPECT_GT(horizon[0] + horizon[1] + horizon[2], zenith[0] + zenith[1] + zenith[2]);
}

TEST(Resources, bundleHoldsExactlyTheCommittedDataFiles)
{
    // Every file in the bundle is byte for byte the file under gui/ in the source tree.
    const QStringList files = compiledInResourceFiles();
    ASSERT_FALSE(files.isEmpty());
    for (const QString &resource : files) {
        QFile compiled(resource);
        ASSERT_TRUE(compiled.open(QIODevice::ReadOnly)) << resource.toStdString();
        QFile source(QStringLiteral(VERDALIS_SOURCE_DIR "/") + resource.mid(2));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << source.fileName().toStdString();
        EXPECT_TRUE(compiled.readAll() == source.readAll()) << resource.toStdString();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
