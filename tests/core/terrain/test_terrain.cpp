#include "core/terrain/demtext.h"
#include "core/vectornear.h"
#include "ecosystem/terrain/demreader.h"
#include "ecosystem/terrain/moisturecomputation.h"
#include "ecosystem/terrain/normalcomputation.h"
#include "ecosystem/terrain/sunninesscomputation.h"
#include "ecosystem/terrain/sunpath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

using namespace ecosystem;
using namespace terraintest;

namespace {

constexpr auto Defer = TerrainModel::MapUpdate::Defer;

// Everything a load decides, to compare two terrains.
auto loaded(const TerrainModel &t)
{
    return std::tuple(t.vertices(), t.readerVertices(), t.bounds(), t.heightRange(), t.heightTexture(),
                      t.isAnalysed(), t.maps().normals, t.maps().sunniness, t.plantableCells());
}

using Rgb = std::array<int, 3>;

Rgb pixel(const RgbImage &image, int x, int y)
{
    return {image.channel(x, y, 0), image.channel(x, y, 1), image.channel(x, y, 2)};
}

RgbImage textureOf(const std::string &dem, const HeightImages &images = bandImages())
{
    return terrainOf(dem, Defer, images).heightTexture();
}

bool listed(const TerrainModel &terrain, int c, int r)
{
    return std::ranges::count(terrain.plantableCells(), c + r * 100) > 0;
}

// The vertices of a size × size grid of 25 m cells with the given heights.
std::vector<math::Vector3f> vertexGrid(const std::function<float(int, int)> &height, int size = 100)
{
    std::vector<math::Vector3f> vertices;
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            vertices.emplace_back(25.0f * static_cast<float>(c), height(c, r), 25.0f * static_cast<float>(r));
    return vertices;
}

} // namespace

TEST(DemReader,
     theDefaultFileGivesItsFixedPointsReadAcrossAnyWhiteSpaceUpToTheLastWithMinusOneOrdinaryAndTheLocaleKept)
{
    std::string oneLine = defaultDem();
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    const TerrainModel perLine = terrainOf(defaultDem(), Defer);
    EXPECT_EQ(loaded(perLine), loaded(terrainOf(oneLine, Defer)));
    EXPECT_EQ(loaded(perLine), loaded(terrainOf(defaultDem() + "1 2 3\n4 5 6 7 trailing words\n", Defer)));
    // The default file's fixed corners and heights; positions come from the place in the file,
    // heights are relative to the lowest point.
    EXPECT_EQ(perLine.bounds(), (TerrainBounds{530500.0f, 165750.0f, 960.4f, 528025.0f, 163275.0f, 596.2f}));
    EXPECT_NEAR(perLine.heightRange(), 364.2f, 1e-3f);
    EXPECT_EQ(perLine.vertex(7, 3), math::Vector3f(175.0f, perLine.vertex(7, 3).y, 75.0f));
    EXPECT_NEAR(perLine.vertex(0, 0).y, 110.4f, 1e-3f);

    // z runs from −1 upwards and x holds −1 in one place: both are real extremes.
    std::ostringstream text;
    for (int i = 0; i < 10000; ++i)
        text << (i == 5 ? -1 : 10 + i % 100) << ' ' << 7 << ' ' << (i == 0 ? -1.0 : 2.0 + i % 13) << '\n';
    const TerrainModel terrain = terrainOf(text.str(), Defer);
    EXPECT_EQ(terrain.bounds(), (TerrainBounds{109.0f, 7.0f, 14.0f, -1.0f, 7.0f, -1.0f}));
    EXPECT_EQ(std::pair(terrain.heightRange(), terrain.vertex(1, 0).y), std::pair(15.0f, 4.0f));

    std::istringstream in(demText([](int, int) { return 1.5; }));
    const std::locale before = in.getloc();
    DemData data;
    EXPECT_TRUE(DemReader(100, 100).readDem(in, data).ok());
    EXPECT_EQ(in.getloc(), before);
}

