#include "ecosystem/render/speciesappearance.h"

namespace ecosystem::render {

void neighbourhoodColour(int speciesIndex, unsigned char rgb[3])
{
    static const unsigned char colours[6][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                                {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    const int row = speciesIndex >= 0 && speciesIndex < 5 ? speciesIndex : 5;
    for (int c = 0; c < 3; ++c)
        rgb[c] = colours[row][c];
}

} // namespace ecosystem::render
