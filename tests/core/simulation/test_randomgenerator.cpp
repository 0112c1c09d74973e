#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/randomgenerator.h"
#include "ecosystem/simulation/seedvector.h"

#include <gtest/gtest.h>
#include <sstream>

using ecosystem::EcosystemSimulation;
using ecosystem::RandomGenerator;
using ecosystem::SeedVector;

TEST(RandomGenerator, drawsFromStateOneKeepLowThirtyTwoBitsOfStatesAboveTwoToThe32)
{
    RandomGenerator g(1);
    EXPECT_EQ(g.next(100000), 69069u);
    EXPECT_EQ(g.state(), 69069u);
    EXPECT_EQ(g.next(100000), 59465u);
    EXPECT_EQ(g.state(), 4770526761u); // above 2^32: the output comes from 475559465
    EXPECT_EQ(g.next(100000), 75573u);
    EXPECT_EQ(g.state(), 2801775573u);
}

TEST(RandomGenerator, largestStateWrapsThroughTheSixtyFourBitProduct)
{
    const unsigned long long largest = (1ull << 33) - 1;
    std::ostringstream printed;
    printed << largest;
    EXPECT_EQ(printed.str().size(), 10u);

    RandomGenerator g(largest);
    const unsigned long long expected = (largest * 69069ull) % (1ull << 33);
    EXPECT_EQ(expected, (1ull << 33) - 69069ull);
    EXPECT_EQ(g.next(4096), static_cast<std::uint32_t>(expected & 0xFFFFFFFFu) % 4096u);
    EXPECT_EQ(g.state(), expected);
}

TEST(RandomGenerator, stateZeroStaysZeroForEver)
{
    RandomGenerator g(0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(g.next(100000), 0u);
        EXPECT_EQ(g.state(), 0u);
    }
}

TEST(RandomGenerator, everyDrawAdvancesOnceWhateverTheBoundButZeroBoundDoesNotDraw)
{
    RandomGenerator a(7);
    RandomGenerator b(7);
    a.next(1);
    b.next(100000);
    EXPECT_EQ(a.state(), b.state());
    const auto before = a.state();
    EXPECT_EQ(a.next(0), 0u);
    EXPECT_EQ(a.state(), before);
}

TEST(SeedVector, newSimulationReportsDefaultSeedsOneToThirteen)
{
    EcosystemSimulation s;
    const SeedVector expected{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    EXPECT_EQ(s.getSeeds(), expected);
    EXPECT_EQ(ecosystem::defaultSeeds(), expected);
}

TEST(SeedVector, setSeedsRoundTripsAndIgnoresExtraEntries)
{
    EcosystemSimulation s;
    SeedVector seeds;
    for (unsigned long long k = 0; k < 13; ++k)
        seeds.push_back(1000 + 7 * k);
    SeedVector longer = seeds;
    longer.push_back(99);
    EXPECT_TRUE(s.setSeeds(longer).ok);
    EXPECT_EQ(s.getSeeds(), seeds);
    EXPECT_EQ(s.deathRules().randomDeathBecauseOfBeingDominated.state(), 1042u);
    EXPECT_EQ(s.deathRules().randomDeathBecauseOfBadSlope.state(), 1077u);
}

TEST(SeedVector, fewerThanThirteenSeedsAreRefusedWithAReasonAndChangeNothing)
{
    EcosystemSimulation s;
    const SeedVector before = s.getSeeds();
    const auto outcome = s.setSeeds(SeedVector{5, 6, 7});
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.message.find("13"), std::string::npos);
    EXPECT_EQ(s.getSeeds(), before);
    EXPECT_FALSE(s.setSeeds(SeedVector{}).ok);
    EXPECT_EQ(s.getSeeds(), before);
}
