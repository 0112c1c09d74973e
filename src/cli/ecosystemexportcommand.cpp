// verdalis-cli ecosystem export: the plants of a simulation on the terrain as one glTF scene.

#include "assets/speciestrees.h"
#include "cli/command.h"
#include "cli/terrainresources.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "meshexport/files/exportfiles.h"

#include <chrono>
#include <iostream>
#include <sstream>

namespace {

int run(const cli::Arguments &args)
{
    const auto usage = [](const std::string &message) { return cli::badUsage("ecosystem export", message); };
    const std::string out = args.positional[0];
    if (meshexport::exportFormatOf(out) != meshexport::ExportFormat::Glb)
        return usage("OUT must end in .glb: '" + out + "'");
    if (args.has("--steps") && args.has("--load"))
        return usage("give either --steps or --load, not both");
    int steps = 0;
    if (const auto text = args.value("--steps")) {
        const auto value = cli::parseInt(*text);
        if (!value || *value < 0)
            return usage("--steps needs a whole number of steps, 0 or more");
        steps = *value;
    }
    meshexport::ForestExportOptions options;
    if (const auto text = args.value("--plant-area")) {
        const auto area = cli::parseIntegerList<int>(*text);
        if (!area || area->size() != 4 || (*area)[0] > (*area)[1] || (*area)[2] > (*area)[3])
            return usage("--plant-area needs MINX,MAXX,MINY,MAXY with MINX <= MAXX and MINY <= MAXY");
        options.area = meshexport::CellArea{(*area)[0], (*area)[1], (*area)[2], (*area)[3]};
    }

    if (const auto text = args.value("--growth-stages")) {
        const auto value = cli::parseInt(*text);
        if (!value || *value < 0)
            return usage("--growth-stages needs a whole number, 0 (every size) or more");
        options.growthStages = *value;
    }
    if (const auto text = args.value("--level-of-detail")) {
        const auto value = cli::parseInt(*text);
        if (!value || *value < 0 || *value > 5)
            return usage("--level-of-detail needs a whole number from 0 to 5");
        options.levelOfDetail = *value;
    }

    ecosystem::EcosystemScene scene;
    const std::string dem = args.value("--dem").value_or(cli::DefaultDem);
    if (const int status =
            cli::loadTerrain(scene.terrain(), dem, ecosystem::TerrainModel::MapUpdate::Compute))
        return status;
    // As the desktop program does: the editable tree keeps the default set.
    for (std::size_t i = 0; i < ecosystem::EcosystemScene::TreeCount; ++i) {
        std::string warning;
        assets::loadSpeciesTree(i, scene.tree(i).designedParameters(), &warning);
        if (!warning.empty())
            cli::report(warning);
    }
    if (const auto file = args.value("--load")) {
        scene.simulation().initialise();
        std::ostringstream messages;
        std::ostringstream errors;
        if (!scene.simulation().load(*file, messages, errors))
            return cli::fail(cli::ExitBadInput, errors.str());
    }
    for (int i = 0; i < steps; ++i)
        scene.simulation().simulateStep();

    const auto start = std::chrono::steady_clock::now();
    const meshexport::ExportReport report = meshexport::exportForest(scene, options, out);
    if (!report.ok)
        return cli::fail(cli::ExitBadInput, "ecosystem export: " + report.error);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::cout << "wrote " << report.nodes << " nodes, " << report.meshes << " meshes and " << report.triangles
              << " triangles after " << scene.simulation().step() << " steps to " << out << " ("
              << report.bytes << " bytes in " << seconds.count() << " s)\n";
    return cli::ExitOk;
}

const bool registered = cli::registerCommand({
    "ecosystem export",
    "OUT.glb",
    "export the simulation's plants and the terrain as one glTF (.glb) scene",
    "Runs N simulation steps (or loads a simulation file) and writes one binary glTF 2.0 file: the\n"
    "terrain as a mesh with its colour texture and one node per living plant at its position, each\n"
    "using the mesh of its species and growth stage, so plants of one kind share one mesh.\n"
    "Species trees come from bin/zbirka-4 under the working directory, else the built-in ones.",
    {{"--steps", "N", "simulation steps to run first (default 0)"},
     {"--load", "FILE.sim", "load this simulation instead of running steps"},
     {"--dem", "FILE", "load this DEM terrain instead of the built-in one"},
     {"--plant-area", "MINX,MAXX,MINY,MAXY", "only plants in these grid cells (limits included)"},
     {"--growth-stages", "N", "draw plants at the nearest of N growth stages (default 8; 0: every size)"},
     {"--level-of-detail", "L", "0 (default) to 5: higher levels leave out the thinnest branches"}},
    1,
    1,
    run,
});

} // namespace
