#include "ecosystem/terrain/moisturecomputation.h"

#include <gtest/gtest.h>

#include <functional>

using ecosystem::MoistureComputation;

namespace {

std::vector<math::Vector3f> grid(const std::function<float(int, int)> &height, int size = 100)
{
    std::vector<math::Vector3f> vertices;
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            vertices.emplace_back(25.0f * static_cast<float>(c), height(c, r), 25.0f * static_cast<float>(r));
    return vertices;
}

std::size_t idx(int c, int r)
{
    return static_cast<std::size_t>(c + r * 100);
}

} // namespace

TEST(Moisture, aPitKeepsItsWaterAndCollectsFromItsHigherNeighbours)
{
    const auto vertices = grid([](int c, int r) { return c == 50 && r == 50 ? 0.0f : 10.0f; });
    const MoistureComputation moisture(vertices, 100, 100);

    // Steep neighbours (slope 0.1 or more) pass everything on.
    auto steep = moisture.initialWater(10.0f, 0.0f);
    moisture.flow(steep, std::vector<float>(10000, 0.5f));
    EXPECT_EQ(steep[idx(50, 50)], 5.0f);
    for (const auto i : {idx(49, 50), idx(51, 50), idx(50, 49), idx(50, 51)})
        EXPECT_EQ(steep[i], 0.0f);
    EXPECT_EQ(steep[idx(10, 10)], 1.0f);

    // A flatter cell keeps 1 − 10 × slope of its water.
    auto gentle = moisture.initialWater(10.0f, 0.0f);
    moisture.flow(gentle, std::vector<float>(10000, 0.05f));
    EXPECT_FLOAT_EQ(gentle[idx(50, 50)], 3.0f);
    EXPECT_FLOAT_EQ(gentle[idx(49, 50)], 0.5f);
}

TEST(Moisture, waterRunsDownAChainFromTheHighestVertexFirst)
{
    // Every row falls towards the last column; on a steep slope all water ends there.
    const auto vertices = grid([](int c, int) { return 100.0f - static_cast<float>(c); });
    const MoistureComputation moisture(vertices, 100, 100);
    auto water = moisture.initialWater(99.0f, 0.0f);
    moisture.flow(water, std::vector<float>(10000, 0.2f));
    for (int r : {0, 37, 99}) {
        EXPECT_EQ(water[idx(99, r)], 100.0f);
        EXPECT_EQ(water[idx(98, r)], 0.0f);
        EXPECT_EQ(water[idx(0, r)], 0.0f);
    }
}

TEST(Moisture, waterSplitsEvenlyBetweenLowerNeighbours)
{
    // A peak at (20, 20) with the four neighbours lower and everything else lower still.
    const auto vertices = grid([](int c, int r) {
        const int d = std::abs(c - 20) + std::abs(r - 20);
        return d == 0 ? 50.0f : d == 1 ? 40.0f : 0.0f;
    });
    const MoistureComputation moisture(vertices, 100, 100);
    auto water = moisture.initialWater(50.0f, 0.0f);
    std::vector<float> slope(10000, 0.0f);
    slope[idx(20, 20)] = 0.05f; // passes half, a quarter of that to each side
    moisture.flow(water, slope);
    EXPECT_FLOAT_EQ(water[idx(20, 20)], 0.5f);
    EXPECT_FLOAT_EQ(water[idx(20, 19)], 1.125f);
    EXPECT_FLOAT_EQ(water[idx(21, 20)], 1.125f);
}

TEST(Moisture, smoothingUsesValuesAlreadyReplacedInThePass)
{
    const auto vertices = grid([](int, int) { return 0.0f; }, 4);
    const MoistureComputation moisture(vertices, 4, 4);
    std::vector<float> water(16, 0.0f);
    water[5] = 5.0f; // (1, 1)
    moisture.smooth(water);
    EXPECT_EQ(water[5], 1.0f);
    EXPECT_EQ(water[6], 0.2f);         // (2, 1): its left neighbour is already 1
    EXPECT_FLOAT_EQ(water[9], 0.2f);   // (1, 2): its upper neighbour is already 1
    EXPECT_FLOAT_EQ(water[10], 0.08f); // (2, 2): (0.2 + 0.2) / 5
    EXPECT_EQ(water[0], 0.0f);
}

TEST(Moisture, bordersAreClearedAndTheInteriorCappedButTheFarEdgesKept)
{
    const auto vertices = grid([](int, int) { return 0.0f; }, 4);
    const MoistureComputation moisture(vertices, 4, 4);
    std::vector<float> water(16, 3.0f);
    moisture.finishBorders(water);
    const std::vector<float> expected{0, 0, 0, 0, //
                                      0, 1, 1, 3, //
                                      0, 1, 1, 3, //
                                      0, 3, 3, 3};
    EXPECT_EQ(water, expected);
}

TEST(Moisture, verticesBelowTheBaseStartWithTheWaterValue)
{
    const auto vertices = grid([](int c, int) { return static_cast<float>(c); });
    const MoistureComputation moisture(vertices, 100, 100);
    const auto water = moisture.initialWater(99.0f, 0.1f); // base height 9.9
    EXPECT_EQ(water[idx(9, 3)], 11.0f);
    EXPECT_EQ(water[idx(10, 3)], 1.0f);
    EXPECT_EQ(moisture.initialWater(99.0f, 0.0f), std::vector<float>(10000, 1.0f));
}
