#pragma once

#include "lignet/gl/drawcounters.h"
#include "lignet/gl/treetextures.h"

namespace lignet {
class TreeRenderer;
}

// Drawing a TreeRenderer with OpenGL; every function needs a current compatibility-profile
// context.
namespace lignet::gl {

// Generates and draws the tree into the current modelview frame (trunk base at the origin), adding
// what it sends to counters when given.
void drawTree(TreeRenderer &tree, const TreeTextures &textures, DrawCounters *counters = nullptr);
void drawTreeAtLevelOfDetail(TreeRenderer &tree, const TreeTextures &textures, int levelOfDetail,
                             DrawCounters *counters = nullptr);

// The start of the tree edit frame: clear to the sky colour or white, modelview identity, the
// three lights placed in eye coordinates.
void beginTreeScene(const TreeRenderer &tree);
// The orbit camera and the tree's spin angle onto the modelview matrix.
void applyOrbitCamera(const TreeRenderer &tree, double up, double side, double distance, double pitch,
                      double yaw);

// The whole tree edit frame: clear (sky colour or white), place the three lights in eye
// coordinates, apply the orbit camera and the spin angle, draw the tree at level of detail 0. A
// pending vertex export draws without the camera, so the file holds the tree's own coordinates.
void drawTreeScene(TreeRenderer &tree, const TreeTextures &textures, double up, double side, double distance,
                   double pitch, double yaw, DrawCounters *counters = nullptr);

} // namespace lignet::gl
