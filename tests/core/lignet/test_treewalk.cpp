// The tree walk: branch steps, frames, growth, wind, colours and leaves as the sink receives them.
#include "core/vectornear.h"
#include "lignet/treerandomgenerator.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <set>
#include <tuple>
#include <vector>

using namespace treetest;

namespace {

// Every segment and leaf frame of a drawing, in order.
std::vector<Mat4> frames(const RecordingSink &sink)
{
    std::vector<Mat4> all;
    for (const auto &s : sink.segments)
        all.push_back(s.frame);
    for (const auto &l : sink.leaves)
        all.push_back(l.frame);
    return all;
}

// The point at distance r from a vertical twig's axis in direction `degrees` about +y from +z, at height y.
Vector3f around(double degrees, double r, double y)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return {static_cast<float>(r * std::sin(a)), static_cast<float>(y), static_cast<float>(r * std::cos(a))};
}

// Angle in degrees between a frame's +y axis and the tree's vertical.
double degreesFromVertical(const Mat4 &frame)
{
    const double y = static_cast<double>(frame.column(1).normalized().y);
    return std::acos(std::clamp(y, -1.0, 1.0)) * 180.0 / std::numbers::pi;
}

void fillTable(DistributionTable &table, double value)
{
    for (auto &row : table)
        row.fill(value);
}

} // namespace

TEST(TreeRandomGenerator, reproducesTheClassicFifteenBitSequence)
{
    TreeRandomGenerator r;
    for (int expected : {16838, 5758, 10113, 17515})
        EXPECT_EQ(r.next(), expected);
}

TEST(BranchSteps, orderLimitsStopDeepSideBranchesSplitsDivideByTheRoundedShareAndSizesFollowTheStrands)
{
    const TreeRenderer tree; // strand share 0.75 on the trunk, 45 degree branching angle
    // g, w, n and whether the branch stops: empty and deep side branches stop, the trunk never.
    const std::tuple<int, int, int, bool> cases[] = {
        {0, 0, 0, true}, {0, 5000, 1, false}, {14, 49, 1, false}, {15, 1, 10, true}, {1, 50, 10, true}};
    for (const auto &[g, w, n, stops] : cases)
        EXPECT_EQ(tree.isBeyondOrderLimits(g, w, n), stops) << g << ' ' << w << ' ' << n;

    // The thinner branch turns further.
    const auto split = [&tree](int n) {
        const auto s = tree.splitStrands(0, 0, n);
        return std::tuple(s.major, s.minor, s.majorAngle, s.minorAngle);
    };
    EXPECT_EQ(split(2), std::tuple(1, 1, 22.5, 22.5));
    EXPECT_EQ(split(100), std::tuple(75, 25, 0.25 * 45.0, 0.75 * 45.0)); // floor(98 * 0.75 + 0.5) + 1
    EXPECT_EQ(tree.splitStrands(0, 0, 1).major, 0); // a share above 0.5 leaves nothing in the major

    // Trunk lookups beyond the last table column read column 49.
    TreeParameters p;
    fillTable(p.strandDistributionTable, 0.5);
    p.strandDistributionTable[0][49] = 0.9;
    TreeRenderer trunk(p);
    EXPECT_DOUBLE_EQ(trunk.tableValue(StrandDistribution, 0, 100000), 0.9);
    EXPECT_EQ(trunk.splitStrands(0, 70, 12).major, 10); // floor(10 * 0.9 + 0.5) + 1

    // Branch sizes follow the strand counts and the length bounds.
    TreeParameters q;
    fillTable(q.minimalBranchLengthTable, 0.9);
    fillTable(q.maximalBranchLengthTable, 0.95);
    fillTable(q.branchLengthScalingTable, 0.5);
    TreeRenderer sized(q);
    draw(sized); // takes the working copy
    const auto sizes = sized.computeBranchSizes(0, 0, 100, 64, 36, 2.0);
    const double k = static_cast<double>(q.branchThicknessPerStrand);
    EXPECT_EQ(std::tuple(sizes.baseRadius, sizes.majorRadius, sizes.minorRadius),
              std::tuple(10 * k, 8 * k, 6 * k));
    // Relative lengths 0.8 and 0.6 raised to the minimum.
    EXPECT_EQ(std::tuple(sizes.majorLength, sizes.minorLength, sizes.segmentLength),
              std::tuple(1.8, 1.8, 1.0));

    fillTable(q.minimalBranchLengthTable, 0.0);
    fillTable(q.maximalBranchLengthTable, 0.7);
    sized.designedParameters() = q;
    draw(sized);
    const auto bounded = sized.computeBranchSizes(0, 0, 100, 64, 36, 2.0);
    // Lowered to the maximum; a bound of 0 is not applied.
    EXPECT_EQ(std::pair(bounded.majorLength, bounded.minorLength), std::pair(0.7 * 2.0, 0.6 * 2.0));
}

