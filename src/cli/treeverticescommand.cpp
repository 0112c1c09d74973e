// verdalis-cli tree vertices: writes the quads of one drawing of a tree as a .crs vertex file.

#include "cli/command.h"
#include "cli/treeio.h"
#include "lignet/countingtreesink.h"
#include "lignet/treerenderer.h"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace {

int run(const cli::Arguments &arguments)
{
    lignet::TreeParameters parameters;
    if (const int status = cli::loadTreeFrom(arguments, parameters); status != cli::ExitOk)
        return status;
    if (arguments.has("--no-leaves"))
        parameters.displayLeaves = false;

    lignet::TreeRenderer tree(parameters);
    tree.settings().highQuality = arguments.has("--high-quality");
    tree.settings().wireframe = arguments.has("--wireframe");

    // Written beside the target first, so a failed export never leaves a half-written OUT.
    const std::filesystem::path out = arguments.positional[0];
    std::filesystem::path partial = out;
    partial += ".partial";
    tree.requestVertexExport(partial.string());
    lignet::CountingTreeSink counts;
    tree.drawTreeAtLevelOfDetail(counts, 0);
    std::error_code ignored;
    if (!tree.exportError().empty()) {
        std::filesystem::remove(partial, ignored);
        return cli::fail(cli::ExitBadInput, tree.exportError());
    }
    std::error_code error;
    std::filesystem::rename(partial, out, error);
    if (error) {
        std::filesystem::remove(partial, ignored);
        return cli::fail(cli::ExitBadInput, "could not write '" + out.string() + "': " + error.message());
    }
    std::cout << "wrote " << counts.segments << " segments and "
              << (tree.settings().wireframe ? 0 : counts.leaves) << " leaves to " << out.string() << '\n';
    return cli::ExitOk;
}

const bool registered = cli::registerCommand({
    "tree vertices",
    "OUT",
    "export tree geometry as quads (.crs)",
    "Draws the tree once in its own coordinates (trunk base at the origin, y up, level of detail 0)\n"
    "and writes every branch segment as a 'B id' record of quads and every leaf as an 'L id' record.",
    {cli::treeFromOption(),
     {"--high-quality", "", "16 corners per segment ring instead of 4"},
     {"--wireframe", "", "wireframe drawing: segments only, no leaf records"},
     {"--no-leaves", "", "do not display leaves"}},
    1,
    1,
    run,
});

} // namespace
