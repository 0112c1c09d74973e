// verdalis-cli terrain texture: the 128 × 128 height colour texture of a DEM as a PNG.

#include "assets/imageconversion.h"
#include "cli/command.h"
#include "cli/terrainresources.h"

#include <QBuffer>
#include <QByteArray>

#include <string>

namespace {

int run(const cli::Arguments &args)
{
    ecosystem::TerrainModel terrain;
    const std::string dem = args.value("--dem").value_or(cli::DefaultDem);
    if (const int status = cli::loadTerrain(terrain, dem, ecosystem::TerrainModel::MapUpdate::Defer))
        return status;

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!assets::toQImage(terrain.heightTexture()).save(&buffer, "PNG"))
        return cli::fail(cli::ExitBadInput, "cannot encode the texture as PNG");
    return cli::writeOutput(args.positional[0],
                            std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

const bool registered = cli::registerCommand({
    "terrain texture",
    "OUT.png",
    "Write the 128 x 128 height colour texture of a DEM as a PNG",
    "Without --dem the built-in terrain is used.",
    {{"--dem", "FILE", "DEM file to colour (100 x 100 points of x y z)"}},
    1,
    1,
    run,
});

} // namespace