TEST(DemReader, earlyEndsDamagedNumbersTooWideRangesAndUnopenableInputAreReportedAndChangeNothing)
{
    // A terrain holding a small synthetic hill, analysed, to see that failed loads leave it alone.
    TerrainModel terrain = terrainOf(demText([](int c, int r) { return 600.0 + (c * r) % 37; }));
    const TerrainModel before = terrain;
    const std::string good = defaultDem();
    const std::string lastButOne = good.substr(0, good.rfind('\n', good.size() - 2) + 1);
    // A text that ends inside its last point, which lacks its height, and texts with a damaged number
    // in the middle, with the points read before the end or the damage.
    std::vector<std::pair<std::string, int>> refused = {{lastButOne + "530500 163275", 9999}};
    for (const std::string bad : {"529275 165700 nan", "529275 165700 1e999", "529275 x 800"})
        refused.emplace_back(testsupport::withField(good, 5000, -1, bad), 5000);
    // Heights so far apart that their difference is not a float, or that the analysis of their
    // slopes would overflow (its normals and maps would not be numbers): refused after every point.
    for (const double high : {3e38, 2e9})
        refused.emplace_back(demText([high](int c, int r) { return (c * r) % 7 ? 0.0 : high; }), 10000);
    for (std::size_t row = 0; row < refused.size(); ++row) {
        SCOPED_TRACE(row);
        const auto &[text, points] = refused[row];
        const auto result = load(terrain, text);
        EXPECT_EQ(
            std::tuple(result.status, result.message(), result.pointsRead, result.detail.empty()),
            std::tuple(DemLoadResult::Status::ReadError, "Error reading DEM terrain file.", points, false));
    }

    const auto missing = terrain.loadDemFile("/nonexistent/folder/terrain.dmr", bandImages());
    EXPECT_EQ(std::tuple(missing.status, missing.message()),
              std::tuple(DemLoadResult::Status::CouldNotOpen, "Could not open DEM terrain file."));
    std::istringstream broken("528025 165750 706.6");
    broken.setstate(std::ios::badbit);
    EXPECT_EQ(terrain.loadDem(broken, bandImages()).status, DemLoadResult::Status::CouldNotOpen);
    EXPECT_EQ(loaded(terrain), loaded(before));

    // The widest accepted height range gives finite unit normals and finite maps.
    ASSERT_TRUE(load(terrain, demText([](int c, int r) { return (c * r) % 7 ? 0.0 : 1e9; })).ok());
    EXPECT_EQ(terrain.heightRange(), 1e9f);
    for (const auto &n : terrain.normals())
        ASSERT_NEAR(n.length(), 1.0f, 1e-5f);
    for (const auto *map :
         {&terrain.slope(), &terrain.moisture(), &terrain.sunniness(), &terrain.windiness()})
        for (const float v : *map)
            ASSERT_TRUE(std::isfinite(v));
}

TEST(TerrainModel, loadingComputesTheMapsUnlessDeferredAndKeepsThePlantArea)
{
    TerrainModel terrain = terrainOf(defaultDem(), Defer);
    EXPECT_EQ(terrain.windiness(), std::vector<float>(10000, 0.0f));
    computeTerrainMaps(terrain);
    const auto deferredThenComputed = terrain.sunniness();

    // A new DEM replaces the maps; loading the same DEM again gives the same maps.
    terrain.setLupaMinX(30);
    ASSERT_TRUE(load(terrain, demText([](int c, int) { return 100.0 + c; })).ok());
    EXPECT_NE(terrain.sunniness(), deferredThenComputed);
    ASSERT_TRUE(load(terrain, defaultDem()).ok());
    EXPECT_EQ(terrain.sunniness(), deferredThenComputed);
    EXPECT_EQ(terrain.lupaMinX(), 30); // the plant area belongs to the user, not to the DEM

    auto maps = TerrainMaps::zero(10000);
    maps.windiness.pop_back();
    EXPECT_FALSE(terrain.setMaps(maps));
    EXPECT_EQ(terrain.sunniness(), deferredThenComputed);
}

