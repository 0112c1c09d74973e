#include "core/terrain/demtext.h"

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
    return terrainOf(
        demText([&low](int c, int r) {
            return std::find(low.begin(), low.end(), std::pair{c, r}) != low.end() ? 500.0 : 510.0;
        }),
        TerrainModel::MapUpdate::Defer);
}

} // namespace

TEST(PlantArea, listsTheCellsOfTheAreaInScanOrderAndSeedCellsIncludeTheUpperLimits)
{
    TerrainModel terrain = terrainOf(defaultDem(), TerrainModel::MapUpdate::Defer);
    const auto &cells = terrain.plantableCells();
    // Columns and rows 25 to 74; the default terrain's lowest point lies outside.
    ASSERT_EQ(cells.size(), 2500u);
    EXPECT_EQ(std::tuple(cells[0], cells[1], cells[50], cells.back()),
              std::tuple(25 + 25 * 100, 26 + 25 * 100, 25 + 26 * 100, 74 + 74 * 100));

    terrain.setLupaMinX(40);
    EXPECT_EQ(terrain.plantableCells().size(), 35u * 50u);
    EXPECT_FALSE(listed(terrain, 39, 50));
    EXPECT_FALSE(listed(terrain, 75, 50));
    const std::pair<int, int> seedCells[] = {{75, 50}, {40, 25}, {40, 75}},
                              outside[] = {{39, 50}, {76, 50}, {50, 24}, {50, 76}};
    for (const auto &[c, r] : seedCells)
        EXPECT_TRUE(terrain.isSeedCell(c, r)) << c << ',' << r;
    for (const auto &[c, r] : outside)
        EXPECT_FALSE(terrain.isSeedCell(c, r)) << c << ',' << r;
    terrain.setLupaMaxX(45);
    terrain.setLupaMinY(10);
    terrain.setLupaMaxY(12);
    EXPECT_EQ(terrain.plantableCells().size(), 5u * 2u);
    // Restoring the area from a file sets all four limits and leaves the list to the caller.
    terrain.setPlantArea(0, 100, 0, 100);
    EXPECT_EQ(terrain.lupaMaxY(), 100);
    EXPECT_EQ(terrain.plantableCells().size(), 10u);
    terrain.rebuildPlantableCells();
    EXPECT_GT(terrain.plantableCells().size(), 9000u);
}

TEST(PlantArea, aCellNeedsItsOwnRightAndLowerVertexStrictlyAboveTheBaseAndLimitsBeyondTheGridAreHarmless)
{
    TerrainModel terrain = terrainWithLowVertices({{30, 30}, {99, 50}, {60, 99}});
    EXPECT_FALSE(terrain.isAboveBase({0.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(terrain.isAboveBase({0.0f, 0.001f, 0.0f}));
    terrain.setPlantArea(0, 100, 0, 100);
    terrain.rebuildPlantableCells();
    // The last column and row have no right or lower neighbour to ask.
    const std::pair<int, int> out[] = {{30, 30}, {29, 30}, {30, 29}, {99, 50}, {99, 49},
                                       {98, 50}, {60, 99}, {59, 99}, {60, 98}};
    for (const auto &[c, r] : out)
        EXPECT_FALSE(listed(terrain, c, r)) << c << ',' << r;
    EXPECT_EQ(terrain.plantableCells().size(), 10000u - 9u);
    EXPECT_TRUE(listed(terrain, 99, 99));
    EXPECT_FALSE(terrain.isSeedCell(30, 30));
    EXPECT_TRUE(terrain.isSeedCell(29, 30));

    // Limits beyond the grid are harmless; the last ten rows hold three of the cells left out.
    terrain.setPlantArea(-20, 500, 90, 1000);
    terrain.rebuildPlantableCells();
    EXPECT_EQ(terrain.plantableCells().size(), 100u * 10u - 3u);
    EXPECT_EQ(std::tuple(terrain.isSeedCell(100, 95), terrain.isSeedCell(-1, 95), terrain.isSeedCell(99, 99)),
              std::tuple(false, false, true));
    terrain.setPlantArea(60, 40, 60, 40);
    terrain.rebuildPlantableCells();
    EXPECT_TRUE(terrain.plantableCells().empty());
    EXPECT_FALSE(terrain.isSeedCell(50, 50));
}
