#include "core/terrain/demtext.h"
#include "ecosystem/terrain/demreader.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

using ecosystem::DemLoadResult;
using ecosystem::TerrainModel;
using namespace terraintest;

namespace {

std::string firstLines(const std::string &text, int lines)
{
    std::size_t end = 0;
    for (int i = 0; i < lines; ++i)
        end = text.find('\n', end) + 1;
    return text.substr(0, end);
}

void expectSameTerrain(const TerrainModel &a, const TerrainModel &b)
{
    EXPECT_EQ(a.vertices(), b.vertices());
    EXPECT_EQ(a.readerVertices(), b.readerVertices());
    EXPECT_EQ(a.bounds(), b.bounds());
    EXPECT_EQ(a.heightRange(), b.heightRange());
    EXPECT_EQ(a.heightTexture(), b.heightTexture());
    EXPECT_EQ(a.isAnalysed(), b.isAnalysed());
    EXPECT_EQ(a.normals(), b.normals());
    EXPECT_EQ(a.slope(), b.slope());
    EXPECT_EQ(a.moisture(), b.moisture());
    EXPECT_EQ(a.sunniness(), b.sunniness());
    EXPECT_EQ(a.windiness(), b.windiness());
    EXPECT_EQ(a.plantableCells(), b.plantableCells());
}

// A terrain holding a small synthetic hill, analysed, to see that failed loads leave it alone.
TerrainModel analysedHill()
{
    TerrainModel terrain;
    const auto result = load(terrain, demText([](int c, int r) { return 600.0 + (c * r) % 37; }));
    EXPECT_TRUE(result.ok());
    return terrain;
}

} // namespace

TEST(TerrainModel, startsFlatWithTheDocumentedFields)
{
    const TerrainModel terrain;
    EXPECT_EQ(terrain.width(), 100);
    EXPECT_EQ(terrain.height(), 100);
    EXPECT_EQ(terrain.heightRange(), 500.0f);
    EXPECT_EQ(terrain.extent(), math::Vector3f(2500.0f, 1000.0f, 2500.0f));
    EXPECT_EQ(terrain.baseLevel(), 0.0f);
    EXPECT_EQ(terrain.cellSize(), 25.0f);
    EXPECT_EQ(terrain.bounds(), ecosystem::TerrainBounds{});
    EXPECT_EQ(terrain.lupaMinX(), 25);
    EXPECT_EQ(terrain.lupaMaxX(), 75);
    EXPECT_EQ(terrain.lupaMinY(), 25);
    EXPECT_EQ(terrain.lupaMaxY(), 75);
    EXPECT_FALSE(terrain.isAnalysed());
    ASSERT_EQ(terrain.vertices().size(), 10000u);
    EXPECT_EQ(terrain.vertex(7, 3), math::Vector3f(175.0f, 0.0f, 75.0f));
    EXPECT_EQ(terrain.moisture(), std::vector<float>(10000, 0.0f));
    EXPECT_EQ(terrain.heightTexture().width(), 128);
    EXPECT_EQ(terrain.heightTexture().height(), 128);
    EXPECT_EQ(terrain.sunDirections().size(), 21u);
    // Every vertex lies at the lowest height, so nothing can be planted yet.
    EXPECT_TRUE(terrain.plantableCells().empty());
}

TEST(DefaultTerrain, hasTheDocumentedHeightsAndBounds)
{
    TerrainModel terrain;
    const auto result = load(terrain, readFile(defaultDemPath()), TerrainModel::MapUpdate::Defer);
    ASSERT_TRUE(result.ok()) << result.detail;
    EXPECT_EQ(result.pointsRead, 10000);
    EXPECT_NEAR(terrain.heightRange(), 364.2f, 1e-3f);
    EXPECT_NEAR(terrain.vertex(0, 0).y, 110.4f, 1e-3f);
    EXPECT_NEAR(terrain.vertex(1, 0).y, 112.9f, 1e-3f);
    EXPECT_EQ(terrain.bounds().maxX, 530500.0f);
    EXPECT_EQ(terrain.bounds().minX, 528025.0f);
    EXPECT_EQ(terrain.bounds().maxY, 165750.0f);
    EXPECT_EQ(terrain.bounds().minY, 163275.0f);
    EXPECT_EQ(terrain.bounds().minZ, 596.2f);
    EXPECT_EQ(terrain.bounds().maxZ, 960.4f);

    // Positions come from the place in the file, heights are relative to the lowest point.
    EXPECT_EQ(terrain.vertex(99, 99).x, 2475.0f);
    EXPECT_EQ(terrain.vertex(99, 99).z, 2475.0f);
    const auto [low, high] = std::minmax_element(terrain.vertices().begin(), terrain.vertices().end(),
                                                 [](const auto &a, const auto &b) { return a.y < b.y; });
    EXPECT_EQ(low->y, 0.0f);
    EXPECT_NEAR(high->y, 364.2f, 1e-3f);
    EXPECT_EQ(terrain.readerVertices(), terrain.vertices());
    EXPECT_FALSE(terrain.isAnalysed());
}

