#include "core/tempfolder.h"
#include "lignet/treeparameterfile.h"

#include <gtest/gtest.h>

#include <sstream>

using lignet::TreeParameterFile;
using lignet::TreeParameters;
using testsupport::readBytes;
using testsupport::TempFolder;
using testsupport::writeBytes;

namespace {

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
    p.leafType = lignet::CONIFEROUS;
    p.curveG(lignet::BranchingAngles) = {{0, 0.1}, {0.3, 0.4}, {1, -0.2}};
    p.curveW(lignet::GravimorphismImpact) = {{0, 1e-07}, {1, 123456}};
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

// The default file with field `field` (from 0) of its scalar line replaced by `token`.
std::string withScalar(std::size_t field, const std::string &token)
{
    auto fields = testsupport::split(scalars.substr(0, scalars.size() - 1), '\t');
    fields.at(field) = token;
    std::string line;
    for (const std::string &f : fields)
        line += f + (&f == &fields.back() ? "\n" : "\t");
    return replaced(goldenDefaultText(), scalars, line);
}

std::string withFirstCurve(const std::string &block)
{
    return replaced(goldenDefaultText(), paths + scalars + firstCurve, paths + scalars + block);
}

} // namespace

TEST(TreeParameterFile, numbersUseGeneralFormatWithSixSignificantDigits)
{
    TreeParameters p;
    p.trunkHeight = 5.1234567;
    p.phyllotaxisAngle = 0.00001;
    p.gravicentralism = 1234567.0;
    p.windSpeed = -2.5;
    const std::string text = TreeParameterFile::text(p);
    EXPECT_NE(text.find("1000\t5.12346\t0.01\t1e-05\t1.23457e+06\t1\t0.1\t5\t-2.5\t0\n"), std::string::npos)
        << text;
    TreeParameters back;
    ASSERT_TRUE(TreeParameterFile::parse(text, back));
    EXPECT_DOUBLE_EQ(back.trunkHeight, 5.12346);
    EXPECT_DOUBLE_EQ(back.gravicentralism, 1234570.0);
}

// The command line's `tree save -` compares the written text alone with the golden text.
TEST(TreeParameterFile, defaultSetIsWrittenAsTheGoldenTextOverALongerFileAndARoundTripRestoresEveryField)
{
    TempFolder folder;
    const std::string path = folder.file("tree.tree.xml");
    writeBytes(path, std::string(5000, 'x'));
    ASSERT_TRUE(TreeParameters().saveToFile(path));
    EXPECT_EQ(readBytes(path), goldenDefaultText());
    EXPECT_EQ(folder.entryCount(), 1u);

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

TEST(TreeParameterFile, readingRecomputesTheTablesAndTakesAnyWhiteSpace)
{
    TreeParameters p;
    // Branching-angle G curve at 0.5 everywhere: angles of 90 degrees.
    ASSERT_TRUE(TreeParameterFile::parse(
        replaced(goldenDefaultText(), "2\t\n0\t0.25\n1\t0.25\n", "2\t\n0\t0.5\n1\t0.5\n"), p));
    EXPECT_DOUBLE_EQ(p.tableValue(lignet::BranchingAngles, 4, 20), 90.0);

    // The point count alone decides how many pairs are read, wherever the lines break.
    std::string reason;
    ASSERT_TRUE(TreeParameterFile::parse(withFirstCurve("3 0 0.5\n\n\n0.4   0.6\t1\n0.8\n"), p, &reason))
        << reason;
    EXPECT_EQ(p.curveG(lignet::StrandDistribution), (lignet::Krivulja{{0, 0.5}, {0.4, 0.6}, {1, 0.8}}));
    EXPECT_EQ(p.curveW(lignet::StrandDistribution), TreeParameters::defaultCurveW(0));

    const std::string longest(254, 'p');
    ASSERT_TRUE(TreeParameterFile::parse(longest + "\n" + goldenDefaultText().substr(24), p));
    EXPECT_EQ(p.barkTexturePath, longest);
}

TEST(TreeParameterFile, damagedFileIsRefusedWholeWithTheLineNamed)
{
    const std::string golden = goldenDefaultText();
    TreeParameters huge; // both maximal branch length curves at 1e300: each finite, their product not
    huge.curveG(lignet::MaximalBranchLength) =
        huge.curveW(lignet::MaximalBranchLength) = {{0, 1e300}, {1, 1e300}};
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
        {withScalar(1, "five"), "line 3: expected the trunk height (a number), found \"five\""},
        {withScalar(2, "0.01x"),
         "line 3: expected the branch thickness per strand (a number), found \"0.01x\""},
        {withScalar(0, "1000.5"),
         "line 3: expected the number of strands (a whole number), found \"1000.5\""},
        {withScalar(0, "99999999999"), "line 3: expected the number of strands (a whole number)"},
        {withScalar(7, "-5"), "line 3: the leaf density must lie between 0 and"},
        {withScalar(5, "2"), "line 3: expected the display-leaves flag (0 or 1), found \"2\""},
        {withScalar(5, "true"), "line 3: expected the display-leaves flag (0 or 1), found \"true\""},
        {withScalar(3, "nan"), "line 3: expected the phyllotaxis angle (a finite number), found \"nan\""},
        {withScalar(4, "-inf"), "line 3: expected the gravicentralism (a finite number), found \"-inf\""},
        // Bytes of a binary file are shown escaped and shortened, never sent raw to a terminal.
        {withScalar(1, "\x1b[2J\x01\\\xff\xfe" + std::string(40, 'x')),
         "line 3: expected the trunk height (a number), found \"\\x1b[2J\\x01\\x5c\\xff\\xfe" +
             std::string(16, 'x') + "...\""},
        {withScalar(1, "1e999"), "line 3: expected the trunk height (a number), found \"1e999\""},
        {withScalar(6, "1e300"), "line 3: the leaf size is too large"},
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
    infinite.curveW(lignet::BranchLengthScaling)[1].y = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(infinite.saveToFile(path, &reason));
    std::ostringstream out;
    EXPECT_FALSE(TreeParameterFile::write(out, infinite));
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(readBytes(path), "the previous design\n");
    EXPECT_EQ(folder.entryCount(), 1u);
}
