#include "assets/terrainloader.h"
#include "ecosystem/render/landmarkings.h"

#include <gtest/gtest.h>

using ecosystem::render::LandMarkings;

TEST(LandMarkings, standAtTheMiddleOfEachEdgeFacingOutwards)
{
    ecosystem::TerrainModel terrain;
    ASSERT_TRUE(
        assets::TerrainLoader::load(terrain, QString::fromLatin1(assets::TerrainLoader::DefaultDem)).ok());
    const auto markings = LandMarkings(terrain).markings();
    EXPECT_EQ(markings[0].letter, 'N');
    EXPECT_EQ(markings[0].foot, terrain.vertex(50, 0));
    EXPECT_EQ(markings[0].outward, math::Vector3f(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(markings[1].letter, 'S');
    EXPECT_EQ(markings[1].foot, terrain.vertex(50, 99));
    EXPECT_EQ(markings[2].letter, 'E');
    EXPECT_EQ(markings[2].foot, terrain.vertex(99, 50));
    EXPECT_EQ(markings[2].outward, math::Vector3f(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(markings[3].letter, 'W');
    EXPECT_EQ(markings[3].foot, terrain.vertex(0, 50));
    for (char letter : {'N', 'S', 'E', 'W'}) {
        ASSERT_FALSE(LandMarkings::strokes(letter).empty()) << letter;
        for (const auto &s : LandMarkings::strokes(letter))
            for (float v : s) {
                EXPECT_GE(v, 0.0f);
                EXPECT_LE(v, 1.0f);
            }
    }
    EXPECT_TRUE(LandMarkings::strokes('Q').empty());
}
