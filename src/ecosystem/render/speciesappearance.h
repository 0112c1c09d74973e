#pragma once

namespace ecosystem::render {

// Index into the six tree models for a species: species 6 and above (and any invalid index) use
// the last, editable tree.
int treeIndexForSpecies(int speciesIndex);
// Neighbourhood disk colour of a species, 8-bit RGB: red, green, blue, magenta, yellow, else white.
void neighbourhoodColour(int speciesIndex, unsigned char rgb[3]);

} // namespace ecosystem::render
