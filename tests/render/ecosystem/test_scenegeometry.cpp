#include "assets/terrainloader.h"
#include "ecosystem/render/landmarkings.h"
#include "ecosystem/render/skybox.h"
#include "ecosystem/render/viewfrustum.h"

#include <gtest/gtest.h>

#include <array>

using ecosystem::render::SkyBox;
using ecosystem::render::ViewFrustum;

namespace {

const std::array<float, 16> Identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// Orthographic box -100..100 in x, y and z: plane distances are plain unit distances.
const std::array<float, 16> Box = {0.01f, 0, 0, 0, 0, 0.01f, 0, 0, 0, 0, 0.01f, 0, 0, 0, 0, 1};

} // namespace

TEST(ViewFrustum, planesAreExtractedInOrderNormalisedAndMovedByTheModelview)
{
    const ViewFrustum frustum = ViewFrustum::fromMatrices(Box, Identity);
    // left: x >= -100, right: x <= 100, top: y <= 100, bottom: y >= -100, near / far along z.
    const double expected[6][4] = {{1, 0, 0, 100}, {-1, 0, 0, 100}, {0, -1, 0, 100},
                                   {0, 1, 0, 100}, {0, 0, 1, 100},  {0, 0, -1, 100}};
    for (std::size_t p = 0; p < 6; ++p) {
        const auto &plane = frustum.planes()[p];
        EXPECT_NEAR(plane.a, expected[p][0], 1e-6) << p;
        EXPECT_NEAR(plane.b, expected[p][1], 1e-6) << p;
        EXPECT_NEAR(plane.c, expected[p][2], 1e-6) << p;
        EXPECT_NEAR(plane.d, expected[p][3], 1e-4) << p;
    }
    std::array<float, 16> moved = Identity;
    moved[12] = 50.0f; // the world shifted 50 to the right in eye space
    EXPECT_NEAR(ViewFrustum::fromMatrices(Box, moved).planes()[0].d, 150.0, 1e-4);
    EXPECT_NEAR(ViewFrustum::fromMatrices(Box, moved).planes()[1].d, 50.0, 1e-4);
}

TEST(ViewFrustum, aSphereStraddlingAPlaneIsVisibleWhateverTheLaterPlanesSay)
{
    ViewFrustum frustum = ViewFrustum::fromMatrices(Box, Identity);
    EXPECT_TRUE(frustum.isSphereVisible(0, 0, 0, 5.0));
    EXPECT_FALSE(frustum.isSphereVisible(-105.1, 0, 0, 5.0));    // 5.1 outside the left plane
    EXPECT_TRUE(frustum.isSphereVisible(-104.9, 0, 0, 5.0));     // 4.9 outside: straddles it
    EXPECT_TRUE(frustum.isSphereVisible(-102.0, 500.0, 0, 5.0)); // far beyond the top plane
    // Exactly the radius outside (planes made exact so no rounding decides) goes on to the others.
    frustum.planes()[0] = {1.0, 0.0, 0.0, 100.0};
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 0, 0, 5.0));
    EXPECT_FALSE(frustum.isSphereVisible(-105.0, 500.0, 0, 5.0));
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 102.0, 0, 5.0));
}

TEST(LevelOfDetail, fallsWithTheSquareRootOfTheDistance)
{
    const std::pair<double, int> cases[] = {{0.0, 0},   {4.9, 0},   {5.0, 1},   {20.0, 2},
                                            {404.0, 8}, {405.0, 9}, {500.0, 9}, {1e9, 9}};
    for (const auto &[distance, level] : cases)
        EXPECT_EQ(ecosystem::render::levelOfDetailForDistance(distance), level) << distance;
}

TEST(SkyBox, isFiveTerrainsWideCentredOverTheTerrainWithTheGroundRepeatedFiveTimes)
{
    const SkyBox sky({2500.0f, 1000.0f, 2500.0f});
    const float s = 12500.0f;
    const auto &c = sky.corners();
    EXPECT_EQ(c[0], math::Vector3f(-s + 1250.0f, s, s + 1250.0f));
    EXPECT_EQ(c[2], math::Vector3f(s + 1250.0f, s, -s + 1250.0f));
    EXPECT_EQ(c[4], math::Vector3f(-s + 1250.0f, 0.0f, s + 1250.0f));
    EXPECT_EQ(c[6], math::Vector3f(s + 1250.0f, 0.0f, -s + 1250.0f));
    EXPECT_EQ(SkyBox::faces()[SkyBox::North], (std::array<int, 4>{5, 4, 0, 1}));
    EXPECT_EQ(SkyBox::faces()[SkyBox::Down], (std::array<int, 4>{5, 6, 7, 4}));
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::North, 0)[0], 0.001953125);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Up, 2)[1], 0.9980469);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 2)[0], 4.9902344);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 3)[1], 4.9902344);
}

TEST(LandMarkings, standAtTheMiddleOfEachEdgeFacingOutwards)
{
    ecosystem::TerrainModel terrain;
    ASSERT_TRUE(
        assets::TerrainLoader::load(terrain, QString::fromLatin1(assets::TerrainLoader::DefaultDem)).ok());
    const auto markings = ecosystem::render::LandMarkings(terrain).markings();
    const std::tuple<char, int, int> expected[] = {{'N', 50, 0}, {'S', 50, 99}, {'E', 99, 50}, {'W', 0, 50}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto &[letter, column, row] = expected[i];
        EXPECT_EQ(markings[i].letter, letter);
        EXPECT_EQ(markings[i].foot, terrain.vertex(column, row)) << letter;
        ASSERT_FALSE(ecosystem::render::LandMarkings::strokes(letter).empty()) << letter;
        for (const auto &stroke : ecosystem::render::LandMarkings::strokes(letter))
            for (float v : stroke)
                EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << letter;
    }
    EXPECT_EQ(markings[0].outward, math::Vector3f(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(markings[2].outward, math::Vector3f(1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(ecosystem::render::LandMarkings::strokes('Q').empty());
}
