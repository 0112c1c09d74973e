#pragma once

#include "lignet/krivulja.h"

#include <array>
#include <cstdint>
#include <string>

namespace lignet {

// Index of a distribution; fixes its curve pair, its table and its value mapping.
enum Distribution : int {
    StrandDistribution = 0,
    BranchingAngles = 1,
    MinimalBranchLength = 2,
    MaximalBranchLength = 3,
    BranchLengthScaling = 4,
    GravimorphismImpact = 5,
};
inline constexpr int DistributionCount = 6;

enum LeafType : std::int32_t {
    SPIRAL = 0,
    STACKED = 1,
    STAGGERED = 2,
    BUNCHED = 3,
    CONIFEROUS = 4,
};
inline constexpr int LeafTypeCount = 5;

// Gravelius orders 0..14 by Weibull orders 0..49.
inline constexpr int TableOrdersG = 15;
inline constexpr int TableOrdersW = 50;
using DistributionTable = std::array<std::array<double, TableOrdersW>, TableOrdersG>;

// One tree's parameter set: a plain copyable value. Tables are derived from the curves and must
// be recomputed (computeDistributionTable) after any curve change.
struct TreeParameters {
    TreeParameters();

    std::int32_t numberOfStrands;
    double trunkHeight;
    float branchThicknessPerStrand;
    double phyllotaxisAngle;
    DistributionTable strandDistributionTable;
    DistributionTable branchingAnglesTable;
    DistributionTable maximalBranchLengthTable;
    DistributionTable minimalBranchLengthTable;
    DistributionTable branchLengthScalingTable;
    double gravicentralism;
    DistributionTable gravimorphismImpactTable;
    bool displayLeaves;
    float leafSize;
    std::int32_t leafDensity;
    std::int32_t leafType;
    double windSpeed;
    double windSpeedNodirect;
    std::string barkTexturePath;
    std::string leafTexturePath;
    // For each distribution in index order: its G curve, then its W curve.
    std::array<Krivulja, 2 * DistributionCount> curves;

    Krivulja &curveG(int d) { return curves[2 * d]; }
    Krivulja &curveW(int d) { return curves[2 * d + 1]; }
    const Krivulja &curveG(int d) const { return curves[2 * d]; }
    const Krivulja &curveW(int d) const { return curves[2 * d + 1]; }

    // Recomputes the table of distribution d from its two curves; other indices do nothing.
    void computeDistributionTable(int d);
    void computeAllDistributionTables();

    // Table of distribution d (0..5); the caller guarantees a valid index.
    DistributionTable &table(int d);
    const DistributionTable &table(int d) const;
    // Value of distribution d at Gravelius order g (0..14) and Weibull order w (0..49).
    double tableValue(int d, int g, int w) const { return table(d)[g][w]; }

    // The parameter file (TreeParameterFile) at an 8-bit path. A failed load leaves the set
    // unchanged, a failed save leaves the file as it was; reason, when given, gets one line why.
    bool saveToFile(const std::string &path, std::string *reason = nullptr) const;
    bool loadFromFile(const std::string &path, std::string *reason = nullptr);

    // Resets every field, paths and curves included, to the defaults and recomputes the tables.
    void resetToDefaults();

    // Field-wise, tables included.
    bool operator==(const TreeParameters &) const = default;

    static Krivulja defaultCurveG(int d);
    static Krivulja defaultCurveW(int d);
};

// The names shown to users for leaf types 0..4; empty for any other value.
const char *leafTypeName(int leafType);

} // namespace lignet
