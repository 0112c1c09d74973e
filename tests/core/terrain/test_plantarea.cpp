#include "core/terrain/demtext.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <gtest/gtest.h>

#include <algorithm>

using ecosystem::TerrainModel;
using namespace terraintest;

namespace {

bool listed(const TerrainModel &terrain, int c, int r)
{
    const auto &cells = terrain.plantableCells();
    return std::find(cells.begin(), cells.end(), c + r * 100) != cells.end();
}

// Height 10 everywhere except the given vertices, which lie at the lowest level 0.
TerrainModel terrainWithLowVertices(std::vector<std::pair<int, int>> low)
{
    TerrainModel terrain;
    const auto result =
        load(terrain, demText([&low](int c, int r) {
                 return std::find(low.begin(), low.end(), std::pair{c, r}) != low.end() ? 500.0 : 510.0;
             }),
             TerrainModel::MapUpdate::Defer);
    EXPECT_TRUE(result.ok());
    return terrain;
}

} // namespace

TEST(PlantArea, defaultAreaListsEveryCellOfColumnsAndRows25To74InScanOrder)
{
    TerrainModel terrain;
    ASSERT_TRUE(load(terrain, readFile(defaultDemPath()), TerrainModel::MapUpdate::Defer).ok());
    const auto &cells = terrain.plantableCells();
    // The default terrain's lowest point lies outside the plant area.
    ASSERT_EQ(cells.size(), 2500u);
    EXPECT_EQ(cells.front(), 25 + 25 * 100);
    EXPECT_EQ(cells[1], 26 + 25 * 100);
    EXPECT_EQ(cells[50], 25 + 26 * 100);
    EXPECT_EQ(cells.back(), 74 + 74 * 100);
    EXPECT_TRUE(std::is_sorted(cells.begin(), cells.end()));
}

TEST(PlantArea, movingALimitRebuildsTheListWhileSeedCellsIncludeTheUpperLimit)
{
    TerrainModel terrain;
    ASSERT_TRUE(load(terrain, readFile(defaultDemPath()), TerrainModel::MapUpdate::Defer).ok());
    terrain.setLupaMinX(40);
    EXPECT_EQ(terrain.lupaMinX(), 40);
    const auto &cells = terrain.plantableCells();
    ASSERT_EQ(cells.size(), 35u * 50u);
    for (const int i : cells) {
        EXPECT_GE(i % 100, 40);
        EXPECT_LE(i % 100, 74);
    }
    EXPECT_FALSE(listed(terrain, 75, 50));
    EXPECT_TRUE(terrain.isSeedCell(75, 50));
    EXPECT_TRUE(terrain.isSeedCell(40, 25));
    EXPECT_TRUE(terrain.isSeedCell(40, 75));
    EXPECT_FALSE(terrain.isSeedCell(39, 50));
    EXPECT_FALSE(terrain.isSeedCell(76, 50));
    EXPECT_FALSE(terrain.isSeedCell(50, 24));
    EXPECT_FALSE(terrain.isSeedCell(50, 76));

    terrain.setLupaMaxX(45);
    terrain.setLupaMinY(10);
    terrain.setLupaMaxY(12);
    EXPECT_EQ(terrain.plantableCells().size(), 5u * 2u);
    EXPECT_EQ(terrain.lupaMaxX(), 45);
    EXPECT_EQ(terrain.lupaMinY(), 10);
    EXPECT_EQ(terrain.lupaMaxY(), 12);

    // Restoring the area from a file sets all four limits and leaves the list to the caller.
    terrain.setPlantArea(0, 100, 0, 100);
    EXPECT_EQ(terrain.plantableCells().size(), 10u);
    terrain.rebuildPlantableCells();
    EXPECT_GT(terrain.plantableCells().size(), 9000u);
}

TEST(PlantArea, aCellNeedsItsOwnRightAndLowerVertexAboveTheBase)
{
    TerrainModel terrain = terrainWithLowVertices({{30, 30}, {99, 50}, {60, 99}});
    terrain.setPlantArea(0, 100, 0, 100);
    terrain.rebuildPlantableCells();

    EXPECT_FALSE(listed(terrain, 30, 30)); // its own vertex is at the base
    EXPECT_FALSE(listed(terrain, 29, 30)); // right neighbour at the base
    EXPECT_FALSE(listed(terrain, 30, 29)); // lower neighbour at the base
    EXPECT_TRUE(listed(terrain, 31, 30));
    EXPECT_TRUE(listed(terrain, 30, 31));
    EXPECT_TRUE(listed(terrain, 29, 29));
    EXPECT_FALSE(terrain.isSeedCell(30, 30));
    EXPECT_TRUE(terrain.isSeedCell(29, 30));

    // The last column and row have no right or lower neighbour to ask.
    EXPECT_TRUE(listed(terrain, 99, 10));
    EXPECT_TRUE(listed(terrain, 10, 99));
    EXPECT_TRUE(listed(terrain, 99, 99));
    EXPECT_FALSE(listed(terrain, 99, 50));
    EXPECT_FALSE(listed(terrain, 99, 49));
    EXPECT_FALSE(listed(terrain, 98, 50));
    EXPECT_FALSE(listed(terrain, 60, 99));
    EXPECT_FALSE(listed(terrain, 59, 99));
    EXPECT_FALSE(listed(terrain, 60, 98));
    EXPECT_EQ(terrain.plantableCells().size(), 10000u - 9u);
}

TEST(PlantArea, limitsBeyondTheGridAreHarmless)
{
    TerrainModel terrain = terrainWithLowVertices({});
    terrain.setLupaMinX(-20);
    terrain.setLupaMaxX(500);
    terrain.setLupaMinY(90);
    terrain.setLupaMaxY(1000);
    // Every vertex lies at the base (one height), so only the limits matter here.
    EXPECT_TRUE(terrain.plantableCells().empty());

    TerrainModel hill = terrainWithLowVertices({{0, 0}});
    hill.setPlantArea(-20, 500, 90, 1000);
    hill.rebuildPlantableCells();
    EXPECT_EQ(hill.plantableCells().size(), 100u * 10u);
    EXPECT_FALSE(hill.isSeedCell(100, 95));
    EXPECT_FALSE(hill.isSeedCell(-1, 95));
    EXPECT_TRUE(hill.isSeedCell(99, 99));
    hill.setPlantArea(60, 40, 60, 40);
    hill.rebuildPlantableCells();
    EXPECT_TRUE(hill.plantableCells().empty());
    EXPECT_FALSE(hill.isSeedCell(50, 50));
}

TEST(PlantArea, aboveBaseMeansStrictlyAboveTheLowestHeight)
{
    TerrainModel terrain = terrainWithLowVertices({{5, 5}});
    EXPECT_EQ(terrain.heightRange(), 10.0f);
    EXPECT_FALSE(terrain.isAboveBase({0.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(terrain.isAboveBase({0.0f, -0.5f, 0.0f}));
    EXPECT_TRUE(terrain.isAboveBase({0.0f, 0.001f, 0.0f}));
}
