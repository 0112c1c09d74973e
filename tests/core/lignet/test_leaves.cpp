#include "lignet/treerenderer.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using lignet::TreeParameters;
using lignet::TreeRenderer;
using math::Vector3f;

namespace {

// A single-strand tree: one vertical segment of length 5 with one group of leaves at its tip.
TreeParameters twig(int leafType, int density)
{
    TreeParameters p;
    p.numberOfStrands = 1;
    p.phyllotaxisAngle = 0.0;
    p.leafType = leafType;
    p.leafDensity = density;
    p.leafSize = 0.25f;
    return p;
}

RecordingSink draw(TreeRenderer &tree)
{
    RecordingSink sink;
    tree.drawTree(sink);
    return sink;
}

Vector3f position(const RecordingSink::Leaf &leaf)
{
    return leaf.frame.translationPart();
}

// Direction of a leaf's attachment point from the twig axis, degrees about +y from +z.
double azimuth(const Vector3f &p)
{
    return std::atan2(static_cast<double>(p.x), static_cast<double>(p.z)) * 180.0 / std::numbers::pi;
}

double wrap(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    return d < 0 ? d + 360.0 : d;
}

} // namespace

TEST(Leaves, spiralLeavesStepDownTheTwigTurningBy197Degrees)
{
    TreeRenderer tree(twig(lignet::SPIRAL, 5));
    const auto sink = draw(tree);
    ASSERT_EQ(sink.leaves.size(), 5u);
    EXPECT_EQ(sink.leafGroups, 1);
    for (int i = 0; i < 5; ++i) {
        const Vector3f p = position(sink.leaves[i]);
        EXPECT_NEAR(p.y, 5.0 - i * 1.0, 1e-5) << i; // step: segment length / density
        EXPECT_NEAR(std::hypot(p.x, p.z), 0.25, 1e-6) << i;
        EXPECT_NEAR(wrap(azimuth(p) - azimuth(position(sink.leaves[0]))), wrap(i * 197.0), 1e-3) << i;
        EXPECT_EQ(sink.leaves[i].leaf.index, i);
        EXPECT_EQ(sink.leaves[i].leaf.branchId, 0);
        EXPECT_FLOAT_EQ(sink.leaves[i].leaf.size, 0.25f);
    }
    EXPECT_NEAR(azimuth(position(sink.leaves[0])), 0.0, 1e-6); // the first leaf on +z
}

TEST(Leaves, leavesTiltMostAtMidBranch)
{
    TreeRenderer tree(twig(lignet::SPIRAL, 4));
    const auto sink = draw(tree);
    ASSERT_EQ(sink.leaves.size(), 4u);
    // tilt(i) = 30 i (d - i) / d^2 about the leaf's x axis: its +y leans by that angle.
    const double expected[] = {0.0, 30.0 * 3 / 16, 30.0 * 4 / 16, 30.0 * 3 / 16};
    for (int i = 0; i < 4; ++i) {
        const Vector3f up = sink.leaves[i].frame.column(1);
        EXPECT_NEAR(std::acos(std::clamp(static_cast<double>(up.y), -1.0, 1.0)) * 180 / std::numbers::pi,
                    expected[i], 1e-3)
            << i;
    }
}

TEST(Leaves, stackedLeavesFormTwoRowsOnOppositeSides)
{
    TreeRenderer tree(twig(lignet::STACKED, 6));
    const auto sink = draw(tree);
    ASSERT_EQ(sink.leaves.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const Vector3f p = position(sink.leaves[i]);
        EXPECT_NEAR(p.x, 0.0f, 1e-5f);
        EXPECT_NEAR(p.z, i % 2 == 0 ? 0.25f : -0.25f, 1e-5f) << i;
    }
}

