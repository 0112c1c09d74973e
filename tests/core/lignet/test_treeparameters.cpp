#include "core/tempfolder.h"
#include "lignet/treeparameterfile.h"

#include <gtest/gtest.h>

using lignet::Krivulja;
using lignet::TreeParameters;

TEST(Krivulja, valueAtTakesTheSegmentToTheRightOfAPointAndExtrapolatesTheFirstBeyondTheLast)
{
    const Krivulja step{{0, 0}, {0.5, 0}, {0.5, 1}, {1, 1}};
    EXPECT_EQ(std::tuple(step.valueAt(0.4999999), step.valueAt(0.5), step.valueAt(0.75)),
              std::tuple(0.0, 1.0, 1.0));
    const Krivulja dip{{0, 0.1}, {0.5, 0.045}, {1, 0.1}};
    EXPECT_DOUBLE_EQ(dip.valueAt(0.5), 0.045);
    EXPECT_DOUBLE_EQ(dip.valueAt(0.25), 0.1 + (0.045 - 0.1) / 0.5 * 0.25);
    EXPECT_DOUBLE_EQ(Krivulja({{0, 0}, {0.5, 0.5}, {0.6, 1.0}}).valueAt(0.8), 0.8);
}

TEST(TreeParameters, defaultCurvesGiveTheDocumentedTablesAndTheMappingsSaturate)
{
    TreeParameters p;
    for (int g = 0; g < lignet::TableOrdersG; ++g)
        for (int w = 0; w < lignet::TableOrdersW; ++w) {
            EXPECT_DOUBLE_EQ(p.tableValue(lignet::BranchingAngles, g, w), 45.0);
            EXPECT_DOUBLE_EQ(p.tableValue(lignet::GravimorphismImpact, g, w), 0.0);
            EXPECT_DOUBLE_EQ(p.tableValue(lignet::MaximalBranchLength, g, w), 1.0);
            EXPECT_DOUBLE_EQ(p.tableValue(lignet::BranchLengthScaling, g, w), 1.0);
        }
    EXPECT_DOUBLE_EQ(p.tableValue(lignet::StrandDistribution, 0, 17), 0.75);
    EXPECT_NEAR(p.tableValue(lignet::StrandDistribution, 14, 33), 0.89, 1e-12);
    EXPECT_DOUBLE_EQ(p.tableValue(lignet::MinimalBranchLength, 0, 0), 1.0);
    EXPECT_NEAR(p.tableValue(lignet::MinimalBranchLength, 7, 3), 20 * 0.5 * (0.1 - 0.11 * 7.0 / 15.0), 1e-12);

    // Table mappings saturate and an unknown index changes nothing.
    const std::tuple<int, double, double, double> cases[] = {
        {lignet::StrandDistribution, 1, 1, 1.0},      {lignet::StrandDistribution, 1, 0.1, 0.5},
        {lignet::BranchingAngles, 0.5, 1, 180.0},     {lignet::BranchingAngles, 0.75, 1, 180.0},
        {lignet::GravimorphismImpact, 0, 1, -180.0},  {lignet::GravimorphismImpact, 0.25, 1, 0.0},
        {lignet::GravimorphismImpact, 0.5, 1, 180.0}, {lignet::GravimorphismImpact, 0.9, 1, 180.0}};
    for (const auto &[d, g, w, expected] : cases) {
        p.curveG(d) = {{0, g}, {1, g}};
        p.curveW(d) = {{0, w}, {1, w}};
        p.computeDistributionTable(d);
        EXPECT_DOUBLE_EQ(p.tableValue(d, 5, 5), expected) << d << ' ' << g << ' ' << w;
    }
    const TreeParameters before = p;
    p.curveG(lignet::StrandDistribution) = {{0, 0.6}, {1, 0.6}};
    p.computeDistributionTable(6);
    p.computeDistributionTable(-1);
    EXPECT_EQ(p.strandDistributionTable, before.strandDistributionTable);
}

TEST(SpeciesTrees, loadWithTheirLeafTypesAndAreStoredInTheProgramsOwnFormat)
{
    const std::pair<const char *, int> species[] = {
        {"grm5.tree.xml", lignet::STAGGERED},
        {"Vrba Zalujka (Salix Babylonica).tree.xml", lignet::STACKED},
        {"javorVelikZgorajGost.tree.xml", lignet::SPIRAL},
        {"smrekaMini.tree.xml", lignet::CONIFEROUS},
        {"manjseDefault100_vecjiListi.tree.xml", lignet::STAGGERED}};
    for (const auto &[file, leafType] : species) {
        const std::string path = std::string(VERDALIS_SOURCE_DIR "/bin/zbirka-4/") + file;
        TreeParameters p;
        std::string reason;
        ASSERT_TRUE(p.loadFromFile(path, &reason)) << reason;
        EXPECT_EQ(p.leafType, leafType) << file;
        // Light enough to draw many of them in the ecosystem.
        EXPECT_TRUE(p.numberOfStrands >= 100 && p.numberOfStrands <= 5000)
            << file << ": " << p.numberOfStrands;
        EXPECT_TRUE(p.displayLeaves) << file;
        for (const Krivulja &curve : p.curves)
            EXPECT_EQ(std::pair(curve.points().front().x, curve.points().back().x), std::pair(0.0, 1.0))
                << file;
        EXPECT_EQ(lignet::TreeParameterFile::text(p), testsupport::readBytes(path)) << file;
    }
}
