// Checks the built-in default terrain file against the facts the program relies on: its
// layout (10 000 points, row-major, 25 m steps), its fixed first points and height range, and
// that it is varied land on which every terrain map has something to show.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 100;
constexpr double kPi = 3.14159265358979323846;

struct DemPoint {
    long x = 0;
    long y = 0;
    double z = 0;
};

class DefaultTerrainFile : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::ifstream in(VERDALIS_SOURCE_DIR "/gui/textures/100x100.dmr");
        ASSERT_TRUE(in.is_open());
        std::string line;
        while (std::getline(in, line))
            lines_.push_back(line);
        for (const std::string &l : lines_) {
            std::istringstream s(l);
            DemPoint p;
            s >> p.x >> p.y >> p.z;
            points_.push_back(p);
        }
    }

    static double z(int column, int row) { return points_[std::size_t(row * kSize + column)].z; }

    static std::vector<std::string> lines_;
    static std::vector<DemPoint> points_;
};

std::vector<std::string> DefaultTerrainFile::lines_;
std::vector<DemPoint> DefaultTerrainFile::points_;

TEST_F(DefaultTerrainFile, holdsTenThousandPointsOfThreeNumbersWithOneDecimalHeight)
{
    ASSERT_EQ(lines_.size(), 10000u);
    for (const std::string &l : lines_) {
        // "x y z": two integers and a height with exactly one decimal, single spaces.
        const auto first = l.find(' ');
        const auto second = l.find(' ', first + 1);
        ASSERT_NE(first, std::string::npos) << l;
        ASSERT_NE(second, std::string::npos) << l;
        EXPECT_EQ(l.find(' ', second + 1), std::string::npos) << l;
        const std::string height = l.substr(second + 1);
        const auto dot = height.find('.');
        ASSERT_NE(dot, std::string::npos) << l;
        EXPECT_EQ(height.size() - dot, 2u) << l;
        EXPECT_EQ(l.find_first_not_of("0123456789 ."), std::string::npos) << l;
    }
}

TEST_F(DefaultTerrainFile, pointsRunRowByRowInTwentyFiveMetreSteps)
{
    ASSERT_EQ(points_.size(), 10000u);
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < kSize; ++column) {
            const DemPoint &p = points_[std::size_t(row * kSize + column)];
            EXPECT_EQ(p.x, 528025 + 25 * column) << row << "," << column;
            EXPECT_EQ(p.y, 165750 - 25 * row) << row << "," << column;
        }
    }
    EXPECT_EQ(points_.back().x, 530500);
    EXPECT_EQ(points_.back().y, 163275);
}

TEST_F(DefaultTerrainFile, firstPointsAndHeightRangeAreTheFixedOnes)
{
    ASSERT_EQ(points_.size(), 10000u);
    EXPECT_EQ(lines_[0], "528025 165750 706.6");
    EXPECT_EQ(lines_[1], "528050 165750 709.1");
    const auto [lo, hi] = std::minmax_element(points_.begin(), points_.end(),
                                              [](const DemPoint &a, const DemPoint &b) { return a.z < b.z; });
    EXPECT_DOUBLE_EQ(lo->z, 596.2);
    EXPECT_DOUBLE_EQ(hi->z, 960.4);
    // Relative to the lowest point: height range 364.2, vertex (0, 0) at 110.4.
    EXPECT_NEAR(hi->z - lo->z, 364.2, 1e-9);
    EXPECT_NEAR(points_[0].z - lo->z, 110.4, 1e-9);
    const double mean = std::accumulate(points_.begin(), points_.end(), 0.0,
                                        [](double s, const DemPoint &p) { return s + p.z; }) /
                        double(points_.size());
    EXPECT_NEAR(mean, 819.0, 1.0);
}

TEST_F(DefaultTerrainFile, isHillyLandWithSlopesFacingEveryWay)
{
    ASSERT_EQ(points_.size(), 10000u);
    int steep = 0;
    int flat = 0;
    int sloped = 0;
    int facing[4] = {0, 0, 0, 0};
    double steepestStep = 0;
    for (int row = 0; row + 1 < kSize; ++row) {
        for (int column = 0; column + 1 < kSize; ++column) {
            const double gx = (z(column + 1, row) - z(column, row)) / 25.0;
            const double gy = (z(column, row + 1) - z(column, row)) / 25.0;
            steepestStep = std::max({steepestStep, std::abs(gx), std::abs(gy)});
            const double degrees = std::atan(std::hypot(gx, gy)) * 180.0 / kPi;
            steep += degrees > 15.0;
            flat += degrees < 3.0;
            if (degrees > 3.0) {
                ++sloped;
                const double aspect = std::atan2(gy, gx); // -pi .. pi
                ++facing[std::min(3, int((aspect + kPi) / (kPi / 2)))];
            }
        }
    }
    const int cells = (kSize - 1) * (kSize - 1);
    // Steep valley sides and gentle floors both occur, but no cliff beyond what hills have.
    EXPECT_GT(steep, cells / 10);
    EXPECT_GT(flat, cells / 50);
    const double steepestDegrees = std::atan(steepestStep) * 180.0 / kPi;
    EXPECT_GT(steepestDegrees, 25.0);
    EXPECT_LT(steepestDegrees, 60.0);
    // Slopes face all four ways, so sunniness and shadows vary across the land.
    for (int quadrant : facing)
        EXPECT_GT(quadrant, sloped / 10);
}

TEST_F(DefaultTerrainFile, hasValleysBelowAndRidgesAboveTheirSurroundings)
{
    ASSERT_EQ(points_.size(), 10000u);
    // Compare every interior point with the mean of a 11 x 11 window around it: valley
    // floors lie more than 10 m below it, ridges more than 10 m above, so moisture and windiness show
    // structure.
    int valleys = 0;
    int ridges = 0;
    for (int row = 5; row < kSize - 5; ++row) {
        for (int column = 5; column < kSize - 5; ++column) {
            double sum = 0;
            for (int dr = -5; dr <= 5; ++dr)
                for (int dc = -5; dc <= 5; ++dc)
                    sum += z(column + dc, row + dr);
            const double relief = z(column, row) - sum / 121.0;
            valleys += relief < -10.0;
            ridges += relief > 10.0;
        }
    }
    EXPECT_GT(valleys, 400);
    EXPECT_GT(ridges, 400);
}

} // namespace
