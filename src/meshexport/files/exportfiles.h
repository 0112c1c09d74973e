#pragma once

#include "ecosystem/scene/ecosystemscene.h"
#include "lignet/treeparameters.h"
#include "meshexport/forestscene.h"
#include "meshexport/treescene.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace meshexport {

enum class ExportFormat { Glb, Obj };

// The format a file name asks for by its extension (".glb" or ".obj", any case); none for others.
std::optional<ExportFormat> exportFormatOf(const std::string &path);

// What an export wrote, or why it wrote nothing.
struct ExportReport {
    bool ok = false;
    std::string error;              // when not ok: one line for the user
    std::vector<std::string> files; // written, in the order written
    std::uint64_t bytes = 0;        // all files together
    std::size_t triangles = 0;
    std::size_t meshes = 0;
    std::size_t nodes = 0;
};

// A tree's name from its parameter file: the file name without its folder and ".tree.xml".
std::string treeNameFromFile(const std::string &path);

// Writes the tree as OUT.glb, or as OUT.obj with OUT.mtl, OUT_bark.png and OUT_leaf.png beside
// it (pictures and the material library first, the .obj last), each file replaced only when
// complete. Pictures that cannot be read or a file that cannot be written end the export with
// the reason; files already replaced stay.
ExportReport exportTree(const lignet::TreeParameters &parameters, const std::string &name,
                        const TreeExportOptions &options, const std::string &path);

// Writes the forest of the scene (see forestScene) as one .glb file.
ExportReport exportForest(const ecosystem::EcosystemScene &scene, const ForestExportOptions &options,
                          const std::string &path);

} // namespace meshexport
