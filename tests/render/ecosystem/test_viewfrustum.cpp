#include "ecosystem/render/viewfrustum.h"

#include <gtest/gtest.h>

#include <array>

using ecosystem::render::ViewFrustum;
using ecosystem::render::levelOfDetailForDistance;

namespace {

const std::array<float, 16> Identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Orthographic box -100..100 in x, y and z: plane distances are plain unit distances.
std::array<float, 16> box()
{
    std::array<float, 16> m = Identity;
    m[0] = m[5] = m[10] = 0.01f;
    return m;
}

} // namespace

TEST(ViewFrustumPlanes, extractedInOrderAndNormalised)
{
    const ViewFrustum frustum = ViewFrustum::fromMatrices(box(), Identity);
    // left: x >= -100, right: x <= 100, top: y <= 100, bottom: y >= -100, near / far along z.
    const double expected[6][4] = {{1, 0, 0, 100}, {-1, 0, 0, 100}, {0, -1, 0, 100},
                                   {0, 1, 0, 100}, {0, 0, 1, 100},  {0, 0, -1, 100}};
    for (int p = 0; p < 6; ++p) {
        const auto &plane = frustum.planes()[static_cast<std::size_t>(p)];
        EXPECT_NEAR(plane.a, expected[p][0], 1e-6) << p;
        EXPECT_NEAR(plane.b, expected[p][1], 1e-6) << p;
        EXPECT_NEAR(plane.c, expected[p][2], 1e-6) << p;
        EXPECT_NEAR(plane.d, expected[p][3], 1e-4) << p;
    }
}

TEST(ViewFrustumPlanes, modelviewMovesThePlanes)
{
    std::array<float, 16> moved = Identity;
    moved[12] = 50.0f; // the world shifted 50 to the right in eye space
    const ViewFrustum frustum = ViewFrustum::fromMatrices(box(), moved);
    EXPECT_NEAR(frustum.planes()[0].d, 150.0, 1e-4);
    EXPECT_NEAR(frustum.planes()[1].d, 50.0, 1e-4);
}

TEST(ViewFrustumSphere, straddlingCountsAndOutsideIsCulled)
{
    const ViewFrustum frustum = ViewFrustum::fromMatrices(box(), Identity);
    EXPECT_TRUE(frustum.isSphereVisible(0, 0, 0, 5.0));
    EXPECT_FALSE(frustum.isSphereVisible(-105.1, 0, 0, 5.0)); // 5.1 outside the left plane
    EXPECT_TRUE(frustum.isSphereVisible(-104.9, 0, 0, 5.0));  // 4.9 outside: straddles it
}

TEST(ViewFrustumSphere, straddlingOnePlaneWinsOverLaterPlanes)
{
    const ViewFrustum frustum = ViewFrustum::fromMatrices(box(), Identity);
    // Straddles the left plane but lies far beyond the top plane: still drawn.
    EXPECT_TRUE(frustum.isSphereVisible(-102.0, 500.0, 0, 5.0));
}

TEST(ViewFrustumSphere, exactlyRadiusOutsideIsDecidedByTheFollowingPlanes)
{
    ViewFrustum frustum = ViewFrustum::fromMatrices(box(), Identity);
    // Exactly 5 outside the left plane (planes made exact so no rounding decides the case).
    frustum.planes()[0] = {1.0, 0.0, 0.0, 100.0};
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 0, 0, 5.0));
    EXPECT_FALSE(frustum.isSphereVisible(-105.0, 500.0, 0, 5.0)); // top plane rejects it
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 102.0, 0, 5.0));  // top plane straddled
}

TEST(LevelOfDetail, fallsWithTheSquareRootOfTheDistance)
{
    EXPECT_EQ(levelOfDetailForDistance(0.0), 0);
    EXPECT_EQ(levelOfDetailForDistance(4.9), 0);
    EXPECT_EQ(levelOfDetailForDistance(5.0), 1);
    EXPECT_EQ(levelOfDetailForDistance(20.0), 2);
    EXPECT_EQ(levelOfDetailForDistance(404.0), 8);
    EXPECT_EQ(levelOfDetailForDistance(405.0), 9);
    EXPECT_EQ(levelOfDetailForDistance(500.0), 9);
    EXPECT_EQ(levelOfDetailForDistance(1e9), 9);
}
