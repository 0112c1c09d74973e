#pragma once

#include "math/vector3f.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace meshexport {

// Triangles of one material as other programs read them: their own vertices (metres, y up), unit
// normals, texture coordinates with v running down from the picture's top row, and indices.
struct ExportPrimitive {
    std::vector<math::Vector3f> positions;
    std::vector<math::Vector3f> normals;
    std::vector<std::array<float, 2>> texCoords;
    std::vector<std::uint32_t> indices;
    int material = -1; // index into ExportScene::materials, -1 for none
    math::Vector3f boundsMin;
    math::Vector3f boundsMax;

    std::size_t vertexCount() const { return positions.size(); }
    std::size_t triangleCount() const { return indices.size() / 3; }
    bool empty() const { return indices.empty(); }
    // Sets boundsMin and boundsMax from the positions (both 0 when there are none).
    void updateBounds();
};

// A named mesh of one or more primitives (a plant's bark and leaves under one name).
struct ExportMesh {
    std::string name;
    std::vector<ExportPrimitive> primitives;

    std::size_t triangleCount() const;
    bool empty() const;
};

// An encoded picture (PNG bytes) that a material shows.
struct ExportPicture {
    std::string name;
    std::string pngBytes;
};

enum class AlphaMode { Opaque, Mask, Blend };

struct ExportMaterial {
    std::string name;
    int picture = -1; // index into ExportScene::pictures, -1 for an untextured white material
    AlphaMode alphaMode = AlphaMode::Opaque;
    float alphaCutoff = 0.5f; // for Mask
    bool doubleSided = false;
};

// A node of the scene: places its mesh (if any) and its children by a translation.
struct ExportNode {
    std::string name;
    int mesh = -1;
    math::Vector3f translation;
    std::vector<int> children;
};

// Meshes, materials and pictures are stored once; nodes refer to them, so many plants of one
// species and size share one mesh.
struct ExportScene {
    std::string name;
    std::vector<ExportMesh> meshes;
    std::vector<ExportMaterial> materials;
    std::vector<ExportPicture> pictures;
    std::vector<ExportNode> nodes;
    std::vector<int> roots; // nodes at the top of the scene

    int addPicture(ExportPicture picture);
    int addMaterial(ExportMaterial material);
    int addMesh(ExportMesh mesh);
    int addNode(ExportNode node);
    std::size_t triangleCount() const;
};

} // namespace meshexport
