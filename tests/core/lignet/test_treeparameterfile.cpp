// Tree parameter files, curves and tables, the species trees and the LaTeX writer.
#include "core/tempfolder.h"
#include "lignet/treelatexwriter.h"
#include "lignet/treeparameterfile.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace treetest;
using namespace testsupport;

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
    p.leafType = CONIFEROUS;
    p.curveG(BranchingAngles) = {{0, 0.1}, {0.3, 0.4}, {1, -0.2}};
    p.curveW(GravimorphismImpact) = {{0, 1e-07}, {1, 123456}};
    p.computeAllDistributionTables();
    return p;
}

const std::string paths = ":/gui/textures/bark.jpg\n:/gui/textures/leaf.png\n";
const std::string scalars = "1000\t5\t0.01\t85\t0.3\t1\t0.1\t5\t1.5\t0\n";
const std::string firstCurve = "2\t\n0\t0.5\n1\t0.8\n\n";

// The golden text with another block for the first curve, which follows the paths and the scalars.
std::string withFirstCurve(const std::string &block)
{
    return paths + scalars + block + goldenDefaultText().substr((paths + scalars + firstCurve).size());
}

} // namespace

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
    const std::string countRange =
        "line 4: the number of points of the G curve of the strand distribution must lie between 2 and";
    // The content and the start of the expected reason.
    const std::pair<std::string, std::string> damaged[] = {
        {"", "line 1: expected the bark texture path, found the end of the file"},
        {std::string(255, 'a') + "\n" + golden.substr(24),
         "line 1: the bark texture path is longer than 254 characters"},
        {":/gui/tex\rtures/bark.jpg\n" + golden.substr(24),
         "line 1: the bark texture path contains a carriage return"},
        {scalar(2, "0.01x"), "line 3: expected the branch thickness per strand (a number), found \"0.01x\""},
        {scalar(0, "1000.5"), "line 3: expected the number of strands (a whole number), found \"1000.5\""},
        {scalar(0, "99999999999"), "line 3: expected the number of strands (a whole number)"},
        {scalar(7, "-5"), "line 3: the leaf density must lie between 0 and"},
        {scalar(5, "2"), "line 3: expected the display-leaves flag (0 or 1), found \"2\""},
        {scalar(3, "nan"), "line 3: expected the phyllotaxis angle (a finite number), found \"nan\""},
        // Bytes of a binary file are shown escaped and shortened, never sent raw to a terminal.
        {scalar(1, "\x1b[2J\x01\\\xff\xfe" + std::string(40, 'x')),
         "line 3: expected the trunk height (a number), found \"\\x1b[2J\\x01\\x5c\\xff\\xfe" +
             std::string(16, 'x') + "...\""},
        {scalar(1, "1e999"), "line 3: expected the trunk height (a number), found \"1e999\""},
        {scalar(6, "1e300"), "line 3: the leaf size is too large"},
        {paths + "1000\t5\t0.01\t85\n",
         "line 4: expected the gravicentralism (a number), found the end of the file"},
        {withFirstCurve("1\t\n0\t0.5\n\n"), countRange + " 100000, found 1"},
        {withFirstCurve("100001\t\n0\t0.5\n1\t0.8\n\n"), countRange + " 100000, found 100001"},
        {withFirstCurve("2\t\n0\t0.5\n1\t0,8\n\n"),
         "line 6: expected y of point 2 of the G curve of the strand distribution (a number), found \"0,8\""},
        {golden.substr(0, golden.size() - 6), "line 51: expected y of point 2 of the W curve of the "
                                              "gravimorphism impact (a number), found the end"},
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
        EXPECT_EQ(p, before);
        writeBytes(file, content);
        EXPECT_FALSE(p.loadFromFile(file, &reason));
        EXPECT_NE(reason.find(expected), std::string::npos) << reason;
        EXPECT_EQ(p, before);
    }
}

TEST(TreeParameterFileSave, missingFilesAndSetsWithANonFiniteValueReportWhyAndChangeNothing)
{
    TempFolder folder;
    TreeParameters p = unusualSet();
    std::string reason;
    EXPECT_FALSE(p.loadFromFile(folder.file("absent.tree.xml"), &reason));
    EXPECT_NE(reason.find("cannot open"), std::string::npos) << reason;
    EXPECT_FALSE(p.loadFromFile(folder.path().string(), &reason));
    EXPECT_NE(reason.find("it is a folder"), std::string::npos) << reason;
    EXPECT_EQ(p, unusualSet());

    // A set holding a non-finite value is not written at all.
    const std::string path = folder.file("tree.tree.xml");
    writeBytes(path, "the previous design\n");
    TreeParameters infinite;
    infinite.curveW(BranchLengthScaling)[1].y = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(infinite.saveToFile(path, &reason));
    EXPECT_EQ(std::tuple(readBytes(path), folder.entryCount()), std::tuple("the previous design\n", 1u));
}

