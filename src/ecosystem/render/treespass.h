#pragma once

#include "math/vector3f.h"

#include <cstdint>
#include <vector>

namespace ecosystem {
class EcosystemScene;
}

namespace ecosystem::render {

class SceneTextures;
class TreeMeshes;

// How the plants are drawn in this frame.
struct TreesPassSettings {
    bool wireframe = false;
    bool lightingEnabled = true;
    bool showNeighbourhood = false;
    bool drawTrees = true;
    // Where the trees are drawn from: null draws every plant in immediate mode (the reference
    // drawing); otherwise from meshes, batched by mesh.
    TreeMeshes *meshes = nullptr;
    // With meshes: every plant exactly, no impostors for distant ones.
    bool exactDistantTrees = false;
    // With meshes: impostors up to TreeMeshes::FastImpostorThreshold at least.
    bool fastDistantTrees = false;
    // Drawn size of every tree (1 as grown); the culling sphere grows with it.
    float treeScale = 1.0f;
};

// The trees pass of the ecosystem frame: every plant whose 5-unit sphere passes the view frustum of
// the current matrices is drawn with its species' tree model, per-plant settings (growth from its
// size, the current tree's wind and spin) and a level of detail from its distance to `eye`, plus
// its neighbourhood disk when asked; afterwards each tree model has its own settings back (only its
// wind clock has run on). Returns the number of plants drawn per species, in species order. With
// meshes the plants are drawn together after the loop (neighbourhood disks first), and plants
// whose projected height is under the meshes' impostor threshold as impostors unless
// exactDistantTrees is set. Where the plants reaching that threshold would cost more than the
// meshes' exact-drawing budget, the frame raises it (up to TreeMeshes::FastImpostorThreshold)
// until they do not.
struct TreesPassResult {
    std::vector<int> drawnPerSpecies;
    std::uint64_t triangles = 0;
    std::uint64_t drawCalls = 0;
};
TreesPassResult drawTreesPass(EcosystemScene &scene, const SceneTextures &textures, const math::Vector3f &eye,
                              const TreesPassSettings &settings);

} // namespace ecosystem::render