TEST(HeightTexture, pixelsBlendTheBandOfTheVertexUnderThemWithItsNeighboursAndTileTheirPicture)
{
    // Lowest corner (0, 0), highest corner (99, 99), all else in the middle of the third band.
    const auto height = [](int c, int r) { return c + r == 0 ? 0.0 : c + r == 198 ? 100.0 : 50.0; };
    const RgbImage texture = textureOf(demText(height));
    ASSERT_EQ(std::pair(texture.width(), texture.height()), std::pair(128, 128));
    // Band borders show their own picture at half brightness (pixel 1 lies in column trunc(100 × 1 /
    // 128) = 0, pixel 127 at vertex 99); the middle of a band is the mean of the bands on either side,
    // halved.
    const std::tuple<int, int, Rgb> pixels[] = {
        {0, 127, {100, 0, 0}},    {1, 127, {100, 0, 0}}, {127, 0, {125, 125, 125}}, {2, 127, {25, 75, 25}},
        {127, 127, {25, 75, 25}}, {0, 0, {25, 75, 25}},  {127, 1, {25, 75, 25}}};
    for (const auto &[x, y, rgb] : pixels)
        EXPECT_EQ(pixel(texture, x, y), rgb) << x << ',' << y;
    // The default terrain's vertex (0, 0) lies at 110.4 of 364.2: just past the middle of the second band.
    EXPECT_EQ(pixel(textureOf(defaultDem()), 0, 127), (Rgb{48, 3, 48}));

    // Pictures are tiled fifteen times and never read outside. An 8 × 8 tile whose red and green channels
    // tell the pixel's column and row.
    RgbImage tile(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, static_cast<std::uint8_t>(10 * x), static_cast<std::uint8_t>(10 * y), 7);
    // A DEM of one height has no range: everything is lowest land, shown from the first picture.
    HeightImages images = bandImages();
    images[0] = tile;
    const RgbImage tiled = textureOf(demText([](int, int) { return 700.0; }), images);
    // Column i takes picture column trunc(8 × i / 128 × 15) mod 8, row j likewise, mirrored.
    EXPECT_EQ(pixel(tiled, 100, 127 - 10), (Rgb{25, 5, 3}));
    EXPECT_EQ(pixel(tiled, 5, 127), (Rgb{20, 0, 3}));
    EXPECT_EQ(pixel(tiled, 0, 0), (Rgb{0, 35, 3})); // trunc(8 × 127 / 128 × 15) = 119 → 7

    const std::string dem = demText([](int c, int r) { return (c * 7 + r * 3) % 100; });
    HeightImages uneven = bandImages();
    uneven[2] = tile;
    uneven[3] = solid(1, 3, 9, 9, 9);
    EXPECT_EQ(textureOf(dem, uneven).width(), 128);
    EXPECT_EQ(textureOf(dem, HeightImages{}), RgbImage(128, 128)); // without pictures: black
    // A picture whose bytes do not match its size is empty.
    EXPECT_TRUE(RgbImage(2, 2, std::vector<std::uint8_t>(11)).isEmpty());
    EXPECT_TRUE(RgbImage(-1, 2).isEmpty());
}

TEST(PlantArea,
     listsTheCellsInScanOrderAboveTheBaseSeedCellsIncludeTheUpperLimitsAndLimitsBeyondTheGridAreHarmless)
{
    TerrainModel terrain = terrainOf(defaultDem(), Defer);
    const auto &cells = terrain.plantableCells();
    // Columns and rows 25 to 74; the default terrain's lowest point lies outside.
    ASSERT_EQ(cells.size(), 2500u);
    EXPECT_EQ(std::tuple(cells[0], cells[1], cells[50], cells.back()),
              std::tuple(25 + 25 * 100, 26 + 25 * 100, 25 + 26 * 100, 74 + 74 * 100));

    terrain.setLupaMinX(40);
    EXPECT_EQ(terrain.plantableCells().size(), 35u * 50u);
    EXPECT_FALSE(listed(terrain, 39, 50) || listed(terrain, 75, 50));
    const std::tuple<int, int, bool> seedCells[] = {
        {75, 50, true}, {40, 75, true}, {39, 50, false}, {76, 50, false}, {50, 76, false}};
    for (const auto &[c, r, seeds] : seedCells)
        EXPECT_EQ(terrain.isSeedCell(c, r), seeds) << c << ',' << r;
    terrain.setLupaMaxX(45);
    terrain.setLupaMinY(10);
    terrain.setLupaMaxY(12);
    EXPECT_EQ(terrain.plantableCells().size(), 5u * 2u);

    // A cell needs its own, right and lower vertex strictly above the base: height 10 everywhere
    // except the given vertices, which lie at the lowest level 0.
    const std::pair<int, int> low[] = {{30, 30}, {99, 50}, {60, 99}};
    const auto height = [&low](int c, int r) {
        return std::ranges::count(low, std::pair{c, r}) ? 500.0 : 510.0;
    };
    terrain = terrainOf(demText(height), Defer);
    terrain.setPlantArea(0, 100, 0, 100);
    terrain.rebuildPlantableCells();
    // The last column and row have no right or lower neighbour to ask.
    const std::pair<int, int> out[] = {{30, 30}, {29, 30}, {30, 29}, {99, 50}, {99, 49},
                                       {98, 50}, {60, 99}, {59, 99}, {60, 98}};
    for (const auto &[c, r] : out)
        EXPECT_FALSE(listed(terrain, c, r)) << c << ',' << r;
    EXPECT_EQ(terrain.plantableCells().size(), 10000u - 9u); // the corner (99, 99) among them
    EXPECT_EQ(std::pair(terrain.isSeedCell(30, 30), terrain.isSeedCell(29, 30)), std::pair(false, true));

    // Limits beyond the grid are harmless; the last ten rows hold three of the cells left out.
    terrain.setPlantArea(-20, 500, 90, 1000);
    terrain.rebuildPlantableCells();
    EXPECT_EQ(terrain.plantableCells().size(), 100u * 10u - 3u);
    EXPECT_EQ(std::tuple(terrain.isSeedCell(100, 95), terrain.isSeedCell(-1, 95), terrain.isSeedCell(99, 99)),
              std::tuple(false, false, true));
}