TEST(Krivulja, valuesTakeTheSegmentToTheRightOfAPointAndGiveTheDefaultTablesAndTheMappingsSaturate)
{
    const Krivulja step{{0, 0}, {0.5, 0}, {0.5, 1}, {1, 1}};
    EXPECT_EQ(std::tuple(step.valueAt(0.4999999), step.valueAt(0.5), step.valueAt(0.75)),
              std::tuple(0.0, 1.0, 1.0));
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
    const std::tuple<int, double, double, double> cases[] = {{StrandDistribution, 1, 1, 1.0},
                                                             {StrandDistribution, 1, 0.1, 0.5},
                                                             {BranchingAngles, 0.75, 1, 180.0},
                                                             {GravimorphismImpact, 0, 1, -180.0},
                                                             {GravimorphismImpact, 0.9, 1, 180.0}};
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
                                                    {"smrekaMini.tree.xml", CONIFEROUS}};
    for (const auto &[file, leafType] : species) {
        SCOPED_TRACE(file);
        const std::string path = std::string(VERDALIS_SOURCE_DIR "/bin/zbirka-4/") + file;
        TreeParameters p;
        std::string reason;
        ASSERT_TRUE(p.loadFromFile(path, &reason)) << reason;
        EXPECT_EQ(std::pair(p.leafType, p.displayLeaves), std::pair(leafType, true));
        // Light enough to draw many of them in the ecosystem.
        EXPECT_TRUE(p.numberOfStrands >= 100 && p.numberOfStrands <= 5000) << p.numberOfStrands;
        EXPECT_EQ(TreeParameterFile::text(p), readBytes(path));
    }
}

// The default set's whole text is compared with data/default.tex by the command line's `tree latex`.
TEST(TreeLatexWriter, numbersLeafTypesAndCurvePointsAreWrittenAsDesignedAndPiecesGoThroughTheTranslator)
{
    // 1.2345 is 1.23449999... as a double but 1.23450005... as a float.
    const std::pair<double, const char *> cases[] = {
        {0.75, "0.75"}, {1000, "1000"},   {1e4, "1e+04"}, {3.14159, "3.142"}, {0.00012345, "0.0001234"},
        {-0.5, "-0.5"}, {1.2345, "1.235"}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(TreeLatexWriter::numberText(value, "C"), expected) << value;
    for (const auto &[locale, expected] : {std::pair("sl_SI", "2,5"), {"sl", "2.5"}})
        EXPECT_EQ(TreeLatexWriter::numberText(2.5, locale), expected) << locale;

    // Slovenian text writes decimal commas in numbers only, curve points too; the command line's
    // `tree latex` checks them in the scalars.
    EXPECT_NE(TreeLatexWriter("sl_SI").text(TreeParameters()).find("(7,5,\\;\\;0,45)"), std::string::npos);

    // Leaf types are named; an unknown one is left empty.
    TreeParameters p;
    for (const auto &[type, name] :
         {std::pair<int, const char *>{STACKED, "Stacked"}, {CONIFEROUS, "Coniferous"}, {-1, ""}, {5, ""}}) {
        p.leafType = type;
        const std::string line = std::string("$l_{type}=\\textit{") + name + "}$, ";
        EXPECT_NE(TreeLatexWriter().text(p).find(line), std::string::npos) << type;
    }

    // Curve points in the designer units saturate, and one point has no separator; the units of every
    // curve are in the golden text of the default set.
    p.curveG(BranchingAngles) = {{0, 0.1}, {1, 0.25}, {1, 2.0}};
    p.curveG(StrandDistribution) = {{0, -3}, {0.2, 0.6}, {1, 2}};
    p.curveG(GravimorphismImpact) = {{0, -1}, {0.5, 0.25}, {1, 1}};
    p.curveW(BranchLengthScaling) = {{0.5, 0.5}};
    const std::string text = TreeLatexWriter().text(p);
    for (const char *piece :
         {"$\\alpha^g=\\left\\lbrace\\right.(0,\\;\\;18^\\circ)$,\n$(15,\\;\\;45^\\circ)$,\n"
          "$(15,\\;\\;180^\\circ)\\left.\\right\\rbrace $ and $\\alpha^w",
          "$k_s^g=\\left\\lbrace\\right.(0,\\;\\;0.5)$,\n$(3,\\;\\;0.8)$,\n$(15,\\;\\;1)",
          "$\\alpha_m^g=\\left\\lbrace\\right.(0,\\;\\;-180^\\circ)$,\n$(7.5,\\;\\;-90^\\circ)$,\n"
          "$(15,\\;\\;180^\\circ)\\left.\\right\\rbrace $",
          "$k_l^w=\\left\\lbrace\\right.(25,\\;\\;1)\\left.\\right\\rbrace $.\n\n"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece;

    std::vector<std::string> asked;
    const Translator translator = [&](const char *english) {
        asked.emplace_back(english);
        return std::string("<") + english + ">";
    };
    const std::string translated = TreeLatexWriter("C", translator).text(TreeParameters());
    for (const char *piece :
         {"<To model the tree we have chosen following scalar parameters: >\n", "$k_f=1$ < and >$l_{LOD}=0$.",
          "<Branch distribution> $k_s^{g,w}$ <is determined for all orders> ($g,w$),\n",
          "%\\begin{document}\n", "\\textit{Spiral}"}) // the last two not translated
        EXPECT_NE(translated.find(piece), std::string::npos) << piece;
    // The introduction, " and " on the type line, six pieces in each of the first two paragraphs,
    // three in each of the other four, and one " and " per paragraph.
    EXPECT_EQ(asked.size(), 1u + 1u + 6u + 6u + 4u * 3u + 6u);
}
