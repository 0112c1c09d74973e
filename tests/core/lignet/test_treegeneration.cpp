#include "lignet/treerandomgenerator.h"
#include "lignet/treerenderer.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>
#include <numbers>
#include <set>

using lignet::TreeParameters;
using lignet::TreeRenderer;
using math::Mat4;
using math::Vector3f;

namespace {

void fillTable(lignet::DistributionTable &table, double value)
{
    for (auto &row : table)
        row.fill(value);
}

RecordingSink draw(TreeRenderer &tree)
{
    RecordingSink sink;
    tree.drawTree(sink);
    return sink;
}

// Angle in degrees between a frame's +y axis and the tree's vertical.
double angleFromVertical(const Mat4 &frame)
{
    const Vector3f axis = frame.column(1).normalized();
    return std::acos(std::clamp(static_cast<double>(axis.y), -1.0, 1.0)) * 180.0 / std::numbers::pi;
}

void expectSameFrames(const RecordingSink &a, const RecordingSink &b)
{
    ASSERT_EQ(a.segments.size(), b.segments.size());
    for (std::size_t i = 0; i < a.segments.size(); ++i)
        ASSERT_EQ(a.segments[i].frame, b.segments[i].frame) << "segment " << i;
    ASSERT_EQ(a.leaves.size(), b.leaves.size());
    for (std::size_t i = 0; i < a.leaves.size(); ++i)
        ASSERT_EQ(a.leaves[i].frame, b.leaves[i].frame) << "leaf " << i;
}

} // namespace

