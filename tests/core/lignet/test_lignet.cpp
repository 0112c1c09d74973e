#include "core/tempfolder.h"
#include "core/vectornear.h"
#include "lignet/countingtreesink.h"
#include "lignet/projectedsize.h"
#include "lignet/quadricgeometry.h"
#include "lignet/treelatexwriter.h"
#include "lignet/treemeshcache.h"
#include "lignet/treemeshsink.h"
#include "lignet/treeparameterfile.h"
#include "lignet/treerandomgenerator.h"
#include "lignet/treerenderer.h"
#include "lignet/treesink.h"
#include "math/mat4.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <filesystem>
#include <functional>
#include <numbers>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

using namespace lignet;
using math::Mat4;
using math::Vector3f;
using namespace testsupport;

namespace {

// Keeps everything one drawing of a tree hands to its sink, in order.
class RecordingSink : public TreeSink {
public:
    struct Segment {
        Mat4 frame;
        TreeSegment segment;
        std::array<float, 3> colour;
    };
    struct BranchEnd {
        Mat4 frame;
        TreeBranchEnd end;
    };
    struct Leaf {
        Mat4 frame;
        TreeLeaf leaf;
    };
    struct Outline {
        Mat4 frame;
        std::vector<Vector3f> loop;
    };

    int treesBegun = 0, treesEnded = 0, leafGroups = 0;
    std::array<float, 3> colour{-1, -1, -1};
    std::vector<Segment> segments;
    std::vector<BranchEnd> ends;
    std::vector<Leaf> leaves;
    std::vector<Outline> outlines;

    void beginTree(const TreeDrawSettings &) override { ++treesBegun; }
    void branchColour(const std::array<float, 3> &rgb) override { colour = rgb; }
    void segment(const Mat4 &f, const TreeSegment &s) override { segments.push_back({f, s, colour}); }
    void branchEnd(const Mat4 &f, const TreeBranchEnd &e) override { ends.push_back({f, e}); }
    void leafGroup(const Mat4 &, int) override { ++leafGroups; }
    void leafOutline(const Mat4 &f, const std::vector<Vector3f> &loop) override
    {
        outlines.push_back({f, loop});
    }
    void leaf(const Mat4 &f, const TreeLeaf &l) override { leaves.push_back({f, l}); }
    void endTree() override { ++treesEnded; }
};

RecordingSink draw(TreeRenderer &tree)
{
    RecordingSink sink;
    tree.drawTree(sink);
    return sink;
}

RecordingSink drawn(const TreeParameters &parameters)
{
    TreeRenderer tree(parameters);
    return draw(tree);
}

TreeParameters withStrands(int strands)
{
    TreeParameters p;
    p.numberOfStrands = strands;
    return p;
}

// A single-strand tree: one vertical segment of length 5 with one group of leaves at its tip.
TreeParameters twig(int leafType, int density, float leafSize = 0.25f)
{
    TreeParameters p = withStrands(1);
    p.phyllotaxisAngle = 0.0;
    p.leafType = leafType;
    p.leafDensity = density;
    p.leafSize = leafSize;
    return p;
}

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

TreeMesh meshOf(TreeRenderer &tree)
{
    TreeMeshSink sink;
    tree.drawTree(sink);
    TreeMesh mesh;
    sink.finish(mesh);
    return mesh;
}

// A stand-in mesh of a chosen size, for bound and order checks.
struct Block {
    std::size_t bytes;
    std::size_t byteSize() const { return bytes; }
};

struct Record {
    int id = 0;
    std::vector<Vector3f> points;
};

// Quad i of a segment record lists bottom[i + 1], top[i + 1], top[i], bottom[i].
Vector3f corner(const Record &r, int i, bool top)
{
    return r.points[static_cast<std::size_t>(4 * i + (top ? 2 : 3))];
}

// Exports the next drawing of the tree and reads the file back.
class VertexExport : public ::testing::Test {
protected:
    std::string exportText(TreeRenderer &tree)
    {
        tree.requestVertexExport(folder.file("tree.crs"));
        draw(tree);
        EXPECT_EQ(tree.exportError(), "");
        EXPECT_FALSE(tree.vertexExporter().armed());
        return readBytes(folder.file("tree.crs"));
    }

    std::vector<Record> exportRecords(TreeRenderer &tree)
    {
        std::vector<Record> records;
        for (const std::string &line : split(exportText(tree))) {
            if (line.size() > 2 && (line[0] == 'B' || line[0] == 'L') && line[1] == ' ') {
                records.push_back({std::stoi(line.substr(2)), {}});
                continue;
            }
            std::istringstream point(line);
            Vector3f p;
            point >> p.x >> p.y >> p.z;
            EXPECT_TRUE(point && point.eof() && !records.empty()) << "not a point line: '" << line << "'";
            if (!records.empty())
                records.back().points.push_back(p);
        }
        return records;
    }

    TempFolder folder;
};

bool contains(const std::string &text, const std::string &piece)
{
    return text.find(piece) != std::string::npos;
}

std::string goldenDefaultText()
{
    return readBytes(VERDALIS_SOURCE_DIR "/tests/core/lignet/data/default.tree.xml");
}

// A set that differs from the defaults in every stored field, with a three-point curve.
TreeParameters unusualSet()
{
    TreeParameters p;
    p.barkTexturePath = "/home/ana/kora smreke.png";
    p.leafTexturePath = "";
    p.numberOfStrands = 321;
    p.trunkHeight = 7.25;
    p.branchThicknessPerStrand = 0.015f;
    p.phyllotaxisAngle = 137.5;
    p.gravicentralism = 0.05;
    p.displayLeaves = false;
    p.leafSize = 0.35f;
    p.leafDensity = 12;
    p.windSpeed = 0.00001;
    p.leafType = CONIFEROUS;
    p.curveG(BranchingAngles) = {{0, 0.1}, {0.3, 0.4}, {1, -0.2}};
    p.curveW(GravimorphismImpact) = {{0, 1e-07}, {1, 123456}};
    p.computeAllDistributionTables();
    return p;
}

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    return text.replace(text.find(from), from.size(), to);
}

const std::string paths = ":/gui/textures/bark.jpg\n:/gui/textures/leaf.png\n";
const std::string scalars = "1000\t5\t0.01\t85\t0.3\t1\t0.1\t5\t1.5\t0\n";
const std::string firstCurve = "2\t\n0\t0.5\n1\t0.8\n\n";

std::string withFirstCurve(const std::string &block)
{
    return replaced(goldenDefaultText(), paths + scalars + firstCurve, paths + scalars + block);
}

} // namespace

TEST(TreeRandomGenerator, reproducesTheClassicFifteenBitSequence)
{
    TreeRandomGenerator r;
    for (int expected : {16838, 5758, 10113, 17515})
        EXPECT_EQ(r.next(), expected);
    r.seed(1);
    EXPECT_EQ(r.next(), 16838);
    for (int i = 0; i < 100000; ++i)
        ASSERT_LE(static_cast<unsigned>(r.next()), 32767u);
}

