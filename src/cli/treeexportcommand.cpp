// verdalis-cli tree export: the tree as a binary glTF or a Wavefront OBJ file for other programs.

#include "cli/command.h"
#include "cli/treeio.h"
#include "meshexport/files/exportfiles.h"

#include <iostream>

namespace {

int run(const cli::Arguments &arguments)
{
    const std::string out = arguments.positional[0];
    if (!meshexport::exportFormatOf(out))
        return cli::badUsage("tree export", "OUT must end in .glb or .obj: '" + out + "'");
    lignet::TreeParameters parameters;
    if (const int status = cli::loadTreeFrom(arguments, parameters); status != cli::ExitOk)
        return status;
    meshexport::TreeExportOptions options;
    options.highQuality = arguments.has("--high-quality");
    options.leaves = !arguments.has("--no-leaves");
    const std::string name = meshexport::treeNameFromFile(arguments.value("--from").value_or("tree"));

    const meshexport::ExportReport report = meshexport::exportTree(parameters, name, options, out);
    if (!report.ok)
        return cli::fail(cli::ExitBadInput, "tree export: " + report.error);
    std::cout << "wrote " << report.triangles << " triangles in " << report.meshes << " meshes to " << out
              << " (" << report.files.size() << (report.files.size() == 1 ? " file, " : " files, ")
              << report.bytes << " bytes)\n";
    return cli::ExitOk;
}

const bool registered = cli::registerCommand({
    "tree export",
    "OUT.glb|OUT.obj",
    "export the tree as a glTF (.glb) or Wavefront OBJ mesh",
    "Draws the tree once in its own coordinates (metres, y up, trunk base at the origin, level of\n"
    "detail 0) and writes the bark and the leaves as two meshes with normals and texture coordinates.\n"
    "The format follows the extension: .glb is one binary glTF 2.0 file with both pictures inside;\n"
    ".obj also writes OUT.mtl, OUT_bark.png and OUT_leaf.png beside it.",
    {cli::treeFromOption(),
     {"--high-quality", "", "ten slices and five stacks per branch segment instead of five and one"},
     {"--no-leaves", "", "leave the leaves out"}},
    1,
    1,
    run,
});

} // namespace
