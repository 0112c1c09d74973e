#pragma once

#include "meshexport/exportscene.h"

#include <string>
#include <vector>

namespace meshexport {

// Wavefront OBJ text of every node with a mesh, one "o" object per node, moved by the
// translations of the node and its parents; faces "f v/vt/vn" refer to the material of the mesh
// by name in the library `mtlFileName`.
std::string objText(const ExportScene &scene, const std::string &mtlFileName);

// The material library for objText: one "newmtl" per material, white, with the picture of the
// material as "map_Kd" and, when the material has alpha, also as "map_d". pictureFileNames[i]
// names the file of scene.pictures[i], relative to the .mtl file.
std::string mtlText(const ExportScene &scene, const std::vector<std::string> &pictureFileNames);

} // namespace meshexport
