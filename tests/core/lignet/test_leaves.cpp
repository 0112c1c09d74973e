#include "core/vectornear.h"
#include "recordingsink.h"

#include <cmath>
#include <numbers>

using lignet::TreeParameters;
using lignet::TreeRenderer;
using math::Vector3f;

namespace {

// The point at distance r from the twig axis in direction `degrees` about +y from +z, at height y.
Vector3f around(double degrees, double r, double y)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return {static_cast<float>(r * std::sin(a)), static_cast<float>(y), static_cast<float>(r * std::cos(a))};
}

} // namespace

TEST(Leaves, spiralLeavesTurnBy197DegreesStackedFormTwoRowsAndNeedlesSlantTowardTheTip)
{
    const auto sink = drawn(twig(lignet::SPIRAL, 4));
    ASSERT_EQ(sink.leaves.size(), 4u);
    EXPECT_EQ(sink.leafGroups, 1);
    // Steps of segment length / density; tilt(i) = 30 i (d - i) / d^2 about the leaf's x axis.
    const double tilt[] = {0.0, 30.0 * 3 / 16, 30.0 * 4 / 16, 30.0 * 3 / 16};
    for (std::size_t i = 0; i < 4; ++i) {
        const double step = static_cast<double>(i);
        expectNear(sink.leaves[i].frame.translationPart(), around(step * 197.0, 0.25, 5.0 - step * 1.25));
        EXPECT_EQ(sink.leaves[i].leaf.index, static_cast<int>(i));
        EXPECT_EQ(sink.leaves[i].leaf.size, 0.25f);
        EXPECT_NEAR(degreesFromVertical(sink.leaves[i].frame), tilt[i], 1e-3) << i;
    }
    const auto stacked = drawn(twig(lignet::STACKED, 6));
    ASSERT_EQ(stacked.leaves.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        const Vector3f p = stacked.leaves[i].frame.translationPart();
        expectNear(p, {0.0f, p.y, i % 2 == 0 ? 0.25f : -0.25f});
    }
    const auto needles = drawn(twig(lignet::CONIFEROUS, 3));
    ASSERT_EQ(needles.leaves.size(), 3u);
    const double a = 70 * std::numbers::pi / 180;
    for (std::size_t i = 0; i < 3; ++i) {
        const Vector3f p = needles.leaves[i].frame.translationPart();
        EXPECT_NEAR(p.y, 5.0 - static_cast<double>(i) * 5.0 / 3 + 0.25 * std::sin(a), 1e-5) << i;
        EXPECT_NEAR(std::hypot(p.x, p.z), 0.25 * std::cos(a), 1e-5) << i;
    }
}

TEST(Leaves, staggeredOddDensityAddsOneTipLeafTurnedOverTheTwigAndBunchedLeavesFanOverIt)
{
    const auto single = drawn(twig(lignet::STAGGERED, 1));
    ASSERT_EQ(single.leaves.size(), 1u);
    EXPECT_EQ(single.leaves[0].leaf.index, -1);
    expectNear(single.leaves[0].frame.translationPart(), {0, 5.25f, 0});
    EXPECT_NEAR(degreesFromVertical(single.leaves[0].frame), 180.0, 1e-3);
    // The other leaves step by the reduced density.
    const auto three = drawn(twig(lignet::STAGGERED, 3));
    ASSERT_EQ(three.leaves.size(), 3u);
    EXPECT_EQ(three.leaves[0].leaf.index, -1);
    expectNear(three.leaves[1].frame.translationPart(), around(0, 0.25, 5.0));
    expectNear(three.leaves[2].frame.translationPart(), around(197, 0.25, 2.5));
    EXPECT_EQ(drawn(twig(lignet::STAGGERED, 4)).leaves[0].leaf.index, 0);

    // Bunched leaves fan over the tip and pile up above ninety.
    const auto fan = drawn(twig(lignet::BUNCHED, 4));
    ASSERT_EQ(fan.leaves.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        // Turned by i * 22 - 135 degrees about +x, then out by the leaf size.
        const double angle = (static_cast<double>(i) * 22 - 135) * std::numbers::pi / 180.0;
        expectNear(fan.leaves[i].frame.translationPart(),
                   {0.0f, static_cast<float>(5.0 - 0.25 * std::sin(angle)),
                    static_cast<float>(0.25 * std::cos(angle))});
    }
    const auto piled = drawn(twig(lignet::BUNCHED, 91));
    ASSERT_EQ(piled.leaves.size(), 91u);
    for (const auto &leaf : piled.leaves)
        EXPECT_EQ(leaf.frame, piled.leaves[0].frame);
}