TEST(SunPath, runsFromSunriseOverNoonToSunsetWithTheNoonWeightedTwiceAndAFlatTerrainSeesItAll)
{
    // Sunrise and sunset lie 0.37 up towards +x and −x, noon 44° high over −z. Before noon x eases in
    // and z out (1 − cos and sin of a quarter turn), after noon the other way round; worked out afresh
    // in double precision.
    const std::pair<std::size_t, math::Vector3f> known[] = {{0, {0.9378618f, 0.0f, 0.3470089f}},
                                                            {3, {0.9582165f, 0.2389662f, -0.1572142f}},
                                                            {10, {0.0f, 0.6946584f, -0.7193398f}},
                                                            {16, {-0.8873296f, 0.3249524f, -0.3271882f}}};
    const auto directions = SunPath::directions();
    ASSERT_EQ(directions.size(), 21u);
    for (const auto &[k, direction] : known)
        expectNear(directions[k], direction, 1e-6f);
    EXPECT_EQ(TerrainModel().sunDirections(), directions);

    // A flat terrain sees the whole sky, with the weights rising linearly to noon; its first row and
    // column are dry.
    const TerrainModel terrain = terrainOf(demText([](int, int) { return 700.0; }));
    double weighted = 0;
    for (std::size_t k = 0; k <= 20; ++k)
        weighted +=
            (k <= 10 ? 1 + 2.0 * static_cast<double>(k) / 20 : 3 - 2.0 * static_cast<double>(k) / 20) *
            std::max(0.0f, directions[k].y);
    for (std::size_t i = 0; i < 10000; ++i) {
        ASSERT_NEAR(terrain.sunniness()[i], weighted / 21, 1e-5) << i;
        ASSERT_EQ(terrain.moisture()[i], (i % 100 == 0 || i < 100) ? 0.0f : 1.0f) << i;
    }
}

TEST(TerrainMaps, normalsAreUnitCrossProductsAndTheLastRowAndColumnCopyTheirNeighbours)
{
    // Rising 25 m per column: a 45° slope facing −x, the same normal everywhere.
    const TerrainModel plane = terrainOf(demText([](int c, int) { return 500.0 + 25.0 * c; }));
    const float s = std::sqrt(0.5f);
    for (const auto &n : plane.normals())
        expectNear(n, {-s, s, 0.0f}, 1e-6f);
    EXPECT_NEAR(at(plane.slope(), 99, 99), 1.0f - s, 1e-6f);

    std::vector<math::Vector3f> grid;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            grid.emplace_back(25.0f * static_cast<float>(c), static_cast<float>((c * 7 + r * r * 5) % 11),
                              25.0f * static_cast<float>(r));
    const auto normals = NormalComputation::compute(grid, 3, 4);
    EXPECT_EQ(normals[0],
              (grid[0] - grid[1]).cross(grid[3] - grid[1]).normalized()); // at the right neighbour
    // (2, 0) ← (1, 0), (2, 1) ← (1, 1), (0, 3) ← (0, 2) and (2, 3) ← (1, 2).
    for (const auto &[copy, original] : {std::pair{2, 1}, {5, 4}, {9, 6}, {11, 7}})
        EXPECT_EQ(normals[static_cast<std::size_t>(copy)], normals[static_cast<std::size_t>(original)])
            << copy;
}

