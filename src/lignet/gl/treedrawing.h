#pragma once

namespace lignet {
class TreeRenderer;
}

// Drawing a TreeRenderer with OpenGL; every function needs a current compatibility-profile
// context.
namespace lignet::gl {

// Creates the tree's GLU quadric (filled, with texture coordinates). Returns false if GLU could
// not create one; drawing then creates it again on first use.
bool createQuadric(TreeRenderer &tree);

// For each texture asked for: bind it, wrap S and T with GL_REPEAT, linear filters.
void setTextureParameters(TreeRenderer &tree, bool bark, bool leaf);

// Generates and draws the tree into the current modelview frame (trunk base at the origin).
void drawTree(TreeRenderer &tree);
void drawTreeAtLevelOfDetail(TreeRenderer &tree, int levelOfDetail);

// The start of the tree edit frame: clear to the sky colour or white, modelview identity, the
// three lights placed in eye coordinates.
void beginTreeScene(const TreeRenderer &tree);
// The orbit camera and the tree's spin angle onto the modelview matrix.
void applyOrbitCamera(const TreeRenderer &tree, double up, double side, double distance, double pitch,
                      double yaw);

// The whole tree edit frame: clear (sky colour or white), place the three lights in eye
// coordinates, apply the orbit camera and the spin angle, draw the tree at level of detail 0. A
// pending vertex export draws without the camera, so the file holds the tree's own coordinates.
void drawTreeScene(TreeRenderer &tree, double up, double side, double distance, double pitch, double yaw);

} // namespace lignet::gl
