#pragma once

#include "lignet/treemesh.h"
#include "lignet/treeparameters.h"
#include "meshexport/exportscene.h"

#include <string>

namespace meshexport {

struct TreeExportOptions {
    bool highQuality = false; // ten slices and five stacks per cylinder instead of five and one
    bool leaves = true;       // false leaves them out even when the set displays them
};

// The tree's two pictures, PNG-encoded; an empty one gives an untextured material.
struct TreePictures {
    std::string barkPng;
    std::string leafPng; // with alpha: the leaf outline is cut out of it
};

// One drawing of the set in its own coordinates (trunk base at the origin, y up, metres) at level
// of detail 0, neither growing nor in wind, as the tree edit view shows it.
lignet::TreeMesh drawTreeMesh(const lignet::TreeParameters &parameters, const TreeExportOptions &options);

// The indices of the two materials a tree's meshes use; -1 when not added.
struct TreeMaterials {
    int bark = -1;
    int leaf = -1;
};

// Adds the bark and leaf pictures and materials (the leaf cut out at alpha 0.5 and seen from
// both sides), named after `name`; the leaf ones only when `withLeaf`.
TreeMaterials addTreeMaterials(ExportScene &scene, const std::string &name, const TreePictures &pictures,
                               bool withLeaf);

// The scene of one tree: a root node named `name` with a "bark" and, when the drawing has
// leaves, a "leaves" child, each with its mesh.
ExportScene treeScene(const lignet::TreeParameters &parameters, const std::string &name,
                      const TreeExportOptions &options, const TreePictures &pictures);

} // namespace meshexport
