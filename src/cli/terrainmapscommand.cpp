// verdalis-cli terrain maps: the analysis maps of a DEM as a table, one line per vertex.

#include "cli/command.h"
#include "cli/terrainresources.h"

#include <charconv>
#include <string>

namespace {

// Shortest text that reads back as the same float.
void appendNumber(std::string &out, float value)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, ec == std::errc() ? end : buffer);
}

std::string mapsTable(const ecosystem::TerrainModel &terrain)
{
    std::string out =
        "column\trow\theight\tnormalX\tnormalY\tnormalZ\tslope\tmoisture\tsunniness\twindiness\n";
    out.reserve(static_cast<std::size_t>(terrain.vertexCount()) * 90);
    for (int r = 0; r < terrain.height(); ++r) {
        for (int c = 0; c < terrain.width(); ++c) {
            const auto i = static_cast<std::size_t>(terrain.index(c, r));
            const math::Vector3f &n = terrain.normals()[i];
            out += std::to_string(c) + '\t' + std::to_string(r);
            for (const float v : {terrain.vertices()[i].y, n.x, n.y, n.z, terrain.slope()[i],
                                  terrain.moisture()[i], terrain.sunniness()[i], terrain.windiness()[i]}) {
                out += '\t';
                appendNumber(out, v);
            }
            out += '\n';
        }
    }
    return out;
}

int run(const cli::Arguments &args)
{
    ecosystem::TerrainModel terrain;
    const std::string dem = args.value("--dem").value_or(cli::DefaultDem);
    if (const int status = cli::loadTerrain(terrain, dem, ecosystem::TerrainModel::MapUpdate::Compute))
        return status;
    return cli::writeOutput(args.positional[0], mapsTable(terrain));
}

const bool registered = cli::registerCommand({
    "terrain maps",
    "OUT.tsv",
    "Write the terrain analysis maps of a DEM, one line per vertex",
    "Columns: column, row, height, normal x y z, slope, moisture, sunniness, windiness; tab-separated "
    "with a header line, rows in grid order (row 0 first). Without --dem the built-in terrain is used.",
    {{"--dem", "FILE", "DEM file to analyse (100 x 100 points of x y z)"}},
    1,
    1,
    run,
});

} // namespace