TEST(TreeWalk, defaultTreeEndsEveryBranchOnceAndLevelsOfDetailDropSegmentsAndEndBranchesEarly)
{
    TreeRenderer tree;            // 1000 strands
    const auto sink = draw(tree); // 1999 segments and 5000 leaves, as `tree vertices` says
    std::set<int> ids;
    for (const auto &e : sink.ends)
        EXPECT_TRUE(ids.insert(e.end.branchId).second) << "two ends for branch " << e.end.branchId;
    // Ids: 0 for the trunk line, then one new id per minor subbranch.
    EXPECT_EQ(std::pair(static_cast<int>(ids.size()), *ids.begin()), std::pair(tree.nextBranchId(), 0));

    RecordingSink far;
    tree.drawTreeAtLevelOfDetail(far, 12);
    EXPECT_EQ(std::pair(tree.settings().levelOfDetail, far.segments.empty()), std::pair(12, true));
    ASSERT_FALSE(far.ends.empty());
    for (const auto &e : far.ends)
        EXPECT_LE(e.end.w, 5);
    EXPECT_EQ(far.ends.back().end.w, 5);
    RecordingSink six;
    tree.drawTreeAtLevelOfDetail(six, 6); // D = 4: segments while w < 4, ends once w > 16
    EXPECT_FALSE(six.segments.empty());
    for (const auto &s : six.segments)
        EXPECT_LT(s.segment.w, 4);
    for (const auto &e : six.ends)
        EXPECT_LE(e.end.w, 17);
}

TEST(TreeWalk, sideBranchesStopAtTheOrderLimitsTheTrunkLineGoesOnInALoopAndFramesFollowTheSplits)
{
    // Every split leaves one strand to the side. Of the trunk line w = 0..49 are drawn; the rest is
    // not, but the line still ends: at w = 99 with one strand, or, a line of 100000 segments, once w
    // passes 50 squared in tree edit mode (a loop, not a deeper call stack).
    for (const auto &[strands, lastW] : {std::pair{100, 99}, {100000, 2501}}) {
        TreeParameters p = withStrands(strands);
        fillTable(p.strandDistributionTable, 1.0);
        TreeRenderer tree(p);
        const auto sink = draw(tree);
        int trunkSegments = 0;
        for (const auto &s : sink.segments) {
            EXPECT_LT(s.segment.w, 50);
            trunkSegments += s.segment.g == 0;
        }
        EXPECT_EQ(trunkSegments, 50) << strands;
        ASSERT_FALSE(sink.ends.empty());
        EXPECT_EQ(std::pair(sink.ends.back().end.branchId, sink.ends.back().end.w), std::pair(0, lastW));
        // A detail limit beyond the strand count lets the trunk line run to its single last strand.
        RecordingSink full;
        tree.drawTreeAtLevelOfDetail(full, -400);
        ASSERT_FALSE(full.ends.empty());
        EXPECT_EQ(full.ends.back().end.w, strands - 1);
    }

    // Frames follow the split rotations exactly.
    TreeRenderer tree(withStrands(3)); // root 3 strands: major 2, minor 1
    const auto sink = draw(tree);
    ASSERT_GE(sink.segments.size(), 3u);
    const TreeParameters &p = tree.workingParameters();
    const float phi = static_cast<float>(p.phyllotaxisAngle);
    const auto split = tree.splitStrands(0, 0, 3);
    const auto sizes = tree.computeBranchSizes(0, 0, 3, split.major, split.minor, 1.0);
    const Mat4 root = Mat4::rotation(phi, 0, 1, 0);
    EXPECT_EQ(sink.segments[0].frame, root);
    Mat4 top = root;
    top.translate(0, 5.0f, 0);
    top = top * Mat4::rotation(static_cast<float>(split.majorAngle * p.gravicentralism), 0, 0, 1);
    Mat4 minor = top;
    minor.translate(static_cast<float>((sizes.minorRadius - sizes.majorRadius) / 2), 0, 0);
    EXPECT_EQ(sink.segments[1].frame, minor * Mat4::rotation(static_cast<float>(split.minorAngle), 0, 0, 1) *
                                          Mat4::rotation(phi, 0, 1, 0));
    EXPECT_EQ(sink.segments[2].frame, top * Mat4::rotation(static_cast<float>(-split.majorAngle), 0, 0, 1) *
                                          Mat4::rotation(phi, 0, 1, 0));
}

