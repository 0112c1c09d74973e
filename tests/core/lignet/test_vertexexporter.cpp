#include "lignet/treerenderer.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

using lignet::TreeParameters;
using lignet::TreeRenderer;
using lignet::VertexExporter;
using math::Vector3f;

namespace {

std::filesystem::path tempFile(const std::string &name)
{
    return std::filesystem::temp_directory_path() /
           ("verdalis_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" + name);
}

std::vector<std::string> readLines(const std::filesystem::path &path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct Record {
    char kind = 0;
    int id = 0;
    std::vector<Vector3f> points;
};

std::vector<Record> parseRecords(const std::vector<std::string> &lines)
{
    std::vector<Record> records;
    for (const auto &line : lines) {
        if (line.size() > 2 && (line[0] == 'B' || line[0] == 'L') && line[1] == ' ') {
            records.push_back({line[0], std::stoi(line.substr(2)), {}});
            continue;
        }
        std::istringstream in(line);
        Vector3f p;
        in >> p.x >> p.y >> p.z;
        EXPECT_TRUE(in && in.eof()) << "not a point line: '" << line << "'";
        EXPECT_FALSE(records.empty());
        if (!records.empty())
            records.back().points.push_back(p);
    }
    return records;
}

// Quad i of a segment record lists bottom[i + 1], top[i + 1], top[i], bottom[i].
Vector3f bottomCorner(const Record &r, int i)
{
    return r.points[static_cast<std::size_t>(4 * i + 3)];
}
Vector3f topCorner(const Record &r, int i)
{
    return r.points[static_cast<std::size_t>(4 * i + 2)];
}

void expectNear(const Vector3f &a, const Vector3f &b, float tolerance = 2e-5f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

std::vector<std::string> exportTree(TreeRenderer &tree, const std::string &name)
{
    const auto path = tempFile(name);
    tree.requestVertexExport(path.string());
    RecordingSink sink;
    tree.drawTree(sink);
    EXPECT_EQ(tree.exportError(), "");
    auto lines = readLines(path);
    std::filesystem::remove(path);
    return lines;
}

} // namespace

TEST(VertexExport, singleStrandTreeWritesOneSegmentWithIdZeroThenItsLeaves)
{
    TreeParameters p;
    p.numberOfStrands = 1;
    p.phyllotaxisAngle = 0.0;
    TreeRenderer tree(p);
    const auto lines = exportTree(tree, "single.crs");
    ASSERT_EQ(lines.size(), 17u + 5u * 5u);
    EXPECT_EQ(lines[0], "B 0");
    // The first bottom corner, bottom[0], at (rb, 0, rb) with rb = 0.01.
    EXPECT_EQ(lines[4], "0.01 0 0.01");
    for (int leaf = 0; leaf < 5; ++leaf)
        EXPECT_EQ(lines[17 + 5 * leaf], "L 0");
    // Top radius 0: the top ring collapses onto the axis at the segment's top.
    EXPECT_EQ(lines[2], "0 5 0");
    EXPECT_FALSE(tree.vertexExporter().armed());
}

TEST(VertexExport, segmentsWriteFourQuadsOrSixteenInHighQuality)
{
    for (bool high : {false, true}) {
        TreeParameters p;
        p.numberOfStrands = 40;
        p.displayLeaves = false;
        TreeRenderer tree(p);
        tree.settings().highQuality = high;
        RecordingSink counted;
        tree.drawTree(counted);
        const auto records = parseRecords(exportTree(tree, "quality.crs"));
        ASSERT_EQ(records.size(), counted.segments.size());
        for (const auto &r : records) {
            EXPECT_EQ(r.kind, 'B');
            EXPECT_EQ(r.points.size(), high ? 64u : 16u);
        }
        EXPECT_EQ(tree.vertexExporter().ringSize(), high ? 16 : 4);
    }
}

TEST(VertexExport, cornersLieAtFortyFiveDegreesAroundTheSegmentFrame)
{
    TreeParameters p;
    p.numberOfStrands = 1;
    TreeRenderer tree(p);
    tree.settings().highQuality = true;
    RecordingSink sink;
    const auto records = parseRecords(exportTree(tree, "corners.crs"));
    tree.drawTree(sink);
    ASSERT_FALSE(records.empty());
    const auto &frame = sink.segments[0].frame;
    const float rb = 0.01f;
    for (int i = 0; i < 16; ++i) {
        const Vector3f expected =
            VertexExporter::cornerPoint(frame, 0, rb, rb, static_cast<float>(i) * 22.5f);
        expectNear(bottomCorner(records[0], i), expected);
    }
    expectNear(bottomCorner(records[0], 0), frame.transformPoint({rb, 0, rb}));
    // cornerPoint: up by h, turned about +y, out by (x, 0, z).
    const auto quarter = VertexExporter::cornerPoint(math::Mat4(), 2.0f, 1.0f, 0.0f, 90.0f);
    expectNear(quarter, {0, 2, -1}, 1e-6f);
}

TEST(VertexExport, aMajorContinuationReusesItsParentsTopRingShiftedByAQuarter)
{
    for (bool high : {false, true}) {
        TreeParameters p;
        p.numberOfStrands = 3; // root of 3 strands, its major continuation keeps 2
        p.displayLeaves = false;
        TreeRenderer tree(p);
        tree.settings().highQuality = high;
        const auto records = parseRecords(exportTree(tree, "rings.crs"));
        ASSERT_EQ(records.size(), 5u); // root, its minor, its major, whose two single strands follow
        const Record &root = records[0];
        const Record &minor = records[1];
        const Record &major = records[2];
        EXPECT_EQ(root.id, 0);
        EXPECT_EQ(minor.id, 1);
        EXPECT_EQ(major.id, 0);
        const int count = high ? 16 : 4;
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(bottomCorner(major, i), topCorner(root, (i + count / 4) % count)) << i;
        // A minor subbranch starts a ring of its own.
        EXPECT_NE(bottomCorner(minor, 0), topCorner(root, 1));
    }
}

TEST(VertexExport, wireframeAndHiddenLeavesWriteNoLeafRecords)
{
    TreeParameters p;
    p.numberOfStrands = 30;
    {
        TreeRenderer tree(p);
        tree.settings().wireframe = true;
        for (const auto &r : parseRecords(exportTree(tree, "wire.crs")))
            EXPECT_EQ(r.kind, 'B');
    }
    {
        p.displayLeaves = false;
        TreeRenderer tree(p);
        const auto records = parseRecords(exportTree(tree, "hidden.crs"));
        EXPECT_FALSE(records.empty());
        for (const auto &r : records)
            EXPECT_EQ(r.kind, 'B');
    }
    {
        p.displayLeaves = true;
        TreeRenderer tree(p);
        RecordingSink sink;
        tree.drawTree(sink);
        int leaves = 0;
        for (const auto &r : parseRecords(exportTree(tree, "leaves.crs")))
            if (r.kind == 'L') {
                ++leaves;
                EXPECT_EQ(r.points.size(), 4u);
            }
        EXPECT_EQ(leaves, static_cast<int>(sink.leaves.size()));
    }
}

TEST(VertexExport, leafRecordsHoldTheFourCornersOfTheLeafSquare)
{
    TreeParameters p;
    p.numberOfStrands = 1;
    p.leafDensity = 1;
    TreeRenderer tree(p);
    const auto records = parseRecords(exportTree(tree, "leaf.crs"));
    RecordingSink sink;
    tree.drawTree(sink);
    ASSERT_EQ(records.size(), 2u);
    ASSERT_EQ(sink.leaves.size(), 1u);
    const auto &frame = sink.leaves[0].frame;
    const float s = p.leafSize;
    expectNear(records[1].points[0], frame.transformPoint({s, 0, 0}));
    expectNear(records[1].points[1], frame.transformPoint({0, 0, -s}));
    expectNear(records[1].points[2], frame.transformPoint({-s, 0, 0}));
    expectNear(records[1].points[3], frame.transformPoint({0, 0, s}));
}

TEST(VertexExport, anUnwritableFileIsReportedAndTheDrawingGoesOn)
{
    TreeParameters p;
    p.numberOfStrands = 20;
    TreeRenderer tree(p);
    const auto missingDir = tempFile("no_such_dir") / "tree.crs";
    tree.requestVertexExport(missingDir.string());
    RecordingSink sink;
    tree.drawTree(sink);
    EXPECT_NE(tree.exportError().find("could not open"), std::string::npos);
    // Taken once, for the one report to the user.
    EXPECT_NE(tree.takeExportError().find("tree.crs"), std::string::npos);
    EXPECT_EQ(tree.exportError(), "");
    EXPECT_FALSE(sink.segments.empty());
    EXPECT_FALSE(tree.vertexExporter().armed());
    EXPECT_FALSE(std::filesystem::exists(missingDir));

    // The next request succeeds and clears the error.
    exportTree(tree, "after_error.crs");
}

TEST(VertexExport, thePreviousFileStaysUntilTheDrawingHasWrittenTheNewOneWhole)
{
    // Reads the target while the tree is still being drawn.
    struct PeekingSink : RecordingSink {
        std::filesystem::path target;
        std::string seen;
        void endTree() override
        {
            std::ifstream in(target);
            seen.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    };
    TreeParameters p;
    p.numberOfStrands = 20;
    TreeRenderer tree(p);
    PeekingSink sink;
    sink.target = tempFile("replaced.crs");
    std::ofstream(sink.target) << "old\n";
    tree.requestVertexExport(sink.target.string());
    tree.drawTree(sink);
    EXPECT_EQ(sink.seen, "old\n");
    EXPECT_EQ(tree.takeExportError(), "");
    std::ifstream in(sink.target);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "B 0");
}

TEST(VertexExport, onlyTheNextDrawingIsWrittenAndASecondRequestReplacesTheName)
{
    TreeParameters p;
    p.numberOfStrands = 5;
    TreeRenderer tree(p);
    const auto first = tempFile("first.crs");
    const auto second = tempFile("second.crs");
    tree.requestVertexExport(first.string());
    tree.requestVertexExport(second.string());
    EXPECT_EQ(tree.exportFileName(), second.string());
    RecordingSink sink;
    tree.drawTree(sink);
    EXPECT_FALSE(std::filesystem::exists(first));
    ASSERT_TRUE(std::filesystem::exists(second));
    const auto size = std::filesystem::file_size(second);
    EXPECT_GT(size, 0u);
    tree.designedParameters().numberOfStrands = 50;
    tree.drawTree(sink);
    EXPECT_EQ(std::filesystem::file_size(second), size);
    std::filesystem::remove(second);
}

TEST(VertexExport, anExistingFileIsTruncated)
{
    const auto path = tempFile("truncate.crs");
    {
        std::ofstream out(path);
        out << std::string(100000, 'x');
    }
    TreeParameters p;
    p.numberOfStrands = 1;
    p.displayLeaves = false;
    TreeRenderer tree(p);
    tree.requestVertexExport(path.string());
    RecordingSink sink;
    tree.drawTree(sink);
    EXPECT_EQ(readLines(path).size(), 17u);
    std::filesystem::remove(path);
}

TEST(VertexExport, aBaseFrameMovesTheWrittenCoordinatesForOneExportOnly)
{
    TreeParameters p;
    p.numberOfStrands = 1;
    p.phyllotaxisAngle = 0.0;
    TreeRenderer tree(p);
    tree.vertexExporter().setBaseFrame(math::Mat4::translation(10.0f, 0.0f, 0.0f));
    const auto moved = exportTree(tree, "moved.crs");
    ASSERT_GT(moved.size(), 4u);
    EXPECT_EQ(moved[4], "10.01 0 0.01");
    EXPECT_EQ(tree.vertexExporter().baseFrame(), math::Mat4());
    const auto plain = exportTree(tree, "plain.crs");
    EXPECT_EQ(plain[4], "0.01 0 0.01");
}

TEST(VertexExport, fileTextOfASingleStrandTreeWithOneLeaf)
{
    TreeParameters p;
    p.numberOfStrands = 1;
    p.phyllotaxisAngle = 0.0;
    p.leafDensity = 1;
    TreeRenderer tree(p);
    std::string text;
    for (const auto &line : exportTree(tree, "exact.crs"))
        text += line + "\n";
    // Quads bottom[i + 1], top[i + 1], top[i], bottom[i] of the corners (+-0.01, 0, +-0.01) at 0,
    // 90, 180 and 270 degrees; the top ring of radius 0 sits on the axis. The leaf square lies at
    // (0, 5, 0.1) with corners 0.1 away; a quarter turn in float leaves a rounding residue, written
    // in exponent form.
    EXPECT_EQ(text, "B 0\n"
                    "0.01 0 -0.01\n0 5 0\n0 5 0\n0.01 0 0.01\n"
                    "-0.01 0 -0.01\n0 5 0\n0 5 0\n0.01 0 -0.01\n"
                    "-0.01 0 0.01\n0 5 0\n0 5 0\n-0.01 0 -0.01\n"
                    "0.01 0 0.01\n0 5 0\n0 5 0\n-0.01 0 0.01\n"
                    "L 0\n"
                    "0.1 5 0.1\n-4.37114e-09 5 0\n-0.1 5 0.1\n1.19249e-09 5 0.2\n");
}