TEST(TerrainMaps, cliffOfFortyDegreesOrMoreUpwindShelters)
{
    // Rows 0…49 raised by `rise` metres above the rest: a wall facing +z at row 50.
    const auto wall = [](double rise) {
        return terrainOf(demText([rise](int, int r) { return r < 50 ? 600.0 + rise : 600.0; }));
    };
    const double pi = std::numbers::pi;
    const TerrainModel steep = wall(25.0); // 45°
    EXPECT_EQ(at(steep.windiness(), 40, 50), 0.0f);
    // Further away the wall is seen lower: six rows off it rises atan(25 / 150).
    EXPECT_NEAR(at(steep.windiness(), 40, 55), 1.0 - std::atan(25.0 / 150.0) / (40 * pi / 180), 1e-5);
    // More than ten rows away it is out of reach; on top of it and on row 0 the wind is free.
    for (int row : {60, 49, 0})
        EXPECT_EQ(at(steep.windiness(), 40, row), 1.0f) << row;
    EXPECT_NEAR(at(wall(25.0 * std::tan(40 * pi / 180)).windiness(), 40, 50), 0.0f, 1e-5f);
    EXPECT_NEAR(at(wall(25.0 * std::tan(30 * pi / 180)).windiness(), 40, 50), 0.25f, 1e-5f);
}

TEST(TerrainMaps, ridgeCastsMorningShadowOnItsWestAndEveningShadowOnItsEast)
{
    // A ridge 200 m high along column 50, running across all rows.
    const TerrainModel terrain =
        terrainOf(demText([](int c, int) { return 600.0 + std::max(0, 200 - 40 * std::abs(c - 50)); }));
    const TerrainGeometry geometry(terrain.vertices(), 100, 100, 2500.0f, 2500.0f);
    const SunninessComputation sun(geometry);
    // Sunrise lies towards +x; at noon the sun stands over −z, along the ridge; a low sun finds the
    // ridge from anywhere; the crest is never shadowed.
    const struct {
        int column, sun;
        float factor;
    } cases[] = {{44, 0, 0.2f},  {56, 0, 1.0f}, {56, 20, 0.2f}, {44, 20, 1.0f},
                 {44, 10, 1.0f}, {5, 0, 0.2f},  {5, 5, 1.0f},   {50, 20, 1.0f}};
    for (const auto &c : cases)
        EXPECT_EQ(sun.shadowFactor(c.column, 50, c.sun), c.factor) << c.column << " sun " << c.sun;
    EXPECT_LT(at(terrain.sunniness(), 44, 50), at(terrain.sunniness(), 5, 50));
    EXPECT_LT(at(terrain.sunniness(), 56, 50), at(terrain.sunniness(), 95, 50));
}

TEST(TerrainMaps, shortcutShadowMarchesDecideLikeTheFullMarch)
{
    // Rugged land with peaks, pits and plateaus; every vertex and sun position is checked against
    // a march that computes every angle until it leaves the grid.
    const TerrainModel terrain = terrainOf(demText([](int c, int r) {
        return 600.0 + 150.0 * std::sin(c * 0.21) * std::cos(r * 0.13 + 1.0) +
               40.0 * std::sin(c * r * 0.004) + (c > 60 && r > 60 ? 80.0 : 0.0);
    }));
    const TerrainGeometry geometry(terrain.vertices(), 100, 100, 2500.0f, 2500.0f);
    const SunninessComputation sun(geometry);
    const auto fullMarch = [&](int c, int r, int k) {
        const math::Vector3f d = sun.directions()[static_cast<std::size_t>(k)];
        const float elevation = std::asin(d.y / d.length());
        const math::Vector3f origin = geometry.worldPosition(static_cast<float>(c), static_cast<float>(r));
        for (float x = static_cast<float>(c) + d.x, y = static_cast<float>(r) + d.z;
             x >= 0.0f && x < 100.0f && y >= 0.0f && y < 100.0f; x += d.x, y += d.z)
            if (TerrainGeometry::elevationAngle(origin, geometry.worldPosition(x, y)) > elevation)
                return 0.2f;
        return 1.0f;
    };
    int shadowed = 0;
    for (int r = 0; r < 100; ++r)
        for (int c = 0; c < 100; ++c)
            for (int k = 0; k < 21; ++k) {
                const float expected = fullMarch(c, r, k);
                ASSERT_EQ(sun.shadowFactor(c, r, k), expected) << c << ',' << r << " sun " << k;
                shadowed += expected < 1.0f;
            }
    EXPECT_GT(shadowed, 10000); // the land really does cast shadows
}