TEST(TreeWalk, gravicentralismAndGravimorphismTurnBranchesTowardsTheVerticalOrTheGround)
{
    TreeParameters central = withStrands(200);
    central.gravicentralism = 1.0;
    std::set<int> seen;
    // The trunk stays vertical; a branch leaving it turns by the whole angle.
    for (const auto &s : drawn(central).segments)
        if (s.segment.g == 0 || (s.segment.g == 1 && seen.insert(s.segment.branchId).second)) {
            EXPECT_NEAR(degreesFromVertical(s.frame), s.segment.g == 0 ? 0.0 : 45.0, 0.05) << s.segment.w;
        }
    EXPECT_GT(seen.size(), 5u);

    // Gravimorphism bends by at most the angle to the vertical; a vertical root has no limit left.
    TreeParameters p = withStrands(2);
    p.gravicentralism = 0.0;
    for (const auto &[impact, root, branch] :
         {std::tuple{180.0, 0.0, 45.0}, {-180.0, 0.0, 0.0}, {10.0, 0.0, 32.5}}) {
        fillTable(p.gravimorphismImpactTable, impact);
        const auto sink = drawn(p);
        ASSERT_EQ(sink.segments.size(), 3u);
        EXPECT_NEAR(degreesFromVertical(sink.segments[0].frame), root, 1e-2) << impact;
        EXPECT_NEAR(degreesFromVertical(sink.segments[1].frame), branch, 1e-2) << impact;
    }
}

TEST(Animation, growthDrawsTheSquareOfProgressTimesStrandsClocksAdvanceByFixedAmountsAndTheWindSways)
{
    TreeRenderer tree;
    tree.settings() = {.growthProgress = 0.5, .growing = true};
    const auto half = draw(tree);
    ASSERT_FALSE(half.segments.empty());
    EXPECT_DOUBLE_EQ(half.segments[0].segment.baseRadius, std::sqrt(250.0) * static_cast<double>(0.01f));
    EXPECT_DOUBLE_EQ(half.segments[0].segment.length, (0.5 + 0.001) * 5.0);
    EXPECT_DOUBLE_EQ(tree.settings().growthProgress, 0.501);

    tree.settings().growthProgress = 1.0005;
    EXPECT_TRUE(draw(tree).segments.empty()); // progress reset to 0: no strands
    EXPECT_DOUBLE_EQ(tree.settings().growthProgress, 0.001);
    tree.settings().growthProgress = 0.0316; // 1000 x 0.0316^2 = 0.998...
    EXPECT_TRUE(draw(tree).segments.empty());
    tree.settings().growthProgress = 0.0317; // 1.0049 strands: a trunk of one strand
    EXPECT_EQ(draw(tree).segments.size(), 1u);

    // Clocks advance by fixed amounts per drawing.
    TreeRenderer clocked;
    draw(clocked);
    EXPECT_DOUBLE_EQ(clocked.settings().windTime, 2 * std::numbers::pi / 100);
    EXPECT_DOUBLE_EQ(clocked.settings().spinAngle, 0.0);
    clocked.settings().spinning = true;
    draw(clocked);
    draw(clocked);
    EXPECT_DOUBLE_EQ(clocked.settings().spinAngle, 2 * 5.37);
    EXPECT_EQ(clocked.branchDrawer().leafSwayAmplitude, 0.0);
    clocked.settings().windOn = true;
    draw(clocked);
    const double t = clocked.settings().windTime;
    EXPECT_DOUBLE_EQ(clocked.branchDrawer().leafSwayAmplitude, std::sin(t) * std::sin(t) * 50 + 20);

    // The wind sways with the clock, but its phases are the same in every drawing.
    TreeRenderer windy(withStrands(300));
    windy.settings() = {.windTime = 1.0, .windOn = true};
    const auto first = draw(windy);
    windy.settings().windTime = 1.0;
    EXPECT_EQ(frames(first), frames(draw(windy)));
    EXPECT_NE(frames(first), frames(draw(windy))); // the clock moved on
}

