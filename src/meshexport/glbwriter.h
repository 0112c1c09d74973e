#pragma once

#include "meshexport/exportscene.h"

#include <string>

namespace meshexport {

// Encodes the scene as one binary glTF 2.0 file (.glb) through tinygltf: one buffer holding every
// vertex array, index array and picture; one primitive of triangles per mesh with POSITION (with
// its bounds), NORMAL and TEXCOORD_0; metallic-roughness materials with the pictures as base
// colour textures (repeating, linear filters). Empty meshes must not be in the scene. Returns
// false with the reason when the scene cannot be encoded (too large for the format's 32-bit
// lengths, or a name tinygltf rejects).
bool encodeGlb(const ExportScene &scene, std::string &bytes, std::string *reason = nullptr);

// The text with every byte sequence that is not UTF-8 replaced by '?' (names in a glTF file are
// JSON strings, and file names need not be UTF-8).
std::string validUtf8(const std::string &text);

} // namespace meshexport