TEST(Leaves, noDensityOrAnUnknownTypePlacesNoLeavesWireframeOneOutlineLoopAndHiddenLeavesNothing)
{
    const std::pair<int, int> typesAndDensities[] = {{lignet::SPIRAL, 0},     {lignet::STACKED, 0},
                                                     {lignet::STAGGERED, 0},  {lignet::BUNCHED, 0},
                                                     {lignet::CONIFEROUS, 0}, {7, 5},
                                                     {lignet::STAGGERED, -3}};
    for (const auto &[type, density] : typesAndDensities) {
        const auto sink = drawn(twig(type, density));
        EXPECT_EQ(std::pair(sink.leaves.size(), sink.leafGroups), std::pair(std::size_t{0}, 1)) << type;
    }

    TreeRenderer tree(twig(lignet::SPIRAL, 3));
    tree.settings().wireframe = true;
    const auto sink = draw(tree);
    EXPECT_EQ(std::pair(sink.leaves.size(), sink.leafGroups), std::pair(std::size_t{0}, 0));
    ASSERT_EQ(sink.outlines.size(), 1u);
    const auto &loop = sink.outlines[0].loop;
    ASSERT_EQ(loop.size(), 12u);
    EXPECT_EQ(loop[2], (Vector3f{0, 0, 0.5f}));
    const float step = 5.0f / 3.0f; // the second leaf: one step down, z negative
    EXPECT_EQ(std::vector<Vector3f>(loop.begin() + 4, loop.begin() + 8),
              (std::vector<Vector3f>{
                  {0, -step, 0}, {0.25f, -step, -0.25f}, {0, -step, -0.5f}, {-0.25f, -step, -0.25f}}));

    TreeParameters p = twig(lignet::SPIRAL, 5);
    p.displayLeaves = false;
    const auto none = drawn(p);
    ASSERT_EQ(none.ends.size(), 1u);
    EXPECT_FALSE(none.ends[0].end.leavesShown);
    EXPECT_NEAR(none.ends[0].frame.translationPart().y, 5.0f, 1e-6f); // still at the tip
    EXPECT_EQ(std::tuple(none.leaves.size(), none.leafGroups, none.outlines.size()),
              std::tuple(std::size_t{0}, 0, std::size_t{0}));
}

TEST(Leaves, windFlutterIsLimitedByTheWindAxisAndVanishesWithoutOne)
{
    TreeRenderer tree;
    auto &drawer = tree.branchDrawer();
    tree.settings().windTime = 0.4;
    drawer.leafSwayAmplitude = 50.0;
    const double swing = std::sin(0.4 * 1.97);
    EXPECT_EQ(drawer.flutterAngle({0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(drawer.flutterAngle({0, 1, 0}), swing * 50.0);        // a unit axis allows 90 degrees
    EXPECT_NEAR(drawer.flutterAngle({0, 0.3f, 0.4f}), swing * 30.0, 1e-4); // sin(30 degrees) allows 30
    drawer.leafSwayAmplitude = -50.0;
    EXPECT_NEAR(drawer.flutterAngle({0, 0.3f, 0.4f}), -swing * 30.0, 1e-4);
}