TEST(BranchColour, ordersColourAndHighlightedRangesReplaceThePlainWhite)
{
    using Colour = std::array<float, 3>;
    TreeRenderer byOrders(withStrands(50));
    byOrders.settings().colourByOrders = true;
    const auto coloured = draw(byOrders);
    ASSERT_FALSE(coloured.segments.empty());
    for (const auto &s : coloured.segments) {
        EXPECT_FLOAT_EQ(s.colour[0], static_cast<float>(0.1 * s.segment.g));
        EXPECT_FLOAT_EQ(s.colour[1], static_cast<float>(0.1 * s.segment.w));
        EXPECT_FLOAT_EQ(s.colour[2], s.segment.g == 1 ? 1.0f : 0.2f);
    }

    TreeRenderer highlighted(withStrands(200));
    highlighted.settings() = {.highlightGMin = 2, .highlightGMax = 2};
    int cyan = 0;
    for (const auto &s : draw(highlighted).segments) {
        EXPECT_EQ(s.colour, (s.segment.g == 2 ? Colour{0, 1, 1} : Colour{1, 1, 1}));
        cyan += s.segment.g == 2;
    }
    EXPECT_GT(cyan, 0);
}

TEST(TreeWalk, emptyDamagedOrOutOfRangeInputDrawsADefinedTree)
{
    for (int strands : {0, -5}) {
        TreeRenderer tree(withStrands(strands));
        tree.settings() = {.windOn = true, .growing = true};
        const auto sink = draw(tree);
        EXPECT_TRUE(sink.segments.empty() && sink.ends.empty());
        EXPECT_EQ(sink.treesBegun, 1);
    }
    TreeParameters p = withStrands(60);
    TreeRenderer tree(p);
    tree.settings() = {.growthProgress = std::nan(""), .growing = true};
    EXPECT_TRUE(draw(tree).segments.empty());
    for (int level : {INT_MIN, INT_MAX, -1}) {
        RecordingSink sink;
        TreeRenderer(p).drawTreeAtLevelOfDetail(sink, level);
        EXPECT_EQ(sink.treesEnded, 1);
    }
    fillTable(p.strandDistributionTable, std::nan(""));
    p.strandDistributionTable[0][0] = 7.0;
    const auto sink = drawn(p);
    EXPECT_FALSE(sink.segments.empty());
    EXPECT_LE(sink.segments.size(), 2u * 60u - 1u);
}

TEST(Leaves, spiralStackedNeedleStaggeredAndBunchedLeavesLieWhereTheirTypePutsThem)
{
    const auto sink = drawn(twig(SPIRAL, 4));
    ASSERT_EQ(sink.leaves.size(), 4u);
    // Steps of segment length / density; tilt(i) = 30 i (d - i) / d^2 about the leaf's x axis.
    const double tilt[] = {0.0, 30.0 * 3 / 16, 30.0 * 4 / 16, 30.0 * 3 / 16};
    for (std::size_t i = 0; i < 4; ++i) {
        const double step = static_cast<double>(i);
        expectNear(sink.leaves[i].frame.translationPart(), around(step * 197.0, 0.25, 5.0 - step * 1.25));
        EXPECT_EQ(std::pair(sink.leaves[i].leaf.index, sink.leaves[i].leaf.size),
                  std::pair(static_cast<int>(i), 0.25f));
        EXPECT_NEAR(degreesFromVertical(sink.leaves[i].frame), tilt[i], 1e-3) << i;
    }
    const auto stacked = drawn(twig(STACKED, 6));
    ASSERT_EQ(stacked.leaves.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        const Vector3f p = stacked.leaves[i].frame.translationPart();
        expectNear(p, {0.0f, p.y, i % 2 == 0 ? 0.25f : -0.25f});
    }
    const auto needles = drawn(twig(CONIFEROUS, 3));
    ASSERT_EQ(needles.leaves.size(), 3u);
    const double a = 70 * std::numbers::pi / 180;
    for (std::size_t i = 0; i < 3; ++i) {
        const Vector3f p = needles.leaves[i].frame.translationPart();
        EXPECT_NEAR(p.y, 5.0 - static_cast<double>(i) * 5.0 / 3 + 0.25 * std::sin(a), 1e-5) << i;
        EXPECT_NEAR(std::hypot(p.x, p.z), 0.25 * std::cos(a), 1e-5) << i;
    }

    // Staggered: an odd density adds one tip leaf turned over the twig.
    const auto single = drawn(twig(STAGGERED, 1));
    ASSERT_EQ(single.leaves.size(), 1u);
    EXPECT_EQ(single.leaves[0].leaf.index, -1);
    expectNear(single.leaves[0].frame.translationPart(), {0, 5.25f, 0});
    EXPECT_NEAR(degreesFromVertical(single.leaves[0].frame), 180.0, 1e-3);
    // The other leaves step by the reduced density.
    const auto three = drawn(twig(STAGGERED, 3));
    ASSERT_EQ(three.leaves.size(), 3u);
    EXPECT_EQ(three.leaves[0].leaf.index, -1);
    expectNear(three.leaves[1].frame.translationPart(), around(0, 0.25, 5.0));
    expectNear(three.leaves[2].frame.translationPart(), around(197, 0.25, 2.5));
    EXPECT_EQ(drawn(twig(STAGGERED, 4)).leaves[0].leaf.index, 0);

    // Bunched leaves fan over the tip and pile up above ninety.
    const auto fan = drawn(twig(BUNCHED, 4));
    ASSERT_EQ(fan.leaves.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        // Turned by i * 22 - 135 degrees about +x, then out by the leaf size.
        const double angle = (static_cast<double>(i) * 22 - 135) * std::numbers::pi / 180.0;
        expectNear(fan.leaves[i].frame.translationPart(),
                   {0.0f, static_cast<float>(5.0 - 0.25 * std::sin(angle)),
                    static_cast<float>(0.25 * std::cos(angle))});
    }
    const auto piled = drawn(twig(BUNCHED, 91));
    ASSERT_EQ(piled.leaves.size(), 91u);
    for (const auto &leaf : piled.leaves)
        EXPECT_EQ(leaf.frame, piled.leaves[0].frame);
}