TEST(DefaultTerrain, readsTheSameWithAllPointsOnOneLineOrWithExtraNumbers)
{
    const std::string text = readFile(defaultDemPath());
    std::string oneLine = text;
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    ASSERT_EQ(std::count(oneLine.begin(), oneLine.end(), '\n'), 0);

    TerrainModel perLine;
    TerrainModel single;
    TerrainModel extra;
    ASSERT_TRUE(load(perLine, text, TerrainModel::MapUpdate::Defer).ok());
    ASSERT_TRUE(load(single, oneLine, TerrainModel::MapUpdate::Defer).ok());
    ASSERT_TRUE(load(extra, text + "1 2 3\n4 5 6 7 trailing words\n", TerrainModel::MapUpdate::Defer).ok());
    expectSameTerrain(perLine, single);
    expectSameTerrain(perLine, extra);
}

TEST(DemReader, earlyEndReportsOnceAndKeepsThePreviousTerrain)
{
    TerrainModel terrain = analysedHill();
    const TerrainModel before = terrain;

    const auto result = load(terrain, firstLines(readFile(defaultDemPath()), 9999));
    EXPECT_EQ(result.status, DemLoadResult::Status::ReadError);
    EXPECT_EQ(result.message(), "Error reading DEM terrain file.");
    EXPECT_EQ(result.pointsRead, 9999);
    expectSameTerrain(terrain, before);

    // A last point that lacks its height is just as incomplete.
    const auto partial = load(terrain, firstLines(readFile(defaultDemPath()), 9999) + "530500 163275");
    EXPECT_EQ(partial.status, DemLoadResult::Status::ReadError);
    EXPECT_EQ(partial.pointsRead, 9999);
    expectSameTerrain(terrain, before);

    EXPECT_EQ(load(terrain, "").status, DemLoadResult::Status::ReadError);
    expectSameTerrain(terrain, before);
}

TEST(DemReader, damagedNumbersAreReadErrorsAndChangeNothing)
{
    TerrainModel terrain = analysedHill();
    const TerrainModel before = terrain;
    const std::string good = readFile(defaultDemPath());
    const std::string head = firstLines(good, 5000);
    const std::string tail = good.substr(firstLines(good, 5001).size());

    for (const std::string bad : {"529275 165700 abc", "529275 165700 nan", "529275 165700 inf",
                                  "529275 165700 1e999", "529275 x 800", "529275 165700 -"}) {
        const auto result = load(terrain, head + bad + "\n" + tail);
        EXPECT_EQ(result.status, DemLoadResult::Status::ReadError) << bad;
        EXPECT_EQ(result.message(), "Error reading DEM terrain file.") << bad;
        EXPECT_EQ(result.pointsRead, 5000) << bad;
        EXPECT_FALSE(result.detail.empty());
    }
    // Heights so far apart that their difference is not a float, or that the analysis of their
    // slopes would overflow (its normals and maps would not be numbers).
    for (const double high : {3e38, 3e38 / 2, 1e30, 2e9}) {
        const auto result = load(terrain, demText([high](int c, int r) { return (c * r) % 7 ? 0.0 : high; }));
        EXPECT_EQ(result.status, DemLoadResult::Status::ReadError) << high;
        EXPECT_NE(result.detail.find("span"), std::string::npos) << result.detail;
    }
    expectSameTerrain(terrain, before);
}

TEST(DemReader, theWidestAcceptedHeightRangeGivesFiniteUnitNormalsAndFiniteMaps)
{
    TerrainModel terrain;
    ASSERT_TRUE(load(terrain, demText([](int c, int r) { return (c * r) % 7 ? 0.0 : 1e9; })).ok());
    EXPECT_EQ(terrain.heightRange(), 1e9f);
    for (const auto &n : terrain.normals())
        ASSERT_NEAR(n.length(), 1.0f, 1e-5f);
    for (const auto *map :
         {&terrain.slope(), &terrain.moisture(), &terrain.sunniness(), &terrain.windiness()})
        for (const float v : *map)
            ASSERT_TRUE(std::isfinite(v));
}

