#include "ecosystem/simulation/deathrules.h"
#include "ecosystem/simulation/plantgrid.h"

#include <gtest/gtest.h>

using ecosystem::Plant;
using ecosystem::PlantGrid;
using ecosystem::Species;

namespace {

Plant plantAt(int cellX, int cellY, float height, float strength)
{
    Plant p;
    p.cellX = cellX;
    p.cellY = cellY;
    p.position = {25.0f * static_cast<float>(cellX) + 12.5f, 0.0f, 25.0f * static_cast<float>(cellY) + 12.5f};
    p.height = height;
    p.strength = strength;
    return p;
}

} // namespace

TEST(PlantGrid, largestHeightIsTheTallestRegisteredPlantOfTheLastRebuild)
{
    std::vector<Species> species(2);
    species[0].plants = {plantAt(1, 1, 3.0f, 1), plantAt(2, 1, 7.5f, 1)};
    species[1].plants = {plantAt(3, 1, 2.0f, 1), plantAt(-1, 1, 100.0f, 1)}; // the last lies off the grid
    PlantGrid grid(10, 10);
    EXPECT_EQ(grid.largestHeight(), 0.0f);
    grid.rebuild(species);
    EXPECT_EQ(grid.size(), 3u);
    EXPECT_EQ(grid.largestHeight(), 7.5f);
    species[0].plants.pop_back();
    grid.rebuild(species);
    EXPECT_EQ(grid.largestHeight(), 3.0f);
    grid.rebuild({});
    EXPECT_EQ(grid.largestHeight(), 0.0f);
}

TEST(PlantGrid, aTallStrongerNeighbourDominatesAcrossMoreThanTheSmallPlantsOwnReach)
{
    // A plant of height 1 and, 20 m away in the next cell, a stronger one of height 20: their
    // crowns overlap, so the search must reach past the small plant's own height.
    std::vector<Species> species(1);
    species[0].competitiveness = 1.0f;
    species[0].dominatedDeathProbability = 1.0f;
    Plant tall = plantAt(4, 4, 20.0f, 5.0f);
    Plant small = plantAt(4, 4, 1.0f, 1.0f);
    small.position.x = tall.position.x + 20.0f;
    species[0].plants = {tall, small};
    PlantGrid grid(10, 10);
    grid.rebuild(species);
    ecosystem::DeathRules rules;
    rules.bind(grid, species);
    rules.setNeighbourhoodRadius(1);
    EXPECT_TRUE(rules.isDominated(species[0].plants[1], grid.entryOf(0, 1)));
    EXPECT_TRUE(species[0].plants[1].dominated);
    EXPECT_FALSE(rules.isDominated(species[0].plants[0], grid.entryOf(0, 0)));
}
