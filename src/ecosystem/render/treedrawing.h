#pragma once

namespace lignet {
class TreeRenderer;
}

namespace ecosystem::render {

// The OpenGL side of one tree model as the render model uses it. All need a current context.
class TreeDrawing {
public:
    static void createQuadric(lignet::TreeRenderer &tree);
    // Binds the tree's bark and leaf textures and sets wrap GL_REPEAT and linear filters.
    static void setTextureParameters(lignet::TreeRenderer &tree);
    // The whole tree edit frame with the orbit camera values.
    static void drawTreeScene(lignet::TreeRenderer &tree, double up, double side, double distance,
                              double pitch, double yaw);
    // The tree into the current modelview frame at a level of detail (ecosystem plants).
    static void drawTreeAtLevelOfDetail(lignet::TreeRenderer &tree, int levelOfDetail);
};

// Index into the six tree models for a species: species 6 and above (and any invalid index) use
// the last, editable tree.
int treeIndexForSpecies(int speciesIndex);
// Neighbourhood disk colour of a species, 8-bit RGB: red, green, blue, magenta, yellow, else white.
void neighbourhoodColour(int speciesIndex, unsigned char rgb[3]);

} // namespace ecosystem::render
