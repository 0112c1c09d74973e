// The terrain commands of verdalis-cli, run as a user would run them.

#include "core/clirun.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class TerrainCommands : public ::testing::Test {
protected:
    std::string path(const std::string &name) const { return folder_.file(name); }

    // Runs verdalis-cli with the arguments; returns the exit status and keeps standard error.
    int cli(const std::string &arguments)
    {
        const testsupport::CliRun run = testsupport::runCli(folder_.path(), arguments);
        errors_ = run.err;
        return run.status;
    }

    static std::string read(const std::string &file) { return testsupport::readBytes(file); }

    static void write(const std::string &file, const std::string &text)
    {
        testsupport::writeBytes(file, text);
    }

    static std::string defaultDem()
    {
        return read(std::string(VERDALIS_SOURCE_DIR) + "/gui/textures/100x100.dmr");
    }

    testsupport::TempFolder folder_;
    std::string errors_;
};

std::vector<std::string> split(const std::string &line, char separator)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, separator);)
        fields.push_back(field);
    return fields;
}

} // namespace

TEST_F(TerrainCommands, mapsWritesOneLinePerVertexOfTheBuiltInTerrain)
{
    ASSERT_EQ(cli("terrain maps '" + path("maps.tsv") + "'"), 0) << errors_;
    const auto lines = split(read(path("maps.tsv")), '\n');
    ASSERT_EQ(lines.size(), 10001u);
    EXPECT_EQ(lines[0],
              "column\trow\theight\tnormalX\tnormalY\tnormalZ\tslope\tmoisture\tsunniness\twindiness");

    const auto first = split(lines[1], '\t');
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(first[0], "0");
    EXPECT_EQ(first[1], "0");
    EXPECT_NEAR(std::stod(first[2]), 110.4, 1e-3);
    EXPECT_EQ(std::stod(first[7]), 0.0); // moisture is cleared on row 0
    EXPECT_EQ(std::stod(first[9]), 1.0); // nothing upwind of row 0
    const auto last = split(lines[10000], '\t');
    EXPECT_EQ(last[0], "99");
    EXPECT_EQ(last[1], "99");
    const auto some = split(lines[1 + 37 + 61 * 100], '\t');
    EXPECT_EQ(some[0], "37");
    EXPECT_EQ(some[1], "61");
    const double nx = std::stod(some[3]), ny = std::stod(some[4]), nz = std::stod(some[5]);
    EXPECT_NEAR(nx * nx + ny * ny + nz * nz, 1.0, 1e-5);
    EXPECT_NEAR(std::stod(some[6]), 1.0 - ny, 1e-6);
}

TEST_F(TerrainCommands, mapsOfADemFileMatchTheCore)
{
    // The same terrain, all on one line, given as a file.
    std::string oneLine = defaultDem();
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    write(path("flat.dmr"), oneLine);
    ASSERT_EQ(cli("terrain maps '" + path("builtin.tsv") + "'"), 0) << errors_;
    ASSERT_EQ(cli("terrain maps '" + path("file.tsv") + "' --dem '" + path("flat.dmr") + "'"), 0) << errors_;
    EXPECT_EQ(read(path("builtin.tsv")), read(path("file.tsv")));

    ecosystem::TerrainModel terrain;
    ASSERT_TRUE(terrain.loadDemFile(path("flat.dmr"), {}).ok());
    const auto lines = split(read(path("file.tsv")), '\n');
    for (const int i : {0, 4321, 9999}) {
        const auto fields = split(lines[static_cast<std::size_t>(i) + 1], '\t');
        EXPECT_EQ(std::stof(fields[8]), terrain.sunniness()[static_cast<std::size_t>(i)]);
        EXPECT_EQ(std::stof(fields[7]), terrain.moisture()[static_cast<std::size_t>(i)]);
        EXPECT_EQ(std::stof(fields[9]), terrain.windiness()[static_cast<std::size_t>(i)]);
    }
}

TEST_F(TerrainCommands, textureIsThe128SquareHeightTextureOfTheCore)
{
    ASSERT_EQ(cli("terrain texture '" + path("texture.png") + "'"), 0) << errors_;
    const QImage png(QString::fromStdString(path("texture.png")));
    ASSERT_EQ(png.width(), 128);
    ASSERT_EQ(png.height(), 128);

    ecosystem::HeightImages images;
    for (int k = 0; k < 5; ++k) {
        const QImage picture =
            QImage(QString("%1/gui/textures/height%2.jpg").arg(VERDALIS_SOURCE_DIR).arg(k + 1))
                .convertToFormat(QImage::Format_RGB888);
        ASSERT_FALSE(picture.isNull());
        std::vector<std::uint8_t> bytes;
        for (int y = 0; y < picture.height(); ++y)
            bytes.insert(bytes.end(), picture.constScanLine(y),
                         picture.constScanLine(y) + picture.width() * 3);
        images[static_cast<std::size_t>(k)] = ecosystem::RgbImage(picture.width(), picture.height(), bytes);
    }
    ecosystem::TerrainModel terrain;
    std::istringstream dem(defaultDem());
    ASSERT_TRUE(terrain.loadDem(dem, images, ecosystem::TerrainModel::MapUpdate::Defer).ok());
    const auto &texture = terrain.heightTexture();
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const QRgb p = png.pixel(x, y);
            ASSERT_EQ(qRed(p), texture.channel(x, y, 0)) << x << ',' << y;
            ASSERT_EQ(qGreen(p), texture.channel(x, y, 1)) << x << ',' << y;
            ASSERT_EQ(qBlue(p), texture.channel(x, y, 2)) << x << ',' << y;
        }
}

TEST_F(TerrainCommands, badDemFilesFailWithTheirMessageAndLeaveTheOutputAlone)
{
    write(path("out.tsv"), "keep me\n");
    write(path("out.png"), "keep me too\n");

    std::string dem = defaultDem();
    write(path("short.dmr"), dem.substr(0, dem.rfind('\n', dem.size() - 2) + 1));
    EXPECT_EQ(cli("terrain maps '" + path("out.tsv") + "' --dem '" + path("short.dmr") + "'"), 1);
    EXPECT_NE(errors_.find("Error reading DEM terrain file."), std::string::npos) << errors_;
    EXPECT_EQ(std::count(errors_.begin(), errors_.end(), '\n'), 1) << errors_;

    EXPECT_EQ(cli("terrain texture '" + path("out.png") + "' --dem '" + path("missing.dmr") + "'"), 1);
    EXPECT_NE(errors_.find("Could not open DEM terrain file."), std::string::npos) << errors_;

    write(path("words.dmr"), "528025 165750 high\n");
    EXPECT_EQ(cli("terrain texture '" + path("out.png") + "' --dem '" + path("words.dmr") + "'"), 1);
    EXPECT_NE(errors_.find("Error reading DEM terrain file."), std::string::npos) << errors_;

    EXPECT_EQ(read(path("out.tsv")), "keep me\n");
    EXPECT_EQ(read(path("out.png")), "keep me too\n");
}

TEST_F(TerrainCommands, usageAndUnwritableOutputsAreReported)
{
    EXPECT_EQ(cli("terrain maps"), 2);
    EXPECT_EQ(cli("terrain texture a.png b.png"), 2);
    EXPECT_EQ(cli("terrain maps out.tsv --dem"), 2);
    EXPECT_EQ(cli("terrain maps '" + path("no/such/folder/out.tsv") + "'"), 1);
    EXPECT_NE(errors_.find("cannot write"), std::string::npos) << errors_;
}
