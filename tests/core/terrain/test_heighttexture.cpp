#include "core/terrain/demtext.h"

#include <array>

using ecosystem::HeightImages;
using ecosystem::RgbImage;
using ecosystem::TerrainModel;
using namespace terraintest;

namespace {

using Rgb = std::array<int, 3>;

Rgb pixel(const RgbImage &image, int x, int y)
{
    return {image.channel(x, y, 0), image.channel(x, y, 1), image.channel(x, y, 2)};
}

RgbImage textureOf(const std::string &dem, const HeightImages &images)
{
    TerrainModel terrain;
    std::istringstream in(dem);
    EXPECT_TRUE(terrain.loadDem(in, images, TerrainModel::MapUpdate::Defer).ok());
    return terrain.heightTexture();
}

// 8 × 8 picture whose red and green channels tell the pixel's column and row.
RgbImage coordinatePicture()
{
    RgbImage image(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, static_cast<std::uint8_t>(10 * x), static_cast<std::uint8_t>(10 * y), 7);
    return image;
}

} // namespace

TEST(HeightTexture, pixelsBlendTheBandOfTheVertexUnderThemWithItsNeighbours)
{
    // Lowest corner (0, 0), highest corner (99, 99), all else in the middle of the third band.
    const RgbImage texture = textureOf(demText([](int c, int r) {
                                           if (c == 0 && r == 0)
                                               return 0.0;
                                           return c == 99 && r == 99 ? 100.0 : 50.0;
                                       }),
                                       bandImages());
    ASSERT_EQ(std::pair(texture.width(), texture.height()), std::pair(128, 128));
    // Band borders show their own picture at half brightness.
    EXPECT_EQ(pixel(texture, 0, 127), (Rgb{100, 0, 0}));
    EXPECT_EQ(pixel(texture, 1, 127), (Rgb{100, 0, 0}));     // column trunc(100 × 1 / 128) = 0
    EXPECT_EQ(pixel(texture, 127, 0), (Rgb{125, 125, 125})); // vertex (99, 99)
    // The middle of a band is the mean of the bands on either side, halved.
    for (const auto &[x, y] : {std::pair{2, 127}, {127, 127}, {0, 0}, {127, 1}})
        EXPECT_EQ(pixel(texture, x, y), (Rgb{25, 75, 25})) << x << ',' << y;
    // The default terrain's vertex (0, 0) lies at 110.4 of 364.2: just past the middle of the second band.
    EXPECT_EQ(pixel(textureOf(defaultDem(), bandImages()), 0, 127), (Rgb{48, 3, 48}));
}

TEST(HeightTexture, picturesAreTiledFifteenTimesAndNeverReadOutsideThem)
{
    // A DEM of one height has no range: everything is lowest land, shown from the first picture.
    HeightImages images = bandImages();
    images[0] = coordinatePicture();
    const RgbImage texture = textureOf(demText([](int, int) { return 700.0; }), images);
    // Column i takes picture column trunc(8 × i / 128 × 15) mod 8, row j likewise, mirrored.
    EXPECT_EQ(pixel(texture, 100, 127 - 10), (Rgb{25, 5, 3}));
    EXPECT_EQ(pixel(texture, 5, 127), (Rgb{20, 0, 3}));
    EXPECT_EQ(pixel(texture, 0, 0), (Rgb{0, 35, 3})); // trunc(8 × 127 / 128 × 15) = 119 → 7

    const std::string dem = demText([](int c, int r) { return (c * 7 + r * 3) % 100; });
    HeightImages uneven = bandImages();
    uneven[2] = coordinatePicture();
    uneven[3] = solid(1, 3, 9, 9, 9);
    EXPECT_EQ(textureOf(dem, uneven).width(), 128);
    EXPECT_EQ(textureOf(dem, HeightImages{}), RgbImage(128, 128)); // without pictures: black
    // A picture whose bytes do not match its size is empty.
    EXPECT_TRUE(RgbImage(2, 2, std::vector<std::uint8_t>(11)).isEmpty());
    EXPECT_TRUE(RgbImage(-1, 2).isEmpty());
    EXPECT_EQ(RgbImage(2, 1, {1, 2, 3, 4, 5, 6}).channel(1, 0, 2), 6);
}