TEST(TreeRandomGenerator, reproducesTheClassicFifteenBitSequence)
{
    lignet::TreeRandomGenerator r;
    EXPECT_EQ(r.next(), 16838);
    EXPECT_EQ(r.next(), 5758);
    EXPECT_EQ(r.next(), 10113);
    EXPECT_EQ(r.next(), 17515);
    r.seed(1);
    EXPECT_EQ(r.next(), 16838);
    for (int i = 0; i < 100000; ++i) {
        const int v = r.next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

TEST(BranchSteps, orderLimitsStopEmptyBranchesAndDeepSideBranchesButNeverTheTrunk)
{
    const TreeRenderer tree;
    EXPECT_TRUE(tree.isBeyondOrderLimits(0, 0, 0));
    EXPECT_TRUE(tree.isBeyondOrderLimits(3, 3, -4));
    EXPECT_FALSE(tree.isBeyondOrderLimits(0, 0, 1));
    EXPECT_FALSE(tree.isBeyondOrderLimits(0, 5000, 1));
    EXPECT_FALSE(tree.isBeyondOrderLimits(14, 49, 1));
    EXPECT_TRUE(tree.isBeyondOrderLimits(15, 1, 10));
    EXPECT_TRUE(tree.isBeyondOrderLimits(1, 50, 10));
}

TEST(BranchSteps, splitStrandsDividesByTheShareAndTurnsTheThinnerBranchFurther)
{
    const TreeRenderer tree; // strand share 0.75 on the trunk, 45 degree branching angle
    const auto two = tree.splitStrands(0, 0, 2);
    EXPECT_EQ(two.major, 1);
    EXPECT_EQ(two.minor, 1);
    EXPECT_DOUBLE_EQ(two.majorAngle, 22.5);
    EXPECT_DOUBLE_EQ(two.minorAngle, 22.5);

    const auto hundred = tree.splitStrands(0, 0, 100);
    EXPECT_EQ(hundred.major, 75); // floor(98 * 0.75 + 0.5) + 1
    EXPECT_EQ(hundred.minor, 25);
    EXPECT_DOUBLE_EQ(hundred.majorAngle, 0.25 * 45.0);
    EXPECT_DOUBLE_EQ(hundred.majorAngle + hundred.minorAngle, 45.0);

    const auto one = tree.splitStrands(0, 0, 1); // share above 0.5: nothing stays in the major
    EXPECT_EQ(one.major, 0);
    EXPECT_EQ(one.minor, 1);
}

TEST(BranchSteps, branchSizesFollowTheStrandCountsAndTheLengthBounds)
{
    TreeParameters p;
    fillTable(p.minimalBranchLengthTable, 0.9);
    fillTable(p.maximalBranchLengthTable, 0.95);
    fillTable(p.branchLengthScalingTable, 0.5);
    TreeRenderer tree(p);
    RecordingSink ignored;
    tree.drawTree(ignored); // takes the working copy
    const auto sizes = tree.computeBranchSizes(0, 0, 100, 64, 36, 2.0);
    const double k = static_cast<double>(p.branchThicknessPerStrand);
    EXPECT_DOUBLE_EQ(sizes.baseRadius, 10 * k);
    EXPECT_DOUBLE_EQ(sizes.majorRadius, 8 * k);
    EXPECT_DOUBLE_EQ(sizes.minorRadius, 6 * k);
    EXPECT_DOUBLE_EQ(sizes.majorLength, 0.9 * 2.0); // 0.8 raised to the minimum
    EXPECT_DOUBLE_EQ(sizes.minorLength, 0.9 * 2.0); // 0.6 raised to the minimum
    EXPECT_DOUBLE_EQ(sizes.segmentLength, 1.0);

    fillTable(p.minimalBranchLengthTable, 0.0);
    fillTable(p.maximalBranchLengthTable, 0.7);
    tree.designedParameters() = p;
    tree.drawTree(ignored);
    const auto bounded = tree.computeBranchSizes(0, 0, 100, 64, 36, 2.0);
    EXPECT_DOUBLE_EQ(bounded.majorLength, 0.7 * 2.0); // lowered to the maximum
    EXPECT_DOUBLE_EQ(bounded.minorLength, 0.6 * 2.0); // a bound of 0 is not applied
}

TEST(BranchSteps, trunkLookupsBeyondTheLastColumnReadColumnFortyNine)
{
    TreeParameters p;
    fillTable(p.strandDistributionTable, 0.5);
    p.strandDistributionTable[0][49] = 0.9;
    TreeRenderer tree(p);
    RecordingSink ignored;
    tree.drawTree(ignored);
    EXPECT_DOUBLE_EQ(tree.tableValue(lignet::StrandDistribution, 0, 70), 0.9);
    EXPECT_DOUBLE_EQ(tree.tableValue(lignet::StrandDistribution, 0, 100000), 0.9);
    EXPECT_EQ(tree.splitStrands(0, 70, 12).major, 10); // floor(10 * 0.9 + 0.5) + 1
}

TEST(TreeWalk, singleStrandTreeIsOneTaperedSegmentAndItsLeaves)
{
    TreeParameters p;
    p.numberOfStrands = 1;
    TreeRenderer tree(p);
    const auto sink = draw(tree);
    ASSERT_EQ(sink.segments.size(), 1u);
    const auto &s = sink.segments[0].segment;
    EXPECT_DOUBLE_EQ(s.length, 5.0);
    EXPECT_DOUBLE_EQ(s.baseRadius, static_cast<double>(0.01f));
    EXPECT_DOUBLE_EQ(s.topRadius, 0.0);
    EXPECT_EQ(s.branchId, 0);
    ASSERT_EQ(sink.ends.size(), 1u);
    EXPECT_EQ(sink.ends[0].end.branchId, 0);
    EXPECT_NEAR(sink.ends[0].frame.translationPart().y, 5.0f, 1e-5f);
    EXPECT_EQ(sink.leaves.size(), 5u);
    EXPECT_EQ(sink.treesBegun, 1);
    EXPECT_EQ(sink.treesEnded, 1);
}

TEST(TreeWalk, twoStrandsSplitIntoTwoSingleStrandBranchesAtHalfTheAngle)
{
    TreeParameters p;
    p.numberOfStrands = 2;
    p.gravicentralism = 0.0;
    TreeRenderer tree(p);
    const auto sink = draw(tree);
    ASSERT_EQ(sink.segments.size(), 3u);
    ASSERT_EQ(sink.ends.size(), 2u);
    // Depth first: the minor subbranch (id 1) is drawn before the major continuation (id 0).
    EXPECT_EQ(sink.segments[1].segment.branchId, 1);
    EXPECT_EQ(sink.segments[2].segment.branchId, 0);
    for (int i : {1, 2}) {
        EXPECT_EQ(sink.segments[i].segment.w, 1);
        EXPECT_NEAR(angleFromVertical(sink.segments[i].frame), 22.5, 1e-3);
    }
    EXPECT_EQ(sink.segments[1].segment.g, 1);
    EXPECT_EQ(sink.segments[2].segment.g, 0);
    EXPECT_EQ(tree.nextBranchId(), 2);
}

TEST(TreeWalk, everySingleStrandBranchEndsAndTheTreeStaysWithinTwoNMinusOneSegments)
{
    TreeRenderer tree; // default: 1000 strands
    const auto sink = draw(tree);
    EXPECT_LE(sink.segments.size(), 2u * 1000u - 1u);
    EXPECT_GT(sink.segments.size(), 1000u);
    EXPECT_LE(sink.ends.size(), 1000u);
    std::set<int> ids;
    for (const auto &e : sink.ends)
        EXPECT_TRUE(ids.insert(e.end.branchId).second) << "two ends for branch " << e.end.branchId;
    // Ids: 0 for the trunk line, then one new id per minor subbranch.
    EXPECT_EQ(static_cast<int>(ids.size()), tree.nextBranchId());
    EXPECT_EQ(*ids.begin(), 0);
    EXPECT_EQ(sink.leaves.size(), sink.ends.size() * 5u);
}

TEST(TreeWalk, sideBranchesStopAtTheOrderLimitsWhileTheTrunkGoesOn)
{
    TreeParameters p;
    p.numberOfStrands = 100;
    fillTable(p.strandDistributionTable, 1.0); // every split leaves one strand to the side
    TreeRenderer tree(p);
    const auto sink = draw(tree);
    int trunkSegments = 0;
    for (const auto &s : sink.segments) {
        EXPECT_LT(s.segment.w, 50);
        EXPECT_LE(s.segment.g, 14);
        trunkSegments += s.segment.g == 0;
    }
    EXPECT_EQ(trunkSegments, 50); // w = 0..49 drawn, the rest of the trunk line is not
    // The trunk line still reaches its end at w = 99 with one strand left.
    bool trunkEnd = false;
    for (const auto &e : sink.ends)
        if (e.end.branchId == 0) {
            trunkEnd = true;
            EXPECT_EQ(e.end.w, 99);
        }
    EXPECT_TRUE(trunkEnd);
    for (const auto &e : sink.ends)
        EXPECT_LE(e.end.w, 99);
}

TEST(TreeWalk, deepOrdersOfEvenSplitsStopAtGraveliusOrderFourteen)
{
    TreeParameters p;
    p.numberOfStrands = 100000;
    fillTable(p.strandDistributionTable, 0.5);
    TreeRenderer tree(p);
    const auto sink = draw(tree);
    int deepest = 0;
    for (const auto &s : sink.segments)
        deepest = std::max(deepest, s.segment.g);
    EXPECT_EQ(deepest, 14);
}

TEST(TreeWalk, longBranchLinesDoNotDeepenTheCallStack)
{
    TreeParameters p;
    p.numberOfStrands = 100000;
    fillTable(p.strandDistributionTable, 1.0); // a trunk line of 100000 segments
    TreeRenderer tree(p);
    RecordingSink sink;
    tree.drawTree(sink);
    ASSERT_FALSE(sink.ends.empty());
    // In tree edit mode a branch line ends once w passes 50 squared.
    EXPECT_EQ(sink.ends.back().end.branchId, 0);
    EXPECT_EQ(sink.ends.back().end.w, 2501);
    // A detail limit beyond the strand count lets the trunk line run to its single last strand.
    RecordingSink full;
    tree.drawTreeAtLevelOfDetail(full, -400);
    ASSERT_FALSE(full.ends.empty());
    EXPECT_EQ(full.ends.back().end.branchId, 0);
    EXPECT_EQ(full.ends.back().end.w, 99999);
}

TEST(TreeWalk, fullGravicentralismKeepsTheTrunkVerticalAndTurnsSideBranchesByTheWholeAngle)
{
    TreeParameters p;
    p.gravicentralism = 1.0;
    p.numberOfStrands = 200;
    TreeRenderer tree(p);
    const auto sink = draw(tree);
    std::set<int> seen;
    int checked = 0;
    for (const auto &s : sink.segments) {
        if (s.segment.g == 0) {
            EXPECT_NEAR(angleFromVertical(s.frame), 0.0, 0.05) << "trunk w " << s.segment.w;
        }
        // The first segment of every branch leaving the trunk.
        if (s.segment.g == 1 && seen.insert(s.segment.branchId).second) {
            EXPECT_NEAR(angleFromVertical(s.frame), 45.0, 0.05);
            ++checked;
        }
    }
    EXPECT_GT(checked, 5);
}

TEST(TreeWalk, withoutGravimorphismAndWindFramesFollowOnlyTheSplitRotations)
{
    TreeParameters p;
    p.numberOfStrands = 3; // root 3 strands: major 2, minor 1
    TreeRenderer tree(p);
    const auto sink = draw(tree);
    ASSERT_GE(sink.segments.size(), 3u);
    const float phi = static_cast<float>(p.phyllotaxisAngle);
    const auto split = tree.splitStrands(0, 0, 3);
    const auto sizes = tree.computeBranchSizes(0, 0, 3, split.major, split.minor, 1.0);
    const Mat4 root = Mat4::rotation(phi, 0, 1, 0);
    EXPECT_EQ(sink.segments[0].frame, root);
    Mat4 top = root;
    top.translate(0, 5.0f, 0);
    const float psi = static_cast<float>(split.majorAngle * p.gravicentralism);
    top = top * Mat4::rotation(psi, 0, 0, 1);
    Mat4 minor = top;
    minor.translate(static_cast<float>((sizes.minorRadius - sizes.majorRadius) / 2), 0, 0);
    minor =
        minor * Mat4::rotation(static_cast<float>(split.minorAngle), 0, 0, 1) * Mat4::rotation(phi, 0, 1, 0);
    EXPECT_EQ(sink.segments[1].frame, minor);
    const Mat4 major =
        top * Mat4::rotation(static_cast<float>(-split.majorAngle), 0, 0, 1) * Mat4::rotation(phi, 0, 1, 0);
    EXPECT_EQ(sink.segments[2].frame, major);
}

TEST(TreeWalk, gravimorphismBendsTowardTheGroundByAtMostTheAngleToTheVertical)
{
    TreeParameters p;
    p.numberOfStrands = 2;
    p.gravicentralism = 0.0;
    fillTable(p.gravimorphismImpactTable, 180.0);
    TreeRenderer down(p);
    const auto bent = draw(down);
    ASSERT_EQ(bent.segments.size(), 3u);
    EXPECT_NEAR(angleFromVertical(bent.segments[0].frame), 0.0, 1e-4); // a vertical root has no limit left
    EXPECT_NEAR(angleFromVertical(bent.segments[1].frame), 45.0, 1e-3);
    EXPECT_NEAR(angleFromVertical(bent.segments[2].frame), 45.0, 1e-3);

    fillTable(p.gravimorphismImpactTable, -180.0);
    TreeRenderer up(p);
    const auto raised = draw(up);
    EXPECT_NEAR(angleFromVertical(raised.segments[1].frame), 0.0, 1e-2);

    fillTable(p.gravimorphismImpactTable, 10.0);
    TreeRenderer little(p);
    EXPECT_NEAR(angleFromVertical(draw(little).segments[1].frame), 32.5, 1e-3);
}

TEST(TreeWalk, levelOfDetailTwelveDrawsNoSegmentsAndEndsBranchesAfterOrderFour)
{
    TreeRenderer tree;
    RecordingSink sink;
    tree.drawTreeAtLevelOfDetail(sink, 12);
    EXPECT_EQ(tree.settings().levelOfDetail, 12);
    EXPECT_TRUE(sink.segments.empty());
    ASSERT_FALSE(sink.ends.empty());
    for (const auto &e : sink.ends)
        EXPECT_LE(e.end.w, 5);
    EXPECT_EQ(sink.ends.back().end.branchId, 0);
    EXPECT_EQ(sink.ends.back().end.w, 5);

    RecordingSink six;
    tree.drawTreeAtLevelOfDetail(six, 6); // D = 4: segments while w < 4, ends once w > 16
    for (const auto &s : six.segments)
        EXPECT_LT(s.segment.w, 4);
    EXPECT_FALSE(six.segments.empty());
    for (const auto &e : six.ends)
        EXPECT_LE(e.end.w, 17);
}

TEST(Animation, growthAtHalfProgressDrawsAQuarterOfTheStrandsAndAdvancesTheProgress)
{
    TreeRenderer tree;
    tree.settings().growing = true;
    tree.settings().growthProgress = 0.5;
    const auto sink = draw(tree);
    ASSERT_FALSE(sink.segments.empty());
    EXPECT_DOUBLE_EQ(sink.segments[0].segment.baseRadius, std::sqrt(250.0) * static_cast<double>(0.01f));
    EXPECT_DOUBLE_EQ(sink.segments[0].segment.length, (0.5 + 0.001) * 5.0);
    EXPECT_DOUBLE_EQ(tree.settings().growthProgress, 0.501);
}

TEST(Animation, growthRestartsFromNothingAfterFullProgress)
{
    TreeRenderer tree;
    tree.settings().growing = true;
    tree.settings().growthProgress = 1.0005;
    EXPECT_TRUE(draw(tree).segments.empty()); // progress reset to 0: no strands
    EXPECT_DOUBLE_EQ(tree.settings().growthProgress, 0.001);
    tree.settings().growthProgress = 0.0316; // 1000 x 0.0316^2 = 0.998...
    EXPECT_TRUE(draw(tree).segments.empty());
    tree.settings().growthProgress = 0.0317; // 1.0049 strands: a trunk of one strand
    EXPECT_EQ(draw(tree).segments.size(), 1u);
}

TEST(Animation, clocksAdvanceByFixedAmountsPerDrawing)
{
    TreeRenderer tree;
    RecordingSink sink;
    tree.drawTree(sink);
    EXPECT_DOUBLE_EQ(tree.settings().windTime, 2 * std::numbers::pi / 100);
    EXPECT_DOUBLE_EQ(tree.settings().spinAngle, 0.0);
    tree.settings().spinning = true;
    tree.drawTree(sink);
    tree.drawTree(sink);
    EXPECT_DOUBLE_EQ(tree.settings().spinAngle, 2 * 5.37);
    EXPECT_NEAR(tree.settings().windTime, 3 * 2 * std::numbers::pi / 100, 1e-15);
    EXPECT_EQ(tree.branchDrawer().leafSwayAmplitude, 0.0);
    tree.settings().windOn = true;
    tree.drawTree(sink);
    const double t = tree.settings().windTime;
    EXPECT_DOUBLE_EQ(tree.branchDrawer().leafSwayAmplitude, std::sin(t) * std::sin(t) * 50 + 20);
}

TEST(Animation, windPhasesAreTheSameInEveryDrawing)
{
    TreeParameters p;
    p.numberOfStrands = 300;
    TreeRenderer tree(p);
    tree.settings().windOn = true;
    tree.settings().windTime = 1.0;
    const auto first = draw(tree);
    tree.settings().windTime = 1.0;
    const auto again = draw(tree);
    expectSameFrames(first, again);

    const auto later = draw(tree); // the wind clock moved on: the branches sway
    ASSERT_EQ(first.segments.size(), later.segments.size());
    EXPECT_NE(first.segments.back().frame, later.segments.back().frame);

    TreeRenderer calm(p);
    const auto still = draw(calm);
    EXPECT_NE(first.segments.back().frame, still.segments.back().frame);
}

TEST(Animation, withoutWindTheTreeIsTheSameInEveryDrawing)
{
    TreeRenderer tree;
    const auto first = draw(tree);
    const auto second = draw(tree);
    expectSameFrames(first, second);
}

TEST(BranchColour, colourByOrdersGivesTheTrunkDarkBlueAndFirstOrderBranchesFullBlue)
{
    TreeParameters p;
    p.numberOfStrands = 50;
    TreeRenderer tree(p);
    tree.settings().colourByOrders = true;
    const auto sink = draw(tree);
    ASSERT_FALSE(sink.segments.empty());
    const auto trunk = sink.segments[0].colour;
    EXPECT_FLOAT_EQ(trunk[0], 0.0f);
    EXPECT_FLOAT_EQ(trunk[1], 0.0f);
    EXPECT_FLOAT_EQ(trunk[2], 0.2f);
    for (const auto &s : sink.segments) {
        EXPECT_FLOAT_EQ(s.colour[0], static_cast<float>(0.1 * s.segment.g));
        EXPECT_FLOAT_EQ(s.colour[1], static_cast<float>(0.1 * s.segment.w));
        EXPECT_FLOAT_EQ(s.colour[2], s.segment.g == 1 ? 1.0f : 0.2f);
    }
}

TEST(BranchColour, highlightRangesColourMatchingOrdersCyanAndPlainWhiteKeepsTheStoredColour)
{
    TreeParameters p;
    p.numberOfStrands = 200;
    TreeRenderer tree(p);
    tree.settings().highlightGMin = 2;
    tree.settings().highlightGMax = 2;
    const auto sink = draw(tree);
    bool sawCyan = false;
    for (const auto &s : sink.segments) {
        const std::array<float, 3> expected =
            s.segment.g == 2 ? std::array<float, 3>{0, 1, 1} : std::array<float, 3>{1, 1, 1};
        EXPECT_EQ(s.colour, expected) << "g " << s.segment.g;
        sawCyan |= s.segment.g == 2;
    }
    EXPECT_TRUE(sawCyan);
    EXPECT_EQ(tree.branchColour(), (std::array<float, 3>{0, 1, 1}));

    TreeRenderer plain(p);
    const auto white = draw(plain);
    for (const auto &s : white.segments)
        EXPECT_EQ(s.colour, (std::array<float, 3>{1, 1, 1}));
    EXPECT_EQ(plain.branchColour(), (std::array<float, 3>{1.0f, 0.4f, 0.2f}));
}

TEST(TreeWalk, parameterChangesTakeEffectAtTheNextDrawing)
{
    TreeRenderer tree;
    const auto before = draw(tree);
    tree.designedParameters().numberOfStrands = 10;
    EXPECT_EQ(tree.workingParameters().numberOfStrands, 1000);
    const auto after = draw(tree);
    EXPECT_EQ(tree.workingParameters().numberOfStrands, 10);
    EXPECT_LT(after.segments.size(), before.segments.size());
    EXPECT_EQ(tree.nextBranchId(), static_cast<int>(after.ends.size()));
}

TEST(TreeWalk, noStrandsOrNegativeStrandsDrawNothing)
{
    for (int strands : {0, -5}) {
        TreeParameters p;
        p.numberOfStrands = strands;
        TreeRenderer tree(p);
        tree.settings().growing = true;
        tree.settings().windOn = true;
        const auto sink = draw(tree);
        EXPECT_TRUE(sink.segments.empty());
        EXPECT_TRUE(sink.ends.empty());
        EXPECT_EQ(sink.treesBegun, 1);
    }
}

TEST(TreeWalk, outOfRangeSettingsAndTablesStayDefined)
{
    TreeParameters p;
    p.numberOfStrands = 60;
    TreeRenderer tree(p);
    tree.settings().growing = true;
    tree.settings().growthProgress = std::nan("");
    EXPECT_TRUE(draw(tree).segments.empty());

    TreeRenderer extremes(p);
    for (int level : {INT_MIN, INT_MAX, -1}) {
        RecordingSink sink;
        extremes.drawTreeAtLevelOfDetail(sink, level);
        EXPECT_EQ(sink.treesEnded, 1);
    }

    fillTable(p.strandDistributionTable, std::nan(""));
    p.strandDistributionTable[0][0] = 7.0;
    TreeRenderer damaged(p);
    const auto sink = draw(damaged);
    EXPECT_FALSE(sink.segments.empty());
    EXPECT_LE(sink.segments.size(), 2u * 60u - 1u);
}
