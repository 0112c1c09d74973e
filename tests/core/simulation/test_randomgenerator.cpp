#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/randomgenerator.h"
#include "ecosystem/simulation/seedvector.h"

#include <gtest/gtest.h>

using ecosystem::EcosystemSimulation;
using ecosystem::RandomGenerator;
using ecosystem::SeedVector;

TEST(RandomGenerator, drawsKeepTheLowThirtyTwoBitsAndWrapThroughTheSixtyFourBitProduct)
{
    RandomGenerator g(1);
    const std::pair<std::uint32_t, unsigned long long> draws[] = {
        {69069u, 69069u}, {59465u, 4770526761u}, {75573u, 2801775573u}}; // the second from 475559465
    for (const auto &[draw, state] : draws) {
        EXPECT_EQ(g.next(100000), draw);
        EXPECT_EQ(g.state(), state);
    }
    const unsigned long long largest = (1ull << 33) - 1;
    RandomGenerator high(largest);
    EXPECT_EQ(high.next(4096), static_cast<std::uint32_t>(((1ull << 33) - 69069ull) & 0xFFFFFFFFu) % 4096u);
    EXPECT_EQ(high.state(), (1ull << 33) - 69069ull);

    RandomGenerator zero(0);
    EXPECT_EQ(zero.next(100000), 0u);
    EXPECT_EQ(zero.state(), 0u);
    // Every draw advances once whatever the bound, but a zero bound does not draw.
    RandomGenerator a(7), b(7);
    a.next(1);
    b.next(100000);
    EXPECT_EQ(a.state(), b.state());
    EXPECT_EQ(a.next(0), 0u);
    EXPECT_EQ(a.state(), b.state());
}

TEST(SeedVector, defaultsAreOneToThirteenAndSetSeedsRoundTripsOrRefusesShortVectors)
{
    EcosystemSimulation s;
    const SeedVector defaults{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    EXPECT_EQ(s.getSeeds(), defaults);
    EXPECT_EQ(ecosystem::defaultSeeds(), defaults);
    for (const SeedVector &tooShort : {SeedVector{5, 6, 7}, SeedVector{}}) {
        const auto outcome = s.setSeeds(tooShort);
        EXPECT_FALSE(outcome.ok);
        EXPECT_NE(outcome.message.find("13"), std::string::npos);
        EXPECT_EQ(s.getSeeds(), defaults);
    }
    SeedVector seeds;
    for (unsigned long long k = 0; k < 13; ++k)
        seeds.push_back(1000 + 7 * k);
    SeedVector longer = seeds;
    longer.push_back(99); // extra entries are ignored
    EXPECT_TRUE(s.setSeeds(longer).ok);
    EXPECT_EQ(s.getSeeds(), seeds);
    EXPECT_EQ(s.deathRules().randomDeathBecauseOfBeingDominated.state(), 1042u);
    EXPECT_EQ(s.deathRules().randomDeathBecauseOfBadSlope.state(), 1077u);
}
