#include "core/tempfolder.h"
#include "core/vectornear.h"
#include "recordingsink.h"

#include <sstream>
#include <string>
#include <vector>

using lignet::TreeParameters;
using lignet::TreeRenderer;
using lignet::VertexExporter;
using math::Vector3f;

namespace {

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
        return testsupport::readBytes(folder.file("tree.crs"));
    }

    std::vector<Record> exportRecords(TreeRenderer &tree)
    {
        std::vector<Record> records;
        for (const std::string &line : testsupport::split(exportText(tree))) {
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

    testsupport::TempFolder folder;
};

} // namespace

TEST_F(VertexExport, singleStrandTreeWithOneLeafIsWrittenExactly)
{
    TreeRenderer tree(twig(lignet::SPIRAL, 1, 0.1f));
    // Quads bottom[i + 1], top[i + 1], top[i], bottom[i] of the corners (+-0.01, 0, +-0.01) at 0,
    // 90, 180 and 270 degrees; the top ring of radius 0 sits on the axis. The leaf square lies at
    // (0, 5, 0.1) with corners 0.1 away; a quarter turn in float leaves a rounding residue, written
    // in exponent form.
    EXPECT_EQ(exportText(tree), "B 0\n"
                                "0.01 0 -0.01\n0 5 0\n0 5 0\n0.01 0 0.01\n"
                                "-0.01 0 -0.01\n0 5 0\n0 5 0\n0.01 0 -0.01\n"
                                "-0.01 0 0.01\n0 5 0\n0 5 0\n-0.01 0 -0.01\n"
                                "0.01 0 0.01\n0 5 0\n0 5 0\n-0.01 0 0.01\n"
                                "L 0\n"
                                "0.1 5 0.1\n-4.37114e-09 5 0\n-0.1 5 0.1\n1.19249e-09 5 0.2\n");
    // A base frame moves the coordinates of one export only.
    tree.vertexExporter().setBaseFrame(math::Mat4::translation(10.0f, 0.0f, 0.0f));
    EXPECT_EQ(exportText(tree).rfind("B 0\n10.01 0 -0.01\n10 5 0\n10 5 0\n10.01 0 0.01\n", 0), 0u);
    EXPECT_EQ(tree.vertexExporter().baseFrame(), math::Mat4());
    EXPECT_EQ(exportText(tree).rfind("B 0\n0.01 0 -0.01\n", 0), 0u);
}

// Record and point counts of every option are checked on the command line's `tree vertices`.
TEST_F(VertexExport, highQualitySegmentsHaveSixteenQuadsAtTheirFrameCorners)
{
    TreeRenderer single(withStrands(1));
    single.settings().highQuality = true;
    const auto frame = draw(single).segments[0].frame;
    const auto records = exportRecords(single);
    ASSERT_EQ(records.at(0).points.size(), 64u);
    for (int i = 0; i < 16; ++i)
        expectNear(corner(records[0], i, false),
                   VertexExporter::cornerPoint(frame, 0, 0.01f, 0.01f, static_cast<float>(i) * 22.5f));
    // cornerPoint: up by h, turned about +y, out by (x, 0, z).
    expectNear(VertexExporter::cornerPoint(math::Mat4(), 2.0f, 1.0f, 0.0f, 90.0f), {0, 2, -1});
}

TEST_F(VertexExport, aMajorContinuationReusesItsParentsTopRingShiftedByAQuarter)
{
    for (bool high : {false, true}) {
        TreeParameters p = withStrands(3); // root of 3 strands, its major continuation keeps 2
        p.displayLeaves = false;
        TreeRenderer tree(p);
        tree.settings().highQuality = high;
        const auto records = exportRecords(tree);
        ASSERT_EQ(records.size(), 5u); // root, its minor, its major, whose two single strands follow
        const Record &root = records[0], &minor = records[1], &major = records[2];
        EXPECT_EQ(std::tuple(root.id, minor.id, major.id), std::tuple(0, 1, 0));
        const int count = high ? 16 : 4;
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(corner(major, i, false), corner(root, (i + count / 4) % count, true)) << i;
        EXPECT_NE(corner(minor, 0, false), corner(root, 1, true)); // a minor subbranch starts its own ring
    }
}

TEST_F(VertexExport, onlyTheNextDrawingIsWrittenUnderTheLastNameAndAFailureIsReportedOnce)
{
    TreeRenderer tree(withStrands(5));
    testsupport::writeBytes(folder.file("second.crs"), std::string(100000, 'x')); // truncated
    tree.requestVertexExport(folder.file("first.crs"));
    tree.requestVertexExport(folder.file("second.crs"));
    EXPECT_EQ(tree.exportFileName(), folder.file("second.crs"));
    draw(tree);
    EXPECT_EQ(folder.entryCount(), 1u);
    const std::string written = testsupport::readBytes(folder.file("second.crs"));
    EXPECT_EQ(written.rfind("B 0\n", 0), 0u);
    EXPECT_EQ(written.find('x'), std::string::npos);
    tree.designedParameters().numberOfStrands = 50;
    draw(tree);
    EXPECT_EQ(testsupport::readBytes(folder.file("second.crs")), written);

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