TEST(DemReader, unopenableInputIsReportedAsSuch)
{
    TerrainModel terrain = analysedHill();
    const TerrainModel before = terrain;

    const auto missing = terrain.loadDemFile("/nonexistent/folder/terrain.dmr", bandImages());
    EXPECT_EQ(missing.status, DemLoadResult::Status::CouldNotOpen);
    EXPECT_EQ(missing.message(), "Could not open DEM terrain file.");

    std::istringstream broken("528025 165750 706.6");
    broken.setstate(std::ios::badbit);
    EXPECT_EQ(terrain.loadDem(broken, bandImages()).status, DemLoadResult::Status::CouldNotOpen);
    expectSameTerrain(terrain, before);

    EXPECT_TRUE(terrain.loadDemFile(defaultDemPath(), bandImages()).ok());
    EXPECT_TRUE(terrain.isAnalysed());
    EXPECT_EQ(DemLoadResult{}.message(), "");
}

TEST(DemReader, boundsTreatMinusOneAsAnOrdinaryValue)
{
    // z runs from −1 upwards and x holds −1 in one place: both are real extremes.
    TerrainModel terrain;
    std::ostringstream text;
    for (int i = 0; i < 10000; ++i)
        text << (i == 5 ? -1 : 10 + i % 100) << ' ' << 7 << ' ' << (i == 0 ? -1.0 : 2.0 + i % 13) << '\n';
    ASSERT_TRUE(load(terrain, text.str(), TerrainModel::MapUpdate::Defer).ok());
    EXPECT_EQ(terrain.bounds(), (ecosystem::TerrainBounds{109.0f, 7.0f, 14.0f, -1.0f, 7.0f, -1.0f}));
    EXPECT_EQ(terrain.heightRange(), 15.0f);
    EXPECT_EQ(terrain.vertex(0, 0).y, 0.0f);
    EXPECT_EQ(terrain.vertex(1, 0).y, 4.0f);
}

TEST(DemReader, aCallersLocaleIsRestoredAfterReading)
{
    std::istringstream in(demText([](int, int) { return 1.5; }));
    const std::locale before = in.getloc();
    ecosystem::DemData data;
    EXPECT_TRUE(ecosystem::DemReader(100, 100).readDem(in, data).ok());
    EXPECT_EQ(in.getloc(), before);
    EXPECT_EQ(data.heightRange, 0.0f);
    EXPECT_EQ(data.readerVertices.size(), 10000u);
}

TEST(TerrainModel, loadingComputesTheMapsUnlessDeferred)
{
    TerrainModel terrain;
    ASSERT_TRUE(load(terrain, readFile(defaultDemPath()), TerrainModel::MapUpdate::Defer).ok());
    EXPECT_FALSE(terrain.isAnalysed());
    EXPECT_EQ(terrain.windiness(), std::vector<float>(10000, 0.0f));

    ecosystem::computeTerrainMaps(terrain);
    EXPECT_TRUE(terrain.isAnalysed());
    const auto deferredThenComputed = terrain.maps().sunniness;

    // A new DEM replaces the maps; loading the same DEM again gives the same maps.
    ASSERT_TRUE(load(terrain, demText([](int c, int) { return 100.0 + c; })).ok());
    EXPECT_TRUE(terrain.isAnalysed());
    EXPECT_NE(terrain.sunniness(), deferredThenComputed);
    ASSERT_TRUE(load(terrain, readFile(defaultDemPath())).ok());
    EXPECT_EQ(terrain.sunniness(), deferredThenComputed);

    // The plant area belongs to the user, not to the DEM.
    terrain.setLupaMinX(30);
    ASSERT_TRUE(load(terrain, demText([](int c, int) { return 100.0 + c; })).ok());
    EXPECT_EQ(terrain.lupaMinX(), 30);
}

TEST(TerrainModel, setMapsRefusesMapsOfTheWrongSize)
{
    TerrainModel terrain;
    auto maps = ecosystem::TerrainMaps::zero(10000);
    maps.windiness.pop_back();
    EXPECT_FALSE(terrain.setMaps(maps));
    EXPECT_FALSE(terrain.isAnalysed());
    EXPECT_TRUE(terrain.setMaps(ecosystem::TerrainMaps::zero(10000)));
    EXPECT_TRUE(terrain.isAnalysed());
}
