#pragma once

#include "math/vector3f.h"

#include <vector>

namespace ecosystem {
class EcosystemScene;
}

namespace ecosystem::render {

class SceneTextures;

// How the plants are drawn in this frame.
struct TreesPassSettings {
    bool wireframe = false;
    bool lightingEnabled = true;
    bool showNeighbourhood = false;
    bool drawTrees = true;
};

// The trees pass of the ecosystem frame: every plant whose 5-unit sphere passes the view frustum of
// the current matrices is drawn with its species' tree model, per-plant settings (growth from its
// size, the current tree's wind and spin) and a level of detail from its distance to `eye`, plus
// its neighbourhood disk when asked; afterwards each tree model has its own settings back (only its
// wind clock has run on). Returns the number of plants drawn per species, in species order.
std::vector<int> drawTreesPass(EcosystemScene &scene, const SceneTextures &textures,
                               const math::Vector3f &eye, const TreesPassSettings &settings);

} // namespace ecosystem::render
