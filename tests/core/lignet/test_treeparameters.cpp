#include "lignet/treeparameters.h"

#include <gtest/gtest.h>

using lignet::Krivulja;
using lignet::TreeParameters;

TEST(Krivulja, valueAtTakesTheSegmentToTheRightOfAPoint)
{
    const Krivulja step{{0, 0}, {0.5, 0}, {0.5, 1}, {1, 1}};
    EXPECT_DOUBLE_EQ(step.valueAt(0.4999999), 0.0);
    EXPECT_DOUBLE_EQ(step.valueAt(0.5), 1.0);
    EXPECT_DOUBLE_EQ(step.valueAt(0.75), 1.0);

    const Krivulja dip{{0, 0.1}, {0.5, 0.045}, {1, 0.1}};
    EXPECT_DOUBLE_EQ(dip.valueAt(0.5), 0.045);
    EXPECT_DOUBLE_EQ(dip.valueAt(0.0), 0.1);
    EXPECT_DOUBLE_EQ(dip.valueAt(0.25), 0.1 + (0.045 - 0.1) / 0.5 * 0.25);
}

TEST(Krivulja, valueBeyondTheLastPointExtrapolatesTheFirstSegment)
{
    const Krivulja c{{0, 0}, {0.5, 0.5}, {0.6, 1.0}};
    EXPECT_DOUBLE_EQ(c.valueAt(0.8), 0.8);
}

TEST(TreeParameters, defaultTablesHoldTheDocumentedValues)
{
    const TreeParameters p;
    for (int w = 0; w < lignet::TableOrdersW; ++w) {
        EXPECT_DOUBLE_EQ(p.tableValue(lignet::StrandDistribution, 0, w), 0.75);
        EXPECT_NEAR(p.tableValue(lignet::StrandDistribution, 14, w), 0.89, 1e-12);
    }
    for (int g = 0; g < lignet::TableOrdersG; ++g)
        for (int w = 0; w < lignet::TableOrdersW; ++w) {
            EXPECT_DOUBLE_EQ(p.tableValue(lignet::BranchingAngles, g, w), 45.0);
            EXPECT_DOUBLE_EQ(p.tableValue(lignet::GravimorphismImpact, g, w), 0.0);
            EXPECT_DOUBLE_EQ(p.tableValue(lignet::MaximalBranchLength, g, w), 1.0);
            EXPECT_DOUBLE_EQ(p.tableValue(lignet::BranchLengthScaling, g, w), 1.0);
        }
    EXPECT_DOUBLE_EQ(p.tableValue(lignet::MinimalBranchLength, 0, 0), 1.0);
    const double x = 7.0 / 15.0;
    EXPECT_NEAR(p.tableValue(lignet::MinimalBranchLength, 7, 3), 20 * 0.5 * (0.1 - 0.11 * x), 1e-12);
}

TEST(TreeParameters, tableMappingsSaturate)
{
    TreeParameters p;
    p.curveW(lignet::StrandDistribution) = {{0, 1}, {1, 1}};
    p.curveG(lignet::StrandDistribution) = {{0, 1}, {1, 0}};
    p.computeDistributionTable(lignet::StrandDistribution);
    EXPECT_DOUBLE_EQ(p.tableValue(lignet::StrandDistribution, 0, 0), 1.0); // 2p > 1
    p.curveW(lignet::StrandDistribution) = {{0, 0.1}, {1, 0.1}};
    p.computeDistributionTable(lignet::StrandDistribution);
    EXPECT_DOUBLE_EQ(p.tableValue(lignet::StrandDistribution, 0, 0), 0.5); // p < 0.25

    for (const auto &[y, expected] : {std::pair{0.5, 180.0}, std::pair{0.75, 180.0}}) {
        p.curveG(lignet::BranchingAngles) = {{0, y}, {1, y}};
        p.curveW(lignet::BranchingAngles) = {{0, 1}, {1, 1}};
        p.computeDistributionTable(lignet::BranchingAngles);
        EXPECT_DOUBLE_EQ(p.tableValue(lignet::BranchingAngles, 3, 3), expected);
    }
    for (const auto &[y, expected] :
         {std::pair{0.0, -180.0}, std::pair{0.25, 0.0}, std::pair{0.5, 180.0}, std::pair{0.9, 180.0}}) {
        p.curveG(lignet::GravimorphismImpact) = {{0, y}, {1, y}};
        p.curveW(lignet::GravimorphismImpact) = {{0, 1}, {1, 1}};
        p.computeDistributionTable(lignet::GravimorphismImpact);
        EXPECT_DOUBLE_EQ(p.tableValue(lignet::GravimorphismImpact, 5, 5), expected);
    }
}

TEST(TreeParameters, copiesAreIndependent)
{
    TreeParameters original;
    TreeParameters copy = original;
    copy.curveG(lignet::BranchingAngles) = {{0, 0.5}, {1, 0.5}};
    copy.computeDistributionTable(lignet::BranchingAngles);
    EXPECT_DOUBLE_EQ(copy.tableValue(lignet::BranchingAngles, 0, 0), 90.0);
    EXPECT_DOUBLE_EQ(original.tableValue(lignet::BranchingAngles, 0, 0), 45.0);
    EXPECT_EQ(original.curveG(lignet::BranchingAngles),
              TreeParameters::defaultCurveG(lignet::BranchingAngles));
}

TEST(TreeParameters, outOfRangeDistributionIndexChangesNothing)
{
    TreeParameters p;
    const TreeParameters before = p;
    p.computeDistributionTable(6);
    p.computeDistributionTable(-1);
    EXPECT_EQ(p.strandDistributionTable, before.strandDistributionTable);
    EXPECT_EQ(p.gravimorphismImpactTable, before.gravimorphismImpactTable);
}
