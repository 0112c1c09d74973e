// The terrain commands of verdalis-cli, run as a user would run them.

#include "core/clirun.h"
#include "core/terrain/demtext.h"

#include <QImage>

#include <algorithm>
#include <sstream>
#include <vector>

using TerrainCommands = testsupport::CliTest;
using terraintest::defaultDem;
using testsupport::split;

TEST_F(TerrainCommands, mapsWritesTheCoresMapsOneLinePerVertex)
{
    // The built-in terrain, and the same terrain given as a file.
    write("default.dmr", defaultDem());
    ASSERT_EQ(cli("terrain maps builtin.tsv").status, 0);
    ASSERT_EQ(cli("terrain maps file.tsv --dem default.dmr").status, 0);
    EXPECT_EQ(read("builtin.tsv"), read("file.tsv"));

    const auto lines = split(read("file.tsv"), '\n');
    ASSERT_EQ(lines.size(), 10001u);
    EXPECT_EQ(lines[0],
              "column\trow\theight\tnormalX\tnormalY\tnormalZ\tslope\tmoisture\tsunniness\twindiness");
    ecosystem::TerrainModel terrain;
    ASSERT_TRUE(terrain.loadDemFile(folder.file("default.dmr"), {}).ok());
    for (const int i : {0, 4321, 9999}) {
        const auto fields = split(lines[static_cast<std::size_t>(i) + 1], '\t');
        ASSERT_EQ(fields.size(), 10u);
        EXPECT_EQ(fields[0] + ',' + fields[1], std::to_string(i % 100) + ',' + std::to_string(i / 100));
        const auto u = static_cast<std::size_t>(i);
        EXPECT_NEAR(std::stof(fields[2]), terrain.vertices()[u].y, 1e-3f);
        EXPECT_NEAR(std::stof(fields[4]), terrain.normals()[u].y, 1e-5f);
        EXPECT_EQ(std::stof(fields[6]), terrain.slope()[u]);
        EXPECT_EQ(std::stof(fields[7]), terrain.moisture()[u]);
        EXPECT_EQ(std::stof(fields[8]), terrain.sunniness()[u]);
        EXPECT_EQ(std::stof(fields[9]), terrain.windiness()[u]);
    }
}

TEST_F(TerrainCommands, textureIsThe128SquareHeightTextureOfTheCore)
{
    ASSERT_EQ(cli("terrain texture texture.png").status, 0);
    const QImage png(QString::fromStdString(folder.file("texture.png")));
    ASSERT_EQ(png.size(), QSize(128, 128));
    ecosystem::HeightImages images;
    for (std::size_t k = 0; k < 5; ++k) {
        const QImage picture =
            QImage(QString("%1/gui/textures/height%2.jpg").arg(VERDALIS_SOURCE_DIR).arg(k + 1))
                .convertToFormat(QImage::Format_RGB888);
        ASSERT_FALSE(picture.isNull());
        std::vector<std::uint8_t> bytes;
        for (int y = 0; y < picture.height(); ++y)
            bytes.insert(bytes.end(), picture.constScanLine(y),
                         picture.constScanLine(y) + picture.width() * 3);
        images[k] = ecosystem::RgbImage(picture.width(), picture.height(), bytes);
    }
    ecosystem::TerrainModel terrain;
    std::istringstream dem(defaultDem());
    ASSERT_TRUE(terrain.loadDem(dem, images, ecosystem::TerrainModel::MapUpdate::Defer).ok());
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ((png.pixel(x, y) >> (16 - 8 * c)) & 0xff, terrain.heightTexture().channel(x, y, c))
                    << x << ',' << y;
}

TEST_F(TerrainCommands, badDemFilesAndUsageFailWithTheirMessageAndLeaveTheOutputAlone)
{
    write("out.tsv", "keep me\n");
    const std::string dem = defaultDem();
    write("short.dmr", dem.substr(0, dem.rfind('\n', dem.size() - 2) + 1));
    const std::pair<const char *, const char *> failures[] = {
        {"terrain maps out.tsv --dem short.dmr", "Error reading DEM terrain file."},
        {"terrain texture out.tsv --dem missing.dmr", "Could not open DEM terrain file."},
        {"terrain maps no/such/folder/out.tsv", "cannot write"}};
    for (const auto &[arguments, message] : failures) {
        const auto run = cli(arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_EQ(read("out.tsv"), "keep me\n");
    for (const char *usage : {"terrain maps", "terrain texture a.png b.png", "terrain maps out.tsv --dem"})
        EXPECT_EQ(cli(usage).status, 2) << usage;
}
