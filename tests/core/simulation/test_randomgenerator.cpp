#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/randomgenerator.h"
#include "ecosystem/simulation/seedvector.h"

#include <gtest/gtest.h>

using ecosystem::EcosystemSimulation;
using ecosystem::RandomGenerator;
using ecosystem::SeedVector;

TEST(RandomGenerator, drawsKeepTheLowThirtyTwoBitsWrapThroughTheSixtyFourBitProductAndAdvanceOnlyWhenDrawing)
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

    // A draw chosen by select advances only when it draws.
    RandomGenerator skipped(5), drawn(5), reference(5);
    const std::uint32_t value = reference.next(100000);
    EXPECT_EQ(skipped.nextIf(false, 100000), value);
    EXPECT_EQ(skipped.state(), 5u);
    EXPECT_EQ(drawn.nextIf(true, 100000), value);
    EXPECT_EQ(drawn.state(), reference.state());
}

TEST(DrawBound, remaindersAndDrawsEqualThoseOfTheDivision)
{
    const std::uint32_t bounds[] = {1u,      2u,     3u,          7u,          151u,       4096u,
                                    100000u, 65537u, 0x7FFFFFFFu, 0x80000001u, 0xFFFFFFFFu};
    for (const std::uint32_t bound : bounds) {
        SCOPED_TRACE(bound);
        const ecosystem::DrawBound prepared(bound);
        const std::uint32_t values[] = {
            0u,          1u,          bound - 1u,  bound,      bound + 1u, 2u * bound - 1u,
            0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
        for (const std::uint32_t value : values)
            ASSERT_EQ(prepared.remainder(value), value % bound) << value;
        RandomGenerator divided(12345), multiplied(12345);
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(multiplied.next(prepared), divided.next(bound));
        EXPECT_EQ(multiplied.state(), divided.state());
    }
    // A bound of 0 draws nothing, as next(0) does.
    RandomGenerator g(9);
    EXPECT_EQ(g.next(ecosystem::DrawBound(0)), 0u);
    EXPECT_EQ(g.state(), 9u);
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