TEST(Leaves, noDensityOrUnknownTypePlacesNoLeavesWireframeOneLoopHiddenNothingAndFlutterFollowsTheWind)
{
    const std::pair<int, int> typesAndDensities[] = {{SPIRAL, 0}, {BUNCHED, 0}, {7, 5}, {STAGGERED, -3}};
    for (const auto &[type, density] : typesAndDensities) {
        const auto sink = drawn(twig(type, density));
        EXPECT_EQ(std::pair(sink.leaves.size(), sink.leafGroups), std::pair(std::size_t{0}, 1)) << type;
    }

    TreeRenderer tree(twig(SPIRAL, 3));
    tree.settings().wireframe = true;
    const auto sink = draw(tree);
    EXPECT_EQ(std::pair(sink.leaves.size(), sink.leafGroups), std::pair(std::size_t{0}, 0));
    ASSERT_EQ(sink.outlines.size(), 1u);
    const auto &loop = sink.outlines[0];
    ASSERT_EQ(loop.size(), 12u);
    const float step = 5.0f / 3.0f; // the second leaf: one step down, z negative
    EXPECT_EQ(std::vector<Vector3f>(loop.begin() + 4, loop.begin() + 8),
              (std::vector<Vector3f>{
                  {0, -step, 0}, {0.25f, -step, -0.25f}, {0, -step, -0.5f}, {-0.25f, -step, -0.25f}}));

    TreeParameters p = twig(SPIRAL, 5);
    p.displayLeaves = false;
    const auto none = drawn(p);
    ASSERT_EQ(none.ends.size(), 1u);
    EXPECT_FALSE(none.ends[0].end.leavesShown);
    EXPECT_NEAR(none.ends[0].frame.translationPart().y, 5.0f, 1e-6f); // still at the tip
    EXPECT_EQ(std::tuple(none.leaves.size(), none.leafGroups, none.outlines.size()), std::tuple(0u, 0, 0u));

    // Wind flutter is limited by the wind axis and vanishes without one.
    TreeRenderer windy;
    auto &drawer = windy.branchDrawer();
    windy.settings().windTime = 0.4;
    drawer.leafSwayAmplitude = 50.0;
    const double swing = std::sin(0.4 * 1.97);
    EXPECT_EQ(drawer.flutterAngle({0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(drawer.flutterAngle({0, 1, 0}), swing * 50.0);        // a unit axis allows 90 degrees
    EXPECT_NEAR(drawer.flutterAngle({0, 0.3f, 0.4f}), swing * 30.0, 1e-4); // sin(30 degrees) allows 30
}