TEST(Moisture, flowsDownFromTheHighestVertexFirstKeepsOneMinusTenTimesTheSlopeAndIsSmoothedAndCapped)
{
    const auto moistureGrid = vertexGrid([](int c, int r) { return c == 50 && r == 50 ? 0.0f : 10.0f; });
    const MoistureComputation moisture(moistureGrid, 100, 100);
    auto steep = moisture.initialWater(10.0f, 0.0f);
    moisture.flow(steep, std::vector<float>(10000, 0.5f)); // a slope of 0.1 or more passes everything on
    EXPECT_EQ(at(steep, 50, 50), 5.0f);
    for (const auto &[c, r] : {std::pair{49, 50}, {51, 50}, {50, 49}, {50, 51}})
        EXPECT_EQ(at(steep, c, r), 0.0f);
    EXPECT_EQ(at(steep, 10, 10), 1.0f); // equal neighbours take nothing

    // Water runs down from the highest vertex first: every row falls towards the last column; on a steep
    // slope all water ends there.
    const auto chainGrid = vertexGrid([](int c, int) { return 100.0f - static_cast<float>(c); });
    const MoistureComputation chain(chainGrid, 100, 100);
    auto water = chain.initialWater(99.0f, 0.0f);
    chain.flow(water, std::vector<float>(10000, 0.2f));
    for (int r : {0, 37, 99})
        EXPECT_EQ(std::pair(at(water, 99, r), at(water, 98, r)), std::pair(100.0f, 0.0f)) << r;
    // A peak at (20, 20) with the four neighbours lower and everything else lower still.
    const auto peakGrid = vertexGrid([](int c, int r) {
        const int d = std::abs(c - 20) + std::abs(r - 20);
        return d == 0 ? 50.0f : d == 1 ? 40.0f : 0.0f;
    });
    const MoistureComputation peak(peakGrid, 100, 100);
    water = peak.initialWater(50.0f, 0.0f);
    std::vector<float> slope(10000, 0.0f);
    slope[20 + 20 * 100] = 0.05f; // passes half, a quarter of that to each side
    peak.flow(water, slope);
    EXPECT_FLOAT_EQ(at(water, 20, 20), 0.5f);
    EXPECT_FLOAT_EQ(at(water, 20, 19), 1.125f);
    EXPECT_FLOAT_EQ(at(water, 21, 20), 1.125f);

    // Smoothing uses the values already replaced; borders are cleared and the interior capped.
    const auto smallGrid = vertexGrid([](int, int) { return 0.0f; }, 4);
    const MoistureComputation small(smallGrid, 4, 4);
    water.assign(16, 0.0f);
    water[5] = 5.0f; // (1, 1)
    small.smooth(water);
    EXPECT_EQ(water[5], 1.0f);
    // (2, 2): (0.2 + 0.2) / 5, its left and upper neighbours already holding a fifth of the new (1, 1).
    EXPECT_FLOAT_EQ(water[10], 0.08f);

    water.assign(16, 3.0f);
    small.finishBorders(water);
    EXPECT_EQ(water, (std::vector<float>{0, 0, 0, 0, 0, 1, 1, 3, 0, 1, 1, 3, 0, 3, 3, 3})); // far edges kept

    const auto belowGrid = vertexGrid([](int c, int) { return static_cast<float>(c); });
    const MoistureComputation below(belowGrid, 100, 100);
    const auto initial = below.initialWater(99.0f, 0.1f); // base height 9.9
    EXPECT_EQ(std::pair(at(initial, 9, 3), at(initial, 10, 3)), std::pair(11.0f, 1.0f));
}
