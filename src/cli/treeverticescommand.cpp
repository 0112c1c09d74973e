// verdalis-cli tree vertices: writes the quads of one drawing of a tree as a .crs vertex file.

#include "cli/command.h"
#include "cli/treeio.h"
#include "lignet/countingtreesink.h"
#include "lignet/treerenderer.h"

#include <iostream>

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

    // The exporter replaces OUT only with a complete file.
    const std::string out = arguments.positional[0];
    tree.requestVertexExport(out);
    lignet::CountingTreeSink counts;
    tree.drawTreeAtLevelOfDetail(counts, 0);
    if (!tree.exportError().empty())
        return cli::fail(cli::ExitBadInput, tree.exportError());
    std::cout << "wrote " << counts.segments << " segments and "
              << (tree.settings().wireframe ? 0 : counts.leaves) << " leaves to " << out << '\n';
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
