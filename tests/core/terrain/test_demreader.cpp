#include "core/terrain/demtext.h"
#include "ecosystem/terrain/demreader.h"

#include <algorithm>
#include <cmath>

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
    EXPECT_EQ(a.maps().normals, b.maps().normals);
    EXPECT_EQ(a.maps().sunniness, b.maps().sunniness);
    EXPECT_EQ(a.plantableCells(), b.plantableCells());
}

// A terrain holding a small synthetic hill, analysed, to see that failed loads leave it alone.
TerrainModel analysedHill()
{
    return terrainOf(demText([](int c, int r) { return 600.0 + (c * r) % 37; }));
}

} // namespace

TEST(DemReader, pointsAreReadAcrossAnyWhiteSpaceAndNumbersAfterTheLastAreIgnored)
{
    std::string oneLine = defaultDem();
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    const TerrainModel perLine = terrainOf(defaultDem(), TerrainModel::MapUpdate::Defer);
    expectSameTerrain(perLine, terrainOf(oneLine, TerrainModel::MapUpdate::Defer));
    expectSameTerrain(
        perLine, terrainOf(defaultDem() + "1 2 3\n4 5 6 7 trailing words\n", TerrainModel::MapUpdate::Defer));
    // Positions come from the place in the file, heights are relative to the lowest point.
    EXPECT_EQ(perLine.vertex(7, 3), math::Vector3f(175.0f, perLine.vertex(7, 3).y, 75.0f));
    EXPECT_EQ(perLine.vertex(99, 99).x, 2475.0f);
    EXPECT_EQ(perLine.readerVertices(), perLine.vertices());
}

TEST(DemReader, earlyEndsDamagedNumbersTooWideRangesAndUnopenableInputAreReportedAndChangeNothing)
{
    TerrainModel terrain = analysedHill();
    const TerrainModel before = terrain;
    const std::string good = defaultDem();
    const std::string lastButOne = firstLines(good, 9999);
    // A last point that lacks its height is just as incomplete.
    for (const std::string &text : {lastButOne, lastButOne + "530500 163275"}) {
        const auto result = load(terrain, text);
        EXPECT_EQ(result.status, DemLoadResult::Status::ReadError);
        EXPECT_EQ(result.message(), "Error reading DEM terrain file.");
        EXPECT_EQ(result.pointsRead, 9999);
    }
    EXPECT_EQ(load(terrain, "").status, DemLoadResult::Status::ReadError);

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

    const auto missing = terrain.loadDemFile("/nonexistent/folder/terrain.dmr", bandImages());
    EXPECT_EQ(missing.status, DemLoadResult::Status::CouldNotOpen);
    EXPECT_EQ(missing.message(), "Could not open DEM terrain file.");
    std::istringstream broken("528025 165750 706.6");
    broken.setstate(std::ios::badbit);
    EXPECT_EQ(terrain.loadDem(broken, bandImages()).status, DemLoadResult::Status::CouldNotOpen);
    expectSameTerrain(terrain, before);
    EXPECT_EQ(DemLoadResult{}.message(), "");

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

TEST(DemReader, boundsTreatMinusOneAsAnOrdinaryValueAndTheCallersLocaleIsRestored)
{
    // z runs from −1 upwards and x holds −1 in one place: both are real extremes.
    std::ostringstream text;
    for (int i = 0; i < 10000; ++i)
        text << (i == 5 ? -1 : 10 + i % 100) << ' ' << 7 << ' ' << (i == 0 ? -1.0 : 2.0 + i % 13) << '\n';
    const TerrainModel terrain = terrainOf(text.str(), TerrainModel::MapUpdate::Defer);
    EXPECT_EQ(terrain.bounds(), (ecosystem::TerrainBounds{109.0f, 7.0f, 14.0f, -1.0f, 7.0f, -1.0f}));
    EXPECT_EQ(terrain.heightRange(), 15.0f);
    EXPECT_EQ(terrain.vertex(1, 0).y, 4.0f);

    std::istringstream in(demText([](int, int) { return 1.5; }));
    const std::locale before = in.getloc();
    ecosystem::DemData data;
    EXPECT_TRUE(ecosystem::DemReader(100, 100).readDem(in, data).ok());
    EXPECT_EQ(in.getloc(), before);
    EXPECT_EQ(data.heightRange, 0.0f);
}

TEST(TerrainModel, loadingComputesTheMapsUnlessDeferredAndKeepsThePlantArea)
{
    TerrainModel terrain = terrainOf(defaultDem(), TerrainModel::MapUpdate::Defer);
    EXPECT_FALSE(terrain.isAnalysed());
    EXPECT_EQ(terrain.windiness(), std::vector<float>(10000, 0.0f));
    ecosystem::computeTerrainMaps(terrain);
    EXPECT_TRUE(terrain.isAnalysed());
    const auto deferredThenComputed = terrain.sunniness();

    // A new DEM replaces the maps; loading the same DEM again gives the same maps.
    terrain.setLupaMinX(30);
    ASSERT_TRUE(load(terrain, demText([](int c, int) { return 100.0 + c; })).ok());
    EXPECT_NE(terrain.sunniness(), deferredThenComputed);
    ASSERT_TRUE(load(terrain, defaultDem()).ok());
    EXPECT_EQ(terrain.sunniness(), deferredThenComputed);
    EXPECT_EQ(terrain.lupaMinX(), 30); // the plant area belongs to the user, not to the DEM

    auto maps = ecosystem::TerrainMaps::zero(10000);
    maps.windiness.pop_back();
    EXPECT_FALSE(terrain.setMaps(maps));
    EXPECT_EQ(terrain.sunniness(), deferredThenComputed);
}
