#include "ecosystem/render/skybox.h"

#include <gtest/gtest.h>

using ecosystem::render::SkyBox;

TEST(SkyBoxGeometry, boxFiveTerrainsWideCentredOverTheTerrain)
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
}

TEST(SkyBoxGeometry, groundRepeatsFiveTimesOtherFacesOnce)
{
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::North, 0)[0], 0.001953125);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Up, 2)[1], 0.9980469);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 2)[0], 4.9902344);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 3)[0], 0.001953125);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 3)[1], 4.9902344);
}