TEST(Leaves, staggeredOddDensityAddsOneTipLeafAboveTheTwig)
{
    TreeRenderer one(twig(lignet::STAGGERED, 1));
    const auto single = draw(one);
    ASSERT_EQ(single.leaves.size(), 1u);
    EXPECT_EQ(single.leaves[0].leaf.index, -1);
    const Vector3f tip = position(single.leaves[0]);
    EXPECT_NEAR(tip.x, 0.0f, 1e-6f);
    EXPECT_NEAR(tip.y, 5.25f, 1e-6f);
    EXPECT_NEAR(tip.z, 0.0f, 1e-6f);
    EXPECT_NEAR(single.leaves[0].frame.column(1).y, -1.0f, 1e-6f); // turned over the tip

    TreeRenderer three(twig(lignet::STAGGERED, 3));
    const auto sink = draw(three);
    ASSERT_EQ(sink.leaves.size(), 3u);
    EXPECT_EQ(sink.leaves[0].leaf.index, -1);
    const Vector3f a = position(sink.leaves[1]);
    const Vector3f b = position(sink.leaves[2]);
    EXPECT_NEAR(a.y, 5.0f, 1e-5f);
    EXPECT_NEAR(b.y, 2.5f, 1e-5f); // half the segment apart: the step uses the reduced density
    EXPECT_NEAR(wrap(azimuth(b) - azimuth(a)), 197.0, 1e-3);

    TreeRenderer four(twig(lignet::STAGGERED, 4));
    const auto even = draw(four);
    ASSERT_EQ(even.leaves.size(), 4u);
    EXPECT_EQ(even.leaves[0].leaf.index, 0);
}

TEST(Leaves, bunchedLeavesFanOverTheTipAndPileUpAboveNinety)
{
    TreeRenderer fan(twig(lignet::BUNCHED, 4));
    const auto sink = draw(fan);
    ASSERT_EQ(sink.leaves.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        // Turned by i * 22 - 135 degrees about +x, then out by the leaf size.
        const double angle = (i * 22 - 135) * std::numbers::pi / 180.0;
        const Vector3f p = position(sink.leaves[i]);
        EXPECT_NEAR(p.x, 0.0f, 1e-6f);
        EXPECT_NEAR(p.y, 5.0 - 0.25 * std::sin(angle), 1e-5) << i;
        EXPECT_NEAR(p.z, 0.25 * std::cos(angle), 1e-5) << i;
    }

    TreeRenderer pile(twig(lignet::BUNCHED, 91));
    const auto piled = draw(pile);
    ASSERT_EQ(piled.leaves.size(), 91u);
    for (const auto &leaf : piled.leaves)
        EXPECT_EQ(leaf.frame, piled.leaves[0].frame);
}

TEST(Leaves, coniferousNeedlesSlantTowardTheTip)
{
    TreeRenderer tree(twig(lignet::CONIFEROUS, 3));
    const auto sink = draw(tree);
    ASSERT_EQ(sink.leaves.size(), 3u);
    const double rise = 0.25 * std::sin(70 * std::numbers::pi / 180);
    const double out = 0.25 * std::cos(70 * std::numbers::pi / 180);
    for (int i = 0; i < 3; ++i) {
        const Vector3f p = position(sink.leaves[i]);
        EXPECT_NEAR(p.y, 5.0 - i * 5.0 / 3 + rise, 1e-5) << i;
        EXPECT_NEAR(std::hypot(p.x, p.z), out, 1e-5) << i;
    }
}

TEST(Leaves, densityZeroAndUnknownTypesPlaceNoLeavesButStillBindTheTexture)
{
    for (int type :
         {lignet::SPIRAL, lignet::STACKED, lignet::STAGGERED, lignet::BUNCHED, lignet::CONIFEROUS}) {
        TreeRenderer tree(twig(type, 0));
        const auto sink = draw(tree);
        EXPECT_TRUE(sink.leaves.empty()) << type;
        EXPECT_EQ(sink.leafGroups, 1) << type;
    }
    TreeRenderer unknown(twig(7, 5));
    const auto sink = draw(unknown);
    EXPECT_TRUE(sink.leaves.empty());
    EXPECT_EQ(sink.leafGroups, 1);

    TreeRenderer negative(twig(lignet::STAGGERED, -3));
    EXPECT_TRUE(draw(negative).leaves.empty());
}

