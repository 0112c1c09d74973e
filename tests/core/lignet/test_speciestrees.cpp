#include "core/tempfolder.h"
#include "lignet/treeparameterfile.h"

#include <gtest/gtest.h>

using lignet::TreeParameterFile;
using lignet::TreeParameters;

namespace {

struct SpeciesFile {
    const char *name;
    const char *file;
    std::int32_t leafType;
};

// The species files the ecosystem loads at start, in species order.
const SpeciesFile speciesFiles[] = {
    {"bush", "grm5.tree.xml", lignet::STAGGERED},
    {"weepingWillow", "Vrba Zalujka (Salix Babylonica).tree.xml", lignet::STACKED},
    {"maple", "javorVelikZgorajGost.tree.xml", lignet::SPIRAL},
    {"pine", "smrekaMini.tree.xml", lignet::CONIFEROUS},
    {"beech", "manjseDefault100_vecjiListi.tree.xml", lignet::STAGGERED},
};

class SpeciesTree : public testing::TestWithParam<SpeciesFile> {};

} // namespace

TEST_P(SpeciesTree, loadsAndIsStoredInTheProgramsOwnFormat)
{
    const std::string path = std::string(VERDALIS_SOURCE_DIR "/bin/zbirka-4/") + GetParam().file;
    TreeParameters p;
    std::string reason;
    ASSERT_TRUE(p.loadFromFile(path, &reason)) << reason;
    EXPECT_NE(p, TreeParameters());
    EXPECT_EQ(p.leafType, GetParam().leafType);
    // Light enough to draw many of them in the ecosystem.
    EXPECT_GE(p.numberOfStrands, 100);
    EXPECT_LE(p.numberOfStrands, 5000);
    EXPECT_TRUE(p.displayLeaves);
    for (const lignet::Krivulja &curve : p.curves) {
        EXPECT_EQ(curve.points().front().x, 0.0);
        EXPECT_EQ(curve.points().back().x, 1.0);
    }
    EXPECT_EQ(TreeParameterFile::text(p), testsupport::readBytes(path));
}

INSTANTIATE_TEST_SUITE_P(Species, SpeciesTree, testing::ValuesIn(speciesFiles),
                         [](const testing::TestParamInfo<SpeciesFile> &test) { return test.param.name; });
