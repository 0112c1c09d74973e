#pragma once

namespace ecosystem::render {

// Neighbourhood disk colour of a species, 8-bit RGB: red, green, blue, magenta, yellow, else white.
void neighbourhoodColour(int speciesIndex, unsigned char rgb[3]);

} // namespace ecosystem::render