TEST(Leaves, wireframeLeavesAreOneOutlineLoopAndNoLeafQuads)
{
    TreeRenderer tree(twig(lignet::SPIRAL, 3));
    tree.settings().wireframe = true;
    const auto sink = draw(tree);
    EXPECT_TRUE(sink.leaves.empty());
    EXPECT_EQ(sink.leafGroups, 0);
    ASSERT_EQ(sink.outlines.size(), 1u);
    const auto &loop = sink.outlines[0].loop;
    ASSERT_EQ(loop.size(), 12u);
    // Second leaf: one step down, z negative.
    const float step = 5.0f / 3.0f;
    EXPECT_EQ(loop[4], (Vector3f{0, -step, 0}));
    EXPECT_EQ(loop[5], (Vector3f{0.25f, -step, -0.25f}));
    EXPECT_EQ(loop[6], (Vector3f{0, -step, -0.5f}));
    EXPECT_EQ(loop[7], (Vector3f{-0.25f, -step, -0.25f}));
    EXPECT_EQ(loop[2], (Vector3f{0, 0, 0.5f}));

    TreeRenderer empty(twig(lignet::SPIRAL, 0));
    empty.settings().wireframe = true;
    const auto none = draw(empty);
    ASSERT_EQ(none.outlines.size(), 1u);
    EXPECT_TRUE(none.outlines[0].loop.empty());
}

TEST(Leaves, hiddenLeavesStillMoveTheFrameToTheTip)
{
    TreeParameters p = twig(lignet::SPIRAL, 5);
    p.displayLeaves = false;
    TreeRenderer tree(p);
    const auto sink = draw(tree);
    ASSERT_EQ(sink.ends.size(), 1u);
    EXPECT_FALSE(sink.ends[0].end.leavesShown);
    EXPECT_NEAR(sink.ends[0].frame.translationPart().y, 5.0f, 1e-6f);
    EXPECT_TRUE(sink.leaves.empty());
    EXPECT_EQ(sink.leafGroups, 0);
    EXPECT_TRUE(sink.outlines.empty());
}

TEST(Leaves, flutterIsLimitedByTheWindAxisAndVanishesWithoutOne)
{
    TreeRenderer tree;
    auto &drawer = tree.branchDrawer();
    tree.settings().windTime = 0.4;
    drawer.leafSwayAmplitude = 50.0;
    EXPECT_EQ(drawer.flutterAngle({0, 0, 0}), 0.0);
    // A unit axis allows 90 degrees: the full amplitude.
    EXPECT_DOUBLE_EQ(drawer.flutterAngle({0, 1, 0}), std::sin(0.4 * 1.97) * 50.0);
    // An axis of length sin(30 degrees) limits it to 30.
    EXPECT_NEAR(drawer.flutterAngle({0, 0.3f, 0.4f}),
                std::sin(0.4 * 1.97) * std::asin(0.5) * 180 / std::numbers::pi, 1e-4);
    drawer.leafSwayAmplitude = -50.0;
    EXPECT_NEAR(drawer.flutterAngle({0, 0.3f, 0.4f}), -std::sin(0.4 * 1.97) * 30.0, 1e-4);
}

TEST(Leaves, windMakesLeavesFlutterAboutTheirAttachment)
{
    TreeParameters p = twig(lignet::SPIRAL, 3);
    p.numberOfStrands = 5;
    TreeRenderer calm(p);
    const auto still = draw(calm);
    TreeRenderer windy(p);
    windy.settings().windOn = true;
    windy.settings().windTime = 0.7;
    const auto moving = draw(windy);
    ASSERT_EQ(still.leaves.size(), moving.leaves.size());
    bool changed = false;
    for (std::size_t i = 0; i < still.leaves.size(); ++i)
        changed |= !(still.leaves[i].frame == moving.leaves[i].frame);
    EXPECT_TRUE(changed);
}