TEST(BranchSteps, orderLimitsStopDeepSideBranchesSplitsDivideByTheRoundedShareAndSizesFollowTheStrands)
{
    const TreeRenderer tree; // strand share 0.75 on the trunk, 45 degree branching angle
    // g, w, n and whether the branch stops: empty and deep side branches stop, the trunk never.
    const std::tuple<int, int, int, bool> cases[] = {
        {0, 0, 0, true},    {3, 3, -4, true},  {0, 0, 1, false}, {0, 5000, 1, false},
        {14, 49, 1, false}, {15, 1, 10, true}, {1, 50, 10, true}};
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

TEST(TreeWalk, oneStrandIsOneTaperedSegmentAndTwoSplitDepthFirstAtHalfTheAngle)
{
    const auto single = drawn(withStrands(1));
    ASSERT_EQ(single.segments.size(), 1u);
    const auto &s = single.segments[0].segment;
    EXPECT_EQ(std::tuple(s.length, s.baseRadius, s.topRadius),
              std::tuple(5.0, static_cast<double>(0.01f), 0.0));
    ASSERT_EQ(single.ends.size(), 1u);
    EXPECT_NEAR(single.ends[0].frame.translationPart().y, 5.0f, 1e-5f);
    EXPECT_EQ(std::tuple(single.leaves.size(), single.treesBegun + single.treesEnded), std::tuple(5u, 2));

    TreeParameters p = withStrands(2);
    p.gravicentralism = 0.0;
    TreeRenderer two(p);
    const auto split = draw(two);
    ASSERT_EQ(split.segments.size(), 3u);
    ASSERT_EQ(split.ends.size(), 2u);
    // The minor subbranch (id 1, g 1) is drawn before the major continuation (id 0, g 0).
    for (int i : {1, 2}) {
        const auto &branch = split.segments[i].segment;
        EXPECT_EQ(std::tuple(branch.branchId, branch.g, branch.w), std::tuple(2 - i, 2 - i, 1));
        EXPECT_NEAR(degreesFromVertical(split.segments[i].frame), 22.5, 1e-3);
    }
    EXPECT_EQ(two.nextBranchId(), 2);
}

TEST(TreeWalk, defaultTreeEndsEveryBranchOnceAndLevelsOfDetailDropSegmentsAndEndBranchesEarly)
{
    TreeRenderer tree; // 1000 strands
    const auto sink = draw(tree);
    EXPECT_EQ(sink.segments.size(), 1999u); // 2 x 1000 - 1
    std::set<int> ids;
    for (const auto &e : sink.ends)
        EXPECT_TRUE(ids.insert(e.end.branchId).second) << "two ends for branch " << e.end.branchId;
    // Ids: 0 for the trunk line, then one new id per minor subbranch.
    EXPECT_EQ(std::pair(static_cast<int>(ids.size()), *ids.begin()), std::pair(tree.nextBranchId(), 0));
    EXPECT_EQ(sink.leaves.size(), sink.ends.size() * 5u);

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

    // A parameter change takes effect at the next drawing.
    tree.settings().levelOfDetail = 0;
    tree.designedParameters().numberOfStrands = 10;
    EXPECT_EQ(tree.workingParameters().numberOfStrands, 1000);
    const auto after = draw(tree);
    EXPECT_EQ(std::pair(tree.workingParameters().numberOfStrands, tree.nextBranchId()),
              std::pair(10, static_cast<int>(after.ends.size())));
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

    TreeParameters even = withStrands(100000);
    fillTable(even.strandDistributionTable, 0.5);
    int deepest = 0;
    for (const auto &s : drawn(even).segments)
        deepest = std::max(deepest, s.segment.g);
    EXPECT_EQ(deepest, 14);

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
    EXPECT_NEAR(clocked.settings().windTime, 3 * 2 * std::numbers::pi / 100, 1e-15);
    EXPECT_EQ(clocked.branchDrawer().leafSwayAmplitude, 0.0);
    clocked.settings().windOn = true;
    draw(clocked);
    const double t = clocked.settings().windTime;
    EXPECT_DOUBLE_EQ(clocked.branchDrawer().leafSwayAmplitude, std::sin(t) * std::sin(t) * 50 + 20);

    // The wind sways with the clock, but its phases are the same in every drawing.
    TreeRenderer calm(withStrands(300));
    EXPECT_EQ(frames(draw(calm)), frames(draw(calm)));
    TreeRenderer windy(withStrands(300));
    windy.settings() = {.windTime = 1.0, .windOn = true};
    const auto first = draw(windy);
    windy.settings().windTime = 1.0;
    EXPECT_EQ(frames(first), frames(draw(windy)));
    EXPECT_NE(frames(first), frames(draw(windy))); // the clock moved on
    EXPECT_NE(frames(first), frames(draw(calm)));
}

TEST(BranchColour, ordersColourAndHighlightedRangesReplaceThePlainWhite)
{
    using Colour = std::array<float, 3>;
    TreeRenderer byOrders(withStrands(50));
    byOrders.settings().colourByOrders = true;
    const auto coloured = draw(byOrders);
    ASSERT_FALSE(coloured.segments.empty());
    EXPECT_EQ(coloured.segments[0].colour, (Colour{0, 0, 0.2f})); // the trunk: dark blue
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
    EXPECT_EQ(highlighted.branchColour(), (Colour{0, 1, 1}));

    TreeRenderer plain(withStrands(200));
    for (const auto &s : draw(plain).segments)
        EXPECT_EQ(s.colour, (Colour{1, 1, 1}));
    EXPECT_EQ(plain.branchColour(), (Colour{1.0f, 0.4f, 0.2f})); // the stored colour
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
    EXPECT_EQ(sink.leafGroups, 1);
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
    const std::pair<int, int> typesAndDensities[] = {
        {SPIRAL, 0}, {STACKED, 0}, {STAGGERED, 0}, {BUNCHED, 0}, {CONIFEROUS, 0}, {7, 5}, {STAGGERED, -3}};
    for (const auto &[type, density] : typesAndDensities) {
        const auto sink = drawn(twig(type, density));
        EXPECT_EQ(std::pair(sink.leaves.size(), sink.leafGroups), std::pair(std::size_t{0}, 1)) << type;
    }

    TreeRenderer tree(twig(SPIRAL, 3));
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
    drawer.leafSwayAmplitude = -50.0;
    EXPECT_NEAR(drawer.flutterAngle({0, 0.3f, 0.4f}), -swing * 30.0, 1e-4);
}

TEST(TreeMesh, cylindersFollowGluSlicesStacksNormalsAndTextureCoordinatesAndTwigCountsTheDrawingOptions)
{
    std::vector<QuadricVertex> v;
    // A cone of base radius 2, top 1 and height 4 in 4 slices and 2 stacks.
    cylinderVertices(QuadricSlices(4), 2.0, 1.0, 4.0, 2, v);
    ASSERT_EQ(v.size(), 2u * 5u * 2u);
    const float len = std::sqrt(1.0f + 16.0f);
    // Slice 1 (90 degrees) of the first stack: low at radius 2, high at radius 1.5, height 2.
    expectNear(v[2].position, {2.0f, 0.0f, 0.0f});
    expectNear(v[3].position, {1.5f, 0.0f, 2.0f});
    expectNear(v[2].normal, {4.0f / len, 0.0f, 1.0f / len});
    EXPECT_EQ(std::tuple(v[2].s, v[2].t, v[3].t), std::tuple(0.75f, 0.0f, 0.5f));
    // The strip closes on slice 0 with s = 0; the second stack starts at height 2.
    expectNear(v[8].position, v[0].position);
    EXPECT_EQ(std::pair(v[8].s, v[0].s), std::pair(0.0f, 1.0f));
    expectNear(v[10].position, {0.0f, 1.5f, 2.0f});
    EXPECT_FLOAT_EQ(v[11].t, 1.0f);

    const std::tuple<int, double, double, double, int> invalid[] = {{5, -0.1, 1, 1, 1}, {5, 1, -0.1, 1, 1},
                                                                    {5, 1, 1, -1, 1},   {5, 0, 0, 0, 1},
                                                                    {5, 1, 1, 1, 0},    {1, 1, 1, 1, 1}};
    for (const auto &[slices, base, top, height, stacks] : invalid) {
        cylinderVertices(QuadricSlices(slices), base, top, height, stacks, v);
        EXPECT_TRUE(v.empty()) << slices << " " << base << " " << top << " " << height << " " << stacks;
    }
    diskFanVertices(QuadricSlices(4), 0.0, v);
    EXPECT_TRUE(v.empty());
    // A cone tapering to a point is still drawn.
    cylinderVertices(QuadricSlices(5), 1, 0, 1, 1, v);
    EXPECT_EQ(v.size(), 12u);
    // The leaf disk's vertices are compared with gluDisk's in the render tests (TreeMeshFeedback).

    // Twig counts follow the level of detail, the quality and wireframe.
    using enum MeshBatchKind;
    using Counts =
        std::array<std::uint32_t, 5>; // bark triangles and lines, wire lines, leaf triangles and points
    // Level of detail, high quality, wireframe and the counts; a wire prism is 4 quads of 4 edges, a
    // leaf outline a loop of 4 x 5 points, and from level 12 on only the points are drawn.
    const std::tuple<int, bool, bool, Counts> cases[] = {
        {0, false, false, {10, 0, 0, 20, 5}},    {0, true, false, {100, 0, 0, 20, 5}},
        {3, true, false, {10, 0, 0, 20, 5}},     {6, false, false, {0, 1, 0, 20, 5}},
        {0, false, true, {0, 0, 16 + 20, 0, 0}}, {12, false, false, {0, 0, 0, 0, 5}}};
    for (const auto &[lod, highQuality, wireframe, expected] : cases) {
        SCOPED_TRACE(testing::Message()
                     << "lod " << lod << " high quality " << highQuality << " wireframe " << wireframe);
        TreeRenderer tree(twig(SPIRAL, 5));
        tree.settings() = {.wireframe = wireframe, .highQuality = highQuality, .levelOfDetail = lod};
        const TreeMesh mesh = meshOf(tree);
        const auto count = [&mesh](MeshBatchKind kind) {
            const MeshBatch *b = mesh.batch(kind);
            return b ? b->primitiveCount() : 0u;
        };
        EXPECT_EQ((Counts{count(BarkTriangles), count(BarkLines), count(WireLines), count(LeafTriangles),
                          count(LeafPoints)}),
                  expected);
        const std::size_t n = mesh.vertexCount();
        EXPECT_EQ(std::tuple(mesh.normals.size(), mesh.texCoords.size(), mesh.colours.size()),
                  std::tuple(n, n, n));
        for (std::uint32_t index : mesh.indices)
            ASSERT_LT(index, n);
    }
}

TEST(TreeMesh, defaultTreeHasTenTrianglesPerSegmentAndFourPlusAPointPerLeaf)
{
    TreeRenderer tree;
    CountingTreeSink counts;
    tree.drawTree(counts);
    const TreeMesh mesh = meshOf(tree);
    EXPECT_EQ(mesh.triangleCount(), static_cast<std::uint64_t>(10 * counts.segments + 4 * counts.leaves));
    EXPECT_EQ(mesh.pointCount(), static_cast<std::uint64_t>(counts.leaves));
    EXPECT_EQ(mesh.lineCount(), 0u);
    // Batches come in drawing order, bark before leaves, and cover the index array.
    using enum MeshBatchKind;
    ASSERT_EQ(mesh.batches.size(), 3u);
    EXPECT_EQ(std::tuple(mesh.batches[0].kind, mesh.batches[1].kind, mesh.batches[2].kind),
              std::tuple(BarkTriangles, LeafTriangles, LeafPoints));
    EXPECT_EQ(mesh.batches[2].firstIndex + mesh.batches[2].indexCount, mesh.indices.size());
    EXPECT_FLOAT_EQ(mesh.batches[2].pointSize, 1.4f);
    EXPECT_EQ(mesh.batches[1].texture, MeshTexture::Leaf);
    // Each leaf's point follows its disk (four triangles) in the leaf batch as a triangle of three
    // copies of the point's vertex, corners 1 to 3; only those vertices are corners.
    const MeshBatch &disks = mesh.batches[1], &points = mesh.batches[2];
    ASSERT_EQ(disks.pointTriangles, static_cast<std::uint32_t>(counts.leaves));
    ASSERT_EQ(disks.indexCount, 15u * disks.pointTriangles);
    ASSERT_EQ(mesh.pointCorners.size(), mesh.vertexCount());
    for (std::uint32_t leaf = 0; leaf < points.indexCount; ++leaf) {
        const std::uint32_t point = mesh.indices[points.firstIndex + leaf];
        const std::uint32_t *triangle = &mesh.indices[disks.firstIndex + 15 * leaf + 12];
        for (std::uint8_t corner = 0; corner < 3; ++corner) {
            ASSERT_EQ(triangle[corner], point + corner) << leaf;
            EXPECT_EQ(mesh.pointCorners[point + corner], corner + 1);
            EXPECT_EQ(mesh.positions[point + corner], mesh.positions[point]);
            EXPECT_EQ(mesh.texCoords[point + corner], mesh.texCoords[point]);
        }
        EXPECT_FALSE(mesh.isPointCorner(triangle[-1]));
    }
    EXPECT_EQ(std::count(mesh.pointCorners.begin(), mesh.pointCorners.end(), 0),
              static_cast<std::ptrdiff_t>(mesh.vertexCount() - 3 * points.indexCount));
    // From level of detail 3 on the points come before the disks.
    tree.settings().levelOfDetail = 3;
    const TreeMesh far = meshOf(tree);
    ASSERT_EQ(far.batches.size(), 3u);
    EXPECT_EQ(std::pair(far.batches[1].kind, far.batches[2].kind), std::pair(LeafPoints, LeafTriangles));
    EXPECT_GT(mesh.boundsMax.y, 10.0f);
}

TEST(TreeMesh, placementMovesAndScalesEveryVertexAndKeepsNormalsUnit)
{
    TreeRenderer tree(twig(SPIRAL, 5));
    const TreeMesh plain = meshOf(tree);
    TreeMeshSink sink;
    Mat4 placement = Mat4::translation(10, 20, 30);
    placement[0] = placement[5] = placement[10] = 2.0f; // after scaling by 2
    sink.setPlacement(placement);
    tree.drawTree(sink);
    tree.drawTree(sink); // two plants in one mesh
    TreeMesh placed;
    sink.finish(placed);
    ASSERT_EQ(placed.vertexCount(), 2 * plain.vertexCount());
    EXPECT_EQ(placed.triangleCount(), 2 * plain.triangleCount());
    for (std::size_t i = 0; i < plain.vertexCount(); i += 7) {
        expectNear(placed.positions[i], plain.positions[i] * 2.0f + Vector3f{10, 20, 30}, 1e-4f);
        EXPECT_NEAR(placed.normals[i].length(), plain.normals[i].length(), 1e-5f);
    }
    sink.finish(placed);
    EXPECT_TRUE(placed.empty() && placed.vertexCount() == 0u);
}

TEST(TreeMeshKey, everyFieldTheDrawingDependsOnChangesTheKey)
{
    const std::vector<std::pair<const char *, std::function<void(TreeRenderer &)>>> changes = {
        {"growth progress", [](TreeRenderer &t) { t.settings().growthProgress = 0.25; }},
        {"growth step", [](TreeRenderer &t) { t.settings().growthStep = 0.002; }},
        {"level of detail", [](TreeRenderer &t) { t.settings().levelOfDetail = 4; }},
        {"wireframe", [](TreeRenderer &t) { t.settings().wireframe = true; }},
        {"leaves shown", [](TreeRenderer &t) { t.designedParameters().displayLeaves = false; }},
        {"high quality", [](TreeRenderer &t) { t.settings().highQuality = true; }},
        {"colour by orders", [](TreeRenderer &t) { t.settings().colourByOrders = true; }},
        {"highlight g min", [](TreeRenderer &t) { t.settings().highlightGMin = 1; }},
        {"highlight g max", [](TreeRenderer &t) { t.settings().highlightGMax = 1; }},
        {"highlight w min", [](TreeRenderer &t) { t.settings().highlightWMin = 1; }},
        {"highlight w max", [](TreeRenderer &t) { t.settings().highlightWMax = 1; }},
        {"revision", [](TreeRenderer &t) { t.bumpRevision(); }},
        {"growing", [](TreeRenderer &t) { t.settings().growing = false; }},
    };
    std::set<std::size_t> hashes;
    for (const auto &[name, change] : changes) {
        TreeRenderer tree;
        tree.settings() = {.growthProgress = 0.5, .growing = true};
        const TreeMeshKey before = TreeMeshKey::forNextDrawing(tree);
        change(tree);
        const TreeMeshKey after = TreeMeshKey::forNextDrawing(tree);
        EXPECT_FALSE(before == after) << name;
        hashes.insert(TreeMeshKeyHash{}(after));
    }
    EXPECT_EQ(hashes.size(), changes.size());

    // What does not change the drawing does not change the key.
    TreeRenderer tree;
    const TreeMeshKey plain = TreeMeshKey::forNextDrawing(tree);
    // Not growing: the progress is not used.
    tree.settings() = {.growthProgress = 0.7, .windTime = 3.0, .spinAngle = 40.0};
    EXPECT_TRUE(plain == TreeMeshKey::forNextDrawing(tree));
    // Two trees never share a key.
    EXPECT_FALSE(plain == TreeMeshKey::forNextDrawing(TreeRenderer()));
    // A progress above 1 restarts at 0, as the drawing does.
    tree.settings().growing = true;
    tree.settings().growthProgress = 1.5;
    EXPECT_EQ(TreeMeshKey::forNextDrawing(tree).growthProgress(), 0.0);
}

TEST(TreeMeshCache,
     aHitAdvancesTheClocksAsADrawingChangesAreNeverStaleAndAnimatedOrExportingDrawingsNeverKept)
{
    TreeMeshCache cache;
    TreeRenderer cached(withStrands(20));
    TreeRenderer drawn(withStrands(20));
    for (TreeRenderer *t : {&cached, &drawn})
        t->settings() = {.growthProgress = 0.5, .growing = true, .spinning = true};
    const auto mesh = cache.acquire(cached);
    cached.settings().growthProgress = 0.5;
    EXPECT_EQ(cache.acquire(cached), mesh);
    EXPECT_EQ(std::pair(cache.stats().hits, cache.stats().misses), std::pair(1ul, 1ul));

    TreeSink nothing;
    drawn.drawTree(nothing);
    drawn.settings().growthProgress = 0.5;
    drawn.drawTree(nothing);
    const auto clocks = [](const TreeRenderer &t) {
        return std::tuple(t.settings().growthProgress, t.settings().spinAngle, t.settings().windTime);
    };
    EXPECT_EQ(clocks(cached), clocks(drawn));

    // Parameter changes are never served stale.
    cache.clear();
    TreeRenderer tree(withStrands(20));
    const auto before = cache.acquire(tree);
    tree.designedParameters().numberOfStrands = 40;
    tree.updateRevision();
    const auto after = cache.acquire(tree);
    EXPECT_NE(after, before);
    EXPECT_GT(after->triangleCount(), before->triangleCount());
    // The old revision's mesh is gone, not just unused.
    EXPECT_EQ(std::tuple(cache.stats().entries, cache.stats().bytes), std::tuple(1u, after->byteSize()));
    cache.clear();

    // Animated and exporting drawings are built every time and not kept.
    tree.settings().windOn = true;
    EXPECT_NE(cache.acquire(tree), cache.acquire(tree));
    EXPECT_EQ(cache.stats().entries, 0u);
    tree.settings().windOn = false;
    cache.acquire(tree, false); // growth in the tree edit view: not kept
    EXPECT_EQ(cache.stats().entries, 0u);
    cache.acquire(tree);
    EXPECT_EQ(cache.stats().entries, 1u);

    // A pending export is written by a real walk even when the mesh is cached.
    const TempFolder folder;
    tree.requestVertexExport(folder.file("tree.crs"));
    cache.acquire(tree);
    EXPECT_FALSE(tree.vertexExporter().armed());
    EXPECT_GT(std::filesystem::file_size(folder.file("tree.crs")), 100u);
    EXPECT_EQ(cache.stats().hits, 1u); // only the first tree's
}

TEST(MeshCache, evictsTheLeastRecentlyUsedToStayWithinTheBound)
{
    const auto keyOf = [](std::uint64_t model, int lod) { return TreeMeshKey{model, 0, 0, 0, lod}; };
    MeshCache<Block> cache(1000);
    for (int lod = 0; lod < 4; ++lod)
        cache.insert(keyOf(1, lod), std::make_shared<Block>(Block{300}));
    // The fourth block pushed the first out.
    EXPECT_FALSE(cache.contains(keyOf(1, 0)));
    EXPECT_EQ(std::tuple(cache.stats().bytes, cache.stats().evictions), std::tuple(900u, 1u));
    // Using block 1 makes block 2 the oldest.
    EXPECT_TRUE(cache.find(keyOf(1, 1)));
    cache.insert(keyOf(1, 4), std::make_shared<Block>(Block{300}));
    EXPECT_TRUE(cache.contains(keyOf(1, 1)) && !cache.contains(keyOf(1, 2)));
    std::vector<int> order;
    cache.forEachKey([&](const TreeMeshKey &k) { order.push_back(k.levelOfDetail); });
    EXPECT_EQ(order, (std::vector<int>{4, 1, 3}));
    // A mesh larger than the bound is not kept at all; lowering the bound evicts.
    cache.insert(keyOf(2, 0), std::make_shared<Block>(Block{1001}));
    EXPECT_FALSE(cache.contains(keyOf(2, 0)));
    cache.setByteLimit(400);
    EXPECT_EQ(cache.stats().entries, 1u);
    EXPECT_LE(cache.stats().bytes, 400u);
    cache.eraseModel(1);
    EXPECT_EQ(std::tuple(cache.stats().entries, cache.stats().bytes), std::tuple(0u, 0u));
}

TEST(FarFieldTier, heightsInPixelsFollowTheProjectionAndAFrameRaisesItsThresholdToKeepToTheBudget)
{
    // gluPerspective(90, 1, 1, 30000): element 5 is cot(45 degrees) = 1.
    std::array<float, 16> projection{};
    projection[5] = 1.0f;
    EXPECT_DOUBLE_EQ(projectedHeightPixels(2.0, 100.0, projection, 800), 8.0);
    EXPECT_EQ(projectedHeightPixels(2.0, 0.0, projection, 800), HUGE_VAL); // at the eye
    projection[5] = 2.0f;
    EXPECT_DOUBLE_EQ(projectedHeightPixels(2.0, 100.0, projection, 400), 8.0);

    // Six plants reach 16 px; the two of 30 px are a tie; 80 px is above the ceiling.
    const std::vector<ProjectedPlant> plants = {{5.0, 1.0},  {80.0, 1.0}, {20.0, 0.25}, {16.0, 1.0},
                                                {30.0, 0.5}, {30.0, 0.5}, {40.0, 1.0},  {12.0, 1.0}};
    struct Row {
        double budget, threshold, exactCost; // the cost of the plants reaching the threshold
    };
    const double above = 1e9;
    for (const Row row :
         {Row{4.25, 16.0, 4.25}, Row{9.0, 16.0, 4.25}, Row{4.0, std::nextafter(16.0, above), 3.25},
          Row{3.0, std::nextafter(20.0, above), 3.0}, Row{2.5, std::nextafter(30.0, above), 2.0},
          Row{1.5, std::nextafter(40.0, above), 1.0}, Row{0.0, 64.0, 1.0}}) {
        std::vector<ProjectedPlant> reordered = plants;
        const double threshold = thresholdWithinBudget(reordered, 16.0, 64.0, row.budget);
        double cost = 0.0;
        for (const ProjectedPlant &p : plants)
            cost += p.pixels >= threshold ? p.cost : 0.0;
        EXPECT_EQ(std::pair(threshold, cost), std::pair(row.threshold, row.exactCost))
            << "budget " << row.budget;
    }
    std::vector<ProjectedPlant> reordered = plants;
    EXPECT_EQ(thresholdWithinBudget(reordered, 64.0, 64.0, 0.0), 64.0); // nothing to raise
}

TEST_F(VertexExport, singleStrandTreeWithOneLeafIsWrittenExactly)
{
    TreeRenderer tree(twig(SPIRAL, 1, 0.1f));
    // Quads of the corners (+-0.01, 0, +-0.01) at 0, 90, 180 and 270 degrees; the top ring of radius 0
    // sits on the axis. The leaf square lies at (0, 5, 0.1) with corners 0.1 away; a quarter turn in
    // float leaves a rounding residue, written in exponent form.
    EXPECT_EQ(exportText(tree), "B 0\n"
                                "0.01 0 -0.01\n0 5 0\n0 5 0\n0.01 0 0.01\n"
                                "-0.01 0 -0.01\n0 5 0\n0 5 0\n0.01 0 -0.01\n"
                                "-0.01 0 0.01\n0 5 0\n0 5 0\n-0.01 0 -0.01\n"
                                "0.01 0 0.01\n0 5 0\n0 5 0\n-0.01 0 0.01\n"
                                "L 0\n"
                                "0.1 5 0.1\n-4.37114e-09 5 0\n-0.1 5 0.1\n1.19249e-09 5 0.2\n");
    // A base frame moves the coordinates of one export only.
    tree.vertexExporter().setBaseFrame(Mat4::translation(10.0f, 0.0f, 0.0f));
    EXPECT_EQ(exportText(tree).rfind("B 0\n10.01 0 -0.01\n10 5 0\n10 5 0\n10.01 0 0.01\n", 0), 0u);
    EXPECT_EQ(tree.vertexExporter().baseFrame(), Mat4());
    EXPECT_EQ(exportText(tree).rfind("B 0\n0.01 0 -0.01\n", 0), 0u);
}

// Record and point counts of every option are checked on the command line's `tree vertices`.
TEST_F(VertexExport, segmentRingsLieAtTheFrameCornersAndAMajorContinuationReusesItsParentsTopRing)
{
    for (bool high : {false, true}) {
        TreeParameters p = withStrands(3); // root of 3 strands, its major continuation keeps 2
        p.displayLeaves = false;
        TreeRenderer tree(p);
        tree.settings().highQuality = high;
        const Mat4 frame = draw(tree).segments[0].frame;
        const auto records = exportRecords(tree);
        ASSERT_EQ(records.size(), 5u); // root, its minor, its major, whose two single strands follow
        const Record &root = records[0], &minor = records[1], &major = records[2];
        EXPECT_EQ(std::tuple(root.id, minor.id, major.id), std::tuple(0, 1, 0));
        const int count = high ? 16 : 4;
        ASSERT_EQ(root.points.size(), 4u * static_cast<std::size_t>(count));
        const float r = std::sqrt(3.0f) * 0.01f;
        for (int i = 0; i < count; ++i) {
            expectNear(corner(root, i, false),
                       VertexExporter::cornerPoint(
                           frame, 0, r, r, static_cast<float>(i) * 360.0f / static_cast<float>(count)));
            // shifted by a quarter
            EXPECT_EQ(corner(major, i, false), corner(root, (i + count / 4) % count, true)) << i;
        }
        EXPECT_NE(corner(minor, 0, false), corner(root, 1, true)); // a minor subbranch starts its own ring
    }
    // cornerPoint: up by h, turned about +y, out by (x, 0, z).
    expectNear(VertexExporter::cornerPoint(Mat4(), 2.0f, 1.0f, 0.0f, 90.0f), {0, 2, -1});
}

TEST_F(VertexExport, onlyTheNextDrawingIsWrittenUnderTheLastNameAndAFailureIsReportedOnce)
{
    TreeRenderer tree(withStrands(5));
    writeBytes(folder.file("second.crs"), std::string(100000, 'x')); // truncated
    tree.requestVertexExport(folder.file("first.crs"));
    tree.requestVertexExport(folder.file("second.crs"));
    EXPECT_EQ(tree.exportFileName(), folder.file("second.crs"));
    draw(tree);
    EXPECT_EQ(folder.entryCount(), 1u);
    const std::string written = readBytes(folder.file("second.crs"));
    EXPECT_EQ(written.rfind("B 0\n", 0), 0u);
    EXPECT_EQ(written.find('x'), std::string::npos);
    tree.designedParameters().numberOfStrands = 50;
    draw(tree);
    EXPECT_EQ(readBytes(folder.file("second.crs")), written);

    // An unwritable file is reported and the drawing goes on.
    tree.requestVertexExport(folder.file("missing/tree.crs"));
    const auto sink = draw(tree);
    EXPECT_NE(tree.exportError().find("could not open"), std::string::npos);
    // Taken once, for the one report to the user.
    EXPECT_NE(tree.takeExportError().find("tree.crs"), std::string::npos);
    EXPECT_EQ(tree.exportError(), "");
    EXPECT_FALSE(sink.segments.empty());
    EXPECT_FALSE(tree.vertexExporter().armed());
    EXPECT_EQ(folder.entryCount(), 1u);     // still only second.crs
    EXPECT_FALSE(exportText(tree).empty()); // the next request succeeds and clears the error
}

TEST(TreeParameterFile, numbersHaveSixDigitsDefaultsTheGoldenTextAndARoundTripRestoresEveryField)
{
    TreeParameters p;
    p.trunkHeight = 5.1234567;
    p.phyllotaxisAngle = 0.00001;
    p.gravicentralism = 1234567.0;
    p.windSpeed = -2.5;
    const std::string text = TreeParameterFile::text(p);
    EXPECT_NE(text.find("1000\t5.12346\t0.01\t1e-05\t1.23457e+06\t1\t0.1\t5\t-2.5\t0\n"), std::string::npos)
        << text;

    // The command line's `tree save -` compares the written text alone with the golden text.
    TempFolder folder;
    const std::string path = folder.file("tree.tree.xml");
    writeBytes(path, std::string(5000, 'x'));
    ASSERT_TRUE(TreeParameters().saveToFile(path));
    EXPECT_EQ(std::tuple(readBytes(path), folder.entryCount()), std::tuple(goldenDefaultText(), 1u));

    const TreeParameters unusual = unusualSet();
    ASSERT_TRUE(unusual.saveToFile(path));
    TreeParameters loaded;
    loaded.windSpeedNodirect = 9.75; // not in the file
    std::string reason;
    ASSERT_TRUE(loaded.loadFromFile(path, &reason)) << reason;
    EXPECT_DOUBLE_EQ(loaded.windSpeedNodirect, 9.75);
    loaded.windSpeedNodirect = unusual.windSpeedNodirect;
    EXPECT_EQ(loaded, unusual);
    ASSERT_TRUE(TreeParameters().saveToFile(path));
    ASSERT_TRUE(loaded.loadFromFile(path));
    EXPECT_EQ(loaded, TreeParameters());
}

// The point count alone decides how many pairs are read, wherever the lines break.
TEST(TreeParameterFile, readingTakesAnyWhiteSpaceAndTheLongestPath)
{
    TreeParameters p;
    std::string reason;
    ASSERT_TRUE(TreeParameterFile::parse(withFirstCurve("3 0 0.5\n\n\n0.4   0.6\t1\n0.8\n"), p, &reason))
        << reason;
    EXPECT_EQ(p.curveG(StrandDistribution), (Krivulja{{0, 0.5}, {0.4, 0.6}, {1, 0.8}}));
    EXPECT_EQ(p.curveW(StrandDistribution), TreeParameters::defaultCurveW(0));

    const std::string longest(254, 'p');
    ASSERT_TRUE(TreeParameterFile::parse(longest + "\n" + goldenDefaultText().substr(24), p));
    EXPECT_EQ(p.barkTexturePath, longest);
}

TEST(TreeParameterFile, damagedFileIsRefusedWholeWithTheLineNamed)
{
    const std::string golden = goldenDefaultText();
    const auto scalar = [&golden](int field, const std::string &token) { // on line 3
        return testsupport::withField(golden, 2, field, token);
    };
    TreeParameters huge; // both maximal branch length curves at 1e300: each finite, their product not
    huge.curveG(MaximalBranchLength) = huge.curveW(MaximalBranchLength) = {{0, 1e300}, {1, 1e300}};
    const auto withCurveCount = [](const std::string &count) {
        return withFirstCurve(count + "\t\n0\t0.5\n1\t0.8\n\n"); // the first curve's two points
    };
    const std::string countRange =
        "line 4: the number of points of the G curve of the strand distribution must lie between 2 and";
    // The content and the start of the expected reason.
    const std::pair<std::string, std::string> damaged[] = {
        {"", "line 1: expected the bark texture path, found the end of the file"},
        {":/gui/textures/bark.jpg\n", "line 2: expected the leaf texture path, found the end"},
        {paths, "line 3: expected the number of strands (a whole number), found the end"},
        {std::string(255, 'a') + "\n" + golden.substr(24),
         "line 1: the bark texture path is longer than 254 characters"},
        {":/gui/textures/bark.jpg\n" + std::string(300, 'b') + "\n" + scalars,
         "line 2: the leaf texture path is longer than 254 characters"},
        {":/gui/tex\rtures/bark.jpg\n" + golden.substr(24),
         "line 1: the bark texture path contains a carriage return"},
        {scalar(1, "five"), "line 3: expected the trunk height (a number), found \"five\""},
        {scalar(2, "0.01x"), "line 3: expected the branch thickness per strand (a number), found \"0.01x\""},
        {scalar(0, "1000.5"), "line 3: expected the number of strands (a whole number), found \"1000.5\""},
        {scalar(0, "99999999999"), "line 3: expected the number of strands (a whole number)"},
        {scalar(7, "-5"), "line 3: the leaf density must lie between 0 and"},
        {scalar(5, "2"), "line 3: expected the display-leaves flag (0 or 1), found \"2\""},
        {scalar(5, "true"), "line 3: expected the display-leaves flag (0 or 1), found \"true\""},
        {scalar(3, "nan"), "line 3: expected the phyllotaxis angle (a finite number), found \"nan\""},
        {scalar(4, "-inf"), "line 3: expected the gravicentralism (a finite number), found \"-inf\""},
        // Bytes of a binary file are shown escaped and shortened, never sent raw to a terminal.
        {scalar(1, "\x1b[2J\x01\\\xff\xfe" + std::string(40, 'x')),
         "line 3: expected the trunk height (a number), found \"\\x1b[2J\\x01\\x5c\\xff\\xfe" +
             std::string(16, 'x') + "...\""},
        {scalar(1, "1e999"), "line 3: expected the trunk height (a number), found \"1e999\""},
        {scalar(6, "1e300"), "line 3: the leaf size is too large"},
        {paths + "1000\t5\t0.01\t85\n",
         "line 4: expected the gravicentralism (a number), found the end of the file"},
        {withFirstCurve("1\t\n0\t0.5\n\n"), countRange + " 100000, found 1"},
        {withFirstCurve("0\t\n\n"), "line 4: the number of points of the G curve"},
        {withCurveCount("-2"), countRange},
        {withCurveCount("2000000000"), countRange},
        {withCurveCount("100001"), countRange + " 100000, found 100001"},
        {withCurveCount("two"),
         "line 4: expected the number of points of the G curve of the strand distribution "
         "(a whole number), found \"two\""},
        {withFirstCurve("2\t\n0\t0.5\n1\t0,8\n\n"),
         "line 6: expected y of point 2 of the G curve of the strand distribution (a number), found \"0,8\""},
        {golden.substr(0, golden.size() - 6), "line 51: expected y of point 2 of the W curve of the "
                                              "gravimorphism impact (a number), found the end"},
        {golden.substr(0, golden.size() - 16),
         "line 49: expected the number of points of the W curve of the "
         "gravimorphism impact (a whole number), found the end of the file"},
        {withCurveCount("4").substr(0, 200), "line "},
        // Finite points whose slope overflows: 1e300 / 1e-300 times a distance of 0 is not a number.
        {withFirstCurve("2\t\n0\t0\n1e-300\t1e300\n\n"),
         "the curves of the strand distribution give values that are not finite numbers"},
        {TreeParameterFile::text(huge),
         "the curves of the maximal branch length give values that are not finite numbers"},
    };
    TempFolder folder;
    const std::string file = folder.file("damaged.tree.xml");
    for (std::size_t row = 0; row < std::size(damaged); ++row) {
        const auto &[content, expected] = damaged[row];
        SCOPED_TRACE("row " + std::to_string(row) + ": " + expected);
        TreeParameters p = unusualSet();
        p.windSpeedNodirect = 4.0;
        const TreeParameters before = p;
        std::string reason;
        EXPECT_FALSE(TreeParameterFile::parse(content, p, &reason));
        EXPECT_EQ(reason.rfind(expected, 0), 0u) << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos);
        EXPECT_EQ(p, before);
        writeBytes(file, content);
        EXPECT_FALSE(p.loadFromFile(file, &reason));
        EXPECT_NE(reason.find(expected), std::string::npos) << reason;
        EXPECT_EQ(p, before);
    }
}

