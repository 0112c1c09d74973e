#include "lignet/treeparameters.h"

#include "lignet/treeparameterfile.h"

#include <algorithm>

namespace lignet {

namespace {

// Maps the product of the two curve values to the table value of distribution d.
double mapProduct(int d, double p)
{
    switch (d) {
    case StrandDistribution:
        return std::max(std::min(2.0 * p, 1.0), 0.5);
    case BranchingAngles:
        return std::min(360.0 * p, 180.0);
    case GravimorphismImpact:
        return std::max(std::min(720.0 * p - 180.0, 180.0), -180.0);
    default:
        return 20.0 * p;
    }
}

} // namespace

TreeParameters::TreeParameters()
{
    resetToDefaults();
}

void TreeParameters::resetToDefaults()
{
    numberOfStrands = 1000;
    trunkHeight = 5.0;
    branchThicknessPerStrand = 0.01f;
    phyllotaxisAngle = 85.0;
    gravicentralism = 0.3;
    displayLeaves = true;
    leafSize = 0.1f;
    leafDensity = 5;
    leafType = SPIRAL;
    windSpeed = 1.5;
    windSpeedNodirect = 2.5;
    barkTexturePath = ":/gui/textures/bark.jpg";
    leafTexturePath = ":/gui/textures/leaf.png";
    for (int d = 0; d < DistributionCount; ++d) {
        curveG(d) = defaultCurveG(d);
        curveW(d) = defaultCurveW(d);
    }
    computeAllDistributionTables();
}

Krivulja TreeParameters::defaultCurveG(int d)
{
    switch (d) {
    case StrandDistribution:
        return {{0.0, 0.5}, {1.0, 0.8}};
    case BranchingAngles:
        return {{0.0, 0.25}, {1.0, 0.25}};
    case MinimalBranchLength:
        return {{0.0, 0.1}, {0.5, 0.045}, {1.0, 0.1}};
    case MaximalBranchLength:
    case BranchLengthScaling:
        return {{0.0, 0.1}, {1.0, 0.1}};
    default:
        return {{0.0, 0.5}, {1.0, 0.5}};
    }
}

Krivulja TreeParameters::defaultCurveW(int)
{
    return {{0.0, 0.5}, {1.0, 0.5}};
}

DistributionTable &TreeParameters::table(int d)
{
    return const_cast<DistributionTable &>(static_cast<const TreeParameters *>(this)->table(d));
}

const DistributionTable &TreeParameters::table(int d) const
{
    switch (d) {
    case StrandDistribution:
        return strandDistributionTable;
    case BranchingAngles:
        return branchingAnglesTable;
    case MinimalBranchLength:
        return minimalBranchLengthTable;
    case MaximalBranchLength:
        return maximalBranchLengthTable;
    case BranchLengthScaling:
        return branchLengthScalingTable;
    default:
        return gravimorphismImpactTable;
    }
}

void TreeParameters::computeDistributionTable(int d)
{
    if (d < 0 || d >= DistributionCount)
        return;
    const Krivulja &g = curveG(d);
    const Krivulja &w = curveW(d);
    DistributionTable &t = table(d);
    for (int gi = 0; gi < TableOrdersG; ++gi) {
        double vG = g.valueAt(gi / 15.0);
        if (d == StrandDistribution)
            vG = 0.5 * vG + 0.5;
        for (int wi = 0; wi < TableOrdersW; ++wi)
            t[gi][wi] = mapProduct(d, vG * w.valueAt(wi / 50.0));
    }
}

void TreeParameters::computeAllDistributionTables()
{
    for (int d = 0; d < DistributionCount; ++d)
        computeDistributionTable(d);
}

bool TreeParameters::saveToFile(const std::string &path, std::string *reason) const
{
    return TreeParameterFile::save(*this, path, reason);
}

bool TreeParameters::loadFromFile(const std::string &path, std::string *reason)
{
    return TreeParameterFile::load(*this, path, reason);
}

const char *leafTypeName(int leafType)
{
    static const char *const names[LeafTypeCount] = {"Spiral", "Stacked", "Staggered", "Bunched",
                                                     "Coniferous"};
    return leafType >= 0 && leafType < LeafTypeCount ? names[leafType] : "";
}

} // namespace lignet
