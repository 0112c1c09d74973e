#include "cli/terrainresources.h"

#include "assets/terrainloader.h"
#include "cli/command.h"
#include "io/atomicfilewriter.h"

namespace cli {

int loadTerrain(ecosystem::TerrainModel &terrain, const std::string &demPath,
                ecosystem::TerrainModel::MapUpdate maps)
{
    const ecosystem::DemLoadResult result =
        assets::TerrainLoader::load(terrain, QString::fromLocal8Bit(demPath.c_str()), maps);
    if (!result.ok())
        return fail(ExitBadInput, result.message() + " (" + result.detail + ")");
    return ExitOk;
}

int writeOutput(const std::string &path, std::string_view bytes)
{
    std::string reason;
    if (!io::AtomicFileWriter::write(path, std::string(bytes), &reason))
        return fail(ExitBadInput, reason);
    return ExitOk;
}

} // namespace cli
