#include "core/terrain/demtext.h"
#include "core/vectornear.h"
#include "ecosystem/terrain/normalcomputation.h"
#include "ecosystem/terrain/sunninesscomputation.h"
#include "ecosystem/terrain/sunpath.h"

#include <cmath>
#include <numbers>

using ecosystem::TerrainModel;
using namespace terraintest;

namespace {

// The sun's course worked out afresh in double precision from its three fixed directions.
std::vector<std::array<double, 3>> referenceSunCourse()
{
    const double pi = std::numbers::pi;
    auto unit = [](std::array<double, 3> v) {
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        return std::array<double, 3>{v[0] / l, v[1] / l, v[2] / l};
    };
    const auto rise = unit({1, 0, 0.37});
    const auto set = unit({-1, 0, 0.37});
    const std::array<double, 3> high{0, std::sin(44 * pi / 180), -std::cos(44 * pi / 180)};
    std::vector<std::array<double, 3>> course;
    for (int k = 0; k <= 20; ++k) {
        const double t = (k <= 10 ? k : k - 10) / 10.0, a = t * pi / 2;
        if (k <= 10)
            course.push_back(
                unit({rise[0] + (1 - std::cos(a)) * (high[0] - rise[0]), rise[1] + t * (high[1] - rise[1]),
                      rise[2] + std::sin(a) * (high[2] - rise[2])}));
        else
            course.push_back(
                unit({high[0] + std::sin(a) * (set[0] - high[0]), high[1] + t * (set[1] - high[1]),
                      high[2] + (1 - std::cos(a)) * (set[2] - high[2])}));
    }
    return course;
}

} // namespace

TEST(DefaultTerrain, holdsTheFixedPointsAndHeightsAndIsVariedLandForEveryMap)
{
    const TerrainModel terrain = terrainOf(defaultDem());
    EXPECT_EQ(terrain.bounds(),
              (ecosystem::TerrainBounds{530500.0f, 165750.0f, 960.4f, 528025.0f, 163275.0f, 596.2f}));
    EXPECT_NEAR(terrain.heightRange(), 364.2f, 1e-3f);
    EXPECT_NEAR(terrain.vertex(0, 0).y, 110.4f, 1e-3f);
    for (const auto &n : terrain.normals())
        ASSERT_NEAR(n.length(), 1.0f, 1e-5f);
    // Each map within its bounds and varied by more than 0.05.
    const std::tuple<const std::vector<float> *, float> maps[] = {
        {&terrain.slope(), 1.0f},
        {&terrain.moisture(), INFINITY},
        {&terrain.sunniness(), 31.0f / 21.0f + 1e-6f},
        {&terrain.windiness(), 1.0f}};
    for (const auto &[map, bound] : maps) {
        for (const float v : *map)
            ASSERT_TRUE(v >= 0.0f && v <= bound) << v; // and a number
        const auto [low, high] = std::minmax_element(map->begin(), map->end());
        EXPECT_LT(*low + 0.05f, *high);
    }
}

TEST(SunPath, runsFromSunriseOverNoonToSunsetWithTheNoonWeightedTwice)
{
    const auto directions = ecosystem::SunPath::directions();
    const auto reference = referenceSunCourse();
    ASSERT_EQ(directions.size(), 21u);
    for (std::size_t k = 0; k < 21; ++k) {
        EXPECT_NEAR(directions[k].x, reference[k][0], 1e-6) << k;
        EXPECT_NEAR(directions[k].y, reference[k][1], 1e-6) << k;
        EXPECT_NEAR(directions[k].z, reference[k][2], 1e-6) << k;
    }
    EXPECT_EQ(directions[0].y, 0.0f);
    EXPECT_NEAR(directions[10].y, 0.6946584, 1e-6);
    using ecosystem::SunPath;
    EXPECT_EQ(std::tuple(SunPath::weight(0), SunPath::weight(10), SunPath::weight(20)),
              std::tuple(1.0f, 2.0f, 1.0f));
    EXPECT_EQ(TerrainModel().sunDirections(), directions);
}

TEST(TerrainMaps, flatTerrainHasNoSlopeNoFlowFullWindAndOpenSky)
{
    const TerrainModel terrain = terrainOf(demText([](int, int) { return 700.0; }));
    const auto reference = referenceSunCourse();
    double weighted = 0;
    for (std::size_t k = 0; k <= 20; ++k)
        weighted +=
            (k <= 10 ? 1 + 2.0 * static_cast<double>(k) / 20 : 3 - 2.0 * static_cast<double>(k) / 20) *
            std::max(0.0, reference[k][1]);
    for (int r = 0; r < 100; ++r)
        for (int c = 0; c < 100; ++c) {
            const auto i = static_cast<std::size_t>(c + r * 100);
            ASSERT_EQ(terrain.normals()[i], math::Vector3f(0.0f, 1.0f, 0.0f)) << c << ',' << r;
            ASSERT_EQ(terrain.slope()[i], 0.0f);
            ASSERT_EQ(terrain.windiness()[i], 1.0f);
            ASSERT_NEAR(terrain.sunniness()[i], weighted / 21, 1e-5);
            ASSERT_EQ(terrain.moisture()[i], (c == 0 || r == 0) ? 0.0f : 1.0f) << c << ',' << r;
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
    const auto normals = ecosystem::NormalComputation::compute(grid, 3, 4);
    EXPECT_EQ(normals[0],
              (grid[0] - grid[1]).cross(grid[3] - grid[1]).normalized()); // at the right neighbour
    EXPECT_EQ(normals[2], normals[1]);                                    // (2, 0) ← (1, 0)
    EXPECT_EQ(normals[5], normals[4]);                                    // (2, 1) ← (1, 1)
    EXPECT_EQ(normals[9], normals[6]);                                    // (0, 3) ← (0, 2)
    EXPECT_EQ(normals[11], normals[7]);                                   // (2, 3) ← (1, 2)
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
    const ecosystem::TerrainGeometry geometry(terrain.vertices(), 100, 100, 2500.0f, 2500.0f);
    const ecosystem::SunninessComputation sun(geometry);
    // Sunrise lies towards +x; at noon the sun stands over −z, along the ridge; a low sun finds the
    // ridge from anywhere; the crest is never shadowed.
    const struct {
        int column, sun;
        float factor;
    } cases[] = {{44, 0, 0.2f},  {44, 3, 0.2f},  {56, 0, 1.0f},  {56, 20, 0.2f},
                 {56, 17, 0.2f}, {44, 20, 1.0f}, {44, 10, 1.0f}, {5, 0, 0.2f},
                 {5, 5, 1.0f},   {50, 0, 1.0f},  {50, 10, 1.0f}, {50, 20, 1.0f}};
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
    const ecosystem::TerrainGeometry geometry(terrain.vertices(), 100, 100, 2500.0f, 2500.0f);
    const ecosystem::SunninessComputation sun(geometry);
    const auto fullMarch = [&](int c, int r, int k) {
        const math::Vector3f d = sun.directions()[static_cast<std::size_t>(k)];
        const float elevation = std::asin(d.y / d.length());
        const math::Vector3f origin = geometry.worldPosition(static_cast<float>(c), static_cast<float>(r));
        for (float x = static_cast<float>(c) + d.x, y = static_cast<float>(r) + d.z;
             x >= 0.0f && x < 100.0f && y >= 0.0f && y < 100.0f; x += d.x, y += d.z)
            if (ecosystem::TerrainGeometry::elevationAngle(origin, geometry.worldPosition(x, y)) > elevation)
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