TEST(TreeParameterFileSave, missingFilesAndFailedSavesReportWhyAndChangeNothing)
{
    TempFolder folder;
    TreeParameters p = unusualSet();
    std::string reason;
    EXPECT_FALSE(p.loadFromFile(folder.file("absent.tree.xml"), &reason));
    EXPECT_NE(reason.find("cannot open"), std::string::npos) << reason;
    EXPECT_FALSE(p.loadFromFile(folder.path().string(), &reason));
    EXPECT_NE(reason.find("it is a folder"), std::string::npos) << reason;
    EXPECT_EQ(p, unusualSet());

    EXPECT_FALSE(TreeParameters().saveToFile(folder.file("missing/tree.tree.xml"), &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(TreeParameters().saveToFile(folder.path().string(), &reason));
    EXPECT_FALSE(TreeParameters().saveToFile("", &reason));
    EXPECT_EQ(folder.entryCount(), 0u);

    // A set holding a non-finite value is not written at all.
    const std::string path = folder.file("tree.tree.xml");
    writeBytes(path, "the previous design\n");
    TreeParameters infinite;
    infinite.curveW(BranchLengthScaling)[1].y = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(infinite.saveToFile(path, &reason));
    std::ostringstream out;
    EXPECT_FALSE(TreeParameterFile::write(out, infinite));
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(std::tuple(readBytes(path), folder.entryCount()), std::tuple("the previous design\n", 1u));
}

TEST(Krivulja, valuesTakeTheSegmentToTheRightOfAPointAndGiveTheDefaultTablesAndTheMappingsSaturate)
{
    const Krivulja step{{0, 0}, {0.5, 0}, {0.5, 1}, {1, 1}};
    EXPECT_EQ(std::tuple(step.valueAt(0.4999999), step.valueAt(0.5), step.valueAt(0.75)),
              std::tuple(0.0, 1.0, 1.0));
    const Krivulja dip{{0, 0.1}, {0.5, 0.045}, {1, 0.1}};
    EXPECT_DOUBLE_EQ(dip.valueAt(0.5), 0.045);
    EXPECT_DOUBLE_EQ(dip.valueAt(0.25), 0.1 + (0.045 - 0.1) / 0.5 * 0.25);
    EXPECT_DOUBLE_EQ(Krivulja({{0, 0}, {0.5, 0.5}, {0.6, 1.0}}).valueAt(0.8), 0.8);

    // The default curves give the documented tables.
    TreeParameters p;
    for (int g = 0; g < TableOrdersG; ++g)
        for (int w = 0; w < TableOrdersW; ++w) {
            EXPECT_DOUBLE_EQ(p.tableValue(BranchingAngles, g, w), 45.0);
            EXPECT_DOUBLE_EQ(p.tableValue(GravimorphismImpact, g, w), 0.0);
            EXPECT_DOUBLE_EQ(p.tableValue(MaximalBranchLength, g, w), 1.0);
            EXPECT_DOUBLE_EQ(p.tableValue(BranchLengthScaling, g, w), 1.0);
        }
    EXPECT_DOUBLE_EQ(p.tableValue(StrandDistribution, 0, 17), 0.75);
    EXPECT_NEAR(p.tableValue(StrandDistribution, 14, 33), 0.89, 1e-12);
    EXPECT_DOUBLE_EQ(p.tableValue(MinimalBranchLength, 0, 0), 1.0);
    EXPECT_NEAR(p.tableValue(MinimalBranchLength, 7, 3), 20 * 0.5 * (0.1 - 0.11 * 7.0 / 15.0), 1e-12);

    // Table mappings saturate and an unknown index changes nothing.
    const std::tuple<int, double, double, double> cases[] = {
        {StrandDistribution, 1, 1, 1.0},      {StrandDistribution, 1, 0.1, 0.5},
        {BranchingAngles, 0.5, 1, 180.0},     {BranchingAngles, 0.75, 1, 180.0},
        {GravimorphismImpact, 0, 1, -180.0},  {GravimorphismImpact, 0.25, 1, 0.0},
        {GravimorphismImpact, 0.5, 1, 180.0}, {GravimorphismImpact, 0.9, 1, 180.0}};
    for (const auto &[d, g, w, expected] : cases) {
        p.curveG(d) = {{0, g}, {1, g}};
        p.curveW(d) = {{0, w}, {1, w}};
        p.computeDistributionTable(d);
        EXPECT_DOUBLE_EQ(p.tableValue(d, 5, 5), expected) << d << ' ' << g << ' ' << w;
    }
    const TreeParameters before = p;
    p.curveG(StrandDistribution) = {{0, 0.6}, {1, 0.6}};
    p.computeDistributionTable(6);
    p.computeDistributionTable(-1);
    EXPECT_EQ(p.strandDistributionTable, before.strandDistributionTable);
}

TEST(SpeciesTrees, loadWithTheirLeafTypesAndAreStoredInTheProgramsOwnFormat)
{
    const std::pair<const char *, int> species[] = {{"grm5.tree.xml", STAGGERED},
                                                    {"Vrba Zalujka (Salix Babylonica).tree.xml", STACKED},
                                                    {"javorVelikZgorajGost.tree.xml", SPIRAL},
                                                    {"smrekaMini.tree.xml", CONIFEROUS},
                                                    {"manjseDefault100_vecjiListi.tree.xml", STAGGERED}};
    for (const auto &[file, leafType] : species) {
        SCOPED_TRACE(file);
        const std::string path = std::string(VERDALIS_SOURCE_DIR "/bin/zbirka-4/") + file;
        TreeParameters p;
        std::string reason;
        ASSERT_TRUE(p.loadFromFile(path, &reason)) << reason;
        EXPECT_EQ(std::pair(p.leafType, p.displayLeaves), std::pair(leafType, true));
        // Light enough to draw many of them in the ecosystem.
        EXPECT_TRUE(p.numberOfStrands >= 100 && p.numberOfStrands <= 5000) << p.numberOfStrands;
        for (const Krivulja &curve : p.curves)
            EXPECT_EQ(std::pair(curve.points().front().x, curve.points().back().x), std::pair(0.0, 1.0));
        EXPECT_EQ(TreeParameterFile::text(p), readBytes(path));
    }
}

// The default set's whole text is compared with data/default.tex by the command line's `tree latex`.
TEST(TreeLatexWriter, numbersLeafTypesAndCurvePointsAreWrittenAsDesignedAndPiecesGoThroughTheTranslator)
{
    // 1.2345 is 1.23449999... as a double but 1.23450005... as a float.
    const std::pair<double, const char *> cases[] = {
        {0.75, "0.75"},        {1000, "1000"},   {0.01, "0.01"},
        {1e4, "1e+04"},        {-180, "-180"},   {3.14159, "3.142"},
        {123456, "1.235e+05"}, {0, "0"},         {0.00012345, "0.0001234"},
        {-0.5, "-0.5"},        {1.2345, "1.235"}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(TreeLatexWriter::numberText(value, "C"), expected) << value;
    for (const auto &[locale, expected] : {std::pair("sl_SI", "2,5"), {"sl", "2.5"}, {"en_US", "2.5"}})
        EXPECT_EQ(TreeLatexWriter::numberText(2.5, locale), expected) << locale;

    // Slovenian text writes decimal commas in numbers only, curve points too; the command line's
    // `tree latex` checks them in the scalars.
    EXPECT_TRUE(contains(TreeLatexWriter("sl_SI").text(TreeParameters()), "(7,5,\\;\\;0,45)"));

    // Leaf types are named.
    const char *names[] = {"Spiral", "Stacked", "Staggered", "Bunched", "Coniferous", "", "", ""};
    const int types[] = {0, 1, 2, 3, 4, -1, 5, 99};
    TreeParameters p;
    for (int i = 0; i < 8; ++i) {
        p.leafType = types[i];
        EXPECT_TRUE(
            contains(TreeLatexWriter().text(p), std::string("$l_{type}=\\textit{") + names[i] + "}$, "))
            << types[i];
    }

    // Curve points use the designer units and one point has no separator.
    p.curveG(BranchingAngles) = {{0, 0.1}, {1, 0.25}, {1, 2.0}};
    p.curveG(StrandDistribution) = {{0, -3}, {0.2, 0.6}, {1, 2}};
    p.curveG(GravimorphismImpact) = {{0, -1}, {0.5, 0.25}, {1, 1}};
    p.curveW(MaximalBranchLength) = {{0, 0.3}, {0.02, 0.75}};
    p.curveG(BranchLengthScaling) = {{0, 0.123}, {1, 0.5}};
    p.curveW(BranchLengthScaling) = {{0.5, 0.5}};
    const std::string text = TreeLatexWriter().text(p);
    for (const char *piece :
         {"$\\alpha^g=\\left\\lbrace\\right.(0,\\;\\;18^\\circ)$,\n$(15,\\;\\;45^\\circ)$,\n"
          "$(15,\\;\\;180^\\circ)\\left.\\right\\rbrace $ and $\\alpha^w",
          "$k_s^g=\\left\\lbrace\\right.(0,\\;\\;0.5)$,\n$(3,\\;\\;0.8)$,\n$(15,\\;\\;1)",
          "$\\alpha_m^g=\\left\\lbrace\\right.(0,\\;\\;-180^\\circ)$,\n$(7.5,\\;\\;-90^\\circ)$,\n"
          "$(15,\\;\\;180^\\circ)\\left.\\right\\rbrace $",
          "$M^w =\\left\\lbrace\\right.(0,\\;\\;0.6)$,\n$(1,\\;\\;1.5)\\left.\\right\\rbrace $.",
          "$k_l^g=\\left\\lbrace\\right.(0,\\;\\;1.23)$,\n$(15,\\;\\;5)",
          "$k_l^w=\\left\\lbrace\\right.(25,\\;\\;1)\\left.\\right\\rbrace $.\n\n"})
        EXPECT_TRUE(contains(text, piece)) << piece;

    std::vector<std::string> asked;
    const Translator translator = [&](const char *english) {
        asked.emplace_back(english);
        return std::string("<") + english + ">";
    };
    const std::string translated = TreeLatexWriter("C", translator).text(TreeParameters());
    for (const char *piece :
         {"<To model the tree we have chosen following scalar parameters: >\n", "$k_f=1$ < and >$l_{LOD}=0$.",
          "<Branch distribution> $k_s^{g,w}$ <is determined for all orders> ($g,w$),\n",
          "<Gravimorphism impact,> $\\alpha_m^{g,w}$<, is determined for all orders>\n",
          "Values> $k_s^{g}$ in $k_s^{w}$\n", "%\\begin{document}\n",
          "\\textit{Spiral}"}) // the last two not translated
        EXPECT_TRUE(contains(translated, piece)) << piece;
    // The introduction, " and " on the type line, six pieces in each of the first two paragraphs,
    // three in each of the other four, and one " and " per paragraph.
    EXPECT_EQ(asked.size(), 1u + 1u + 6u + 6u + 4u * 3u + 6u);
}
