#pragma once

// Reading back the pictures of impostor atlases: what a picture covers, and what its opaque and
// lit texels show.

#include "lignet/gl/impostoratlas.h"

#include <optional>
#include <vector>

namespace lignet::gl::impostor {

// A rectangle in tree units in the picture plane (x to the right, y up).

// The part of box that the picture (RGBA rows from the bottom) covers, to whole texels; none when
// nothing shows.
std::optional<Box> coveredBox(const std::vector<unsigned char> &rgba, int width, int height, const Box &box);

// The farthest any covered texel of a picture looking down on the tree (RGBA rows, box in tree
// units with the trunk axis at 0) lies from the trunk axis: no side view reaches wider.
std::optional<float> coveredRadius(const std::vector<unsigned char> &rgba, int width, int height,
                                   const Box &box);

// RGBA rows of a rectangle of the bound framebuffer, from the bottom.
std::vector<unsigned char> framebufferPixels(int x, int y, int width, int height);

// What the opaque texels of each cell of one row (RGBA, premultiplied, so opaque texels hold their
// colour as it is) show: the tree's lines and bark, which merge into a pixel or two when it is
// that small. The exact drawing lights those pixels in the colour of whichever segment wins them,
// dark or light, so the shades are kept apart: the texels sorted by brightness and split into
// equal parts, each part's mean colour one shade.
struct OpaqueTexels {
    ImpostorAtlas::SpeckShades shades{}; // alpha 0 for a cell without opaque texels
    int topRow = -1;                     // highest row of the cell with an opaque texel
};

std::vector<OpaqueTexels> opaqueTexelsOf(const std::vector<unsigned char> &rgba, int cells, int cellWidth,
                                         int cellHeight);

// Texels of each cell of one row painted at least half opaque: what a tree drawn at that small
// size lights.
std::vector<int> litTexels(const std::vector<unsigned char> &rgba, int cells, int cellWidth);

} // namespace lignet::gl::impostor
