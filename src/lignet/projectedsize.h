#pragma once

#include <array>

namespace lignet {

// Height in pixels of an upright object `height` units tall whose base lies `depth` units in
// front of the eye (measured along the view direction, the negated eye-space z), seen through the
// perspective `projection` (column-major, as OpenGL returns it) on a viewport `viewportHeight`
// pixels high: height x projection[5] / depth x viewportHeight / 2. An object at or behind the eye
// (depth not above 0) counts as infinitely tall.
double projectedHeightPixels(double height, double depth, const std::array<float, 16> &projection,
                             int viewportHeight);

// The far-field test: true when the object's projected height stays below thresholdPixels.
bool isBelowPixelHeight(double height, double depth, const std::array<float, 16> &projection,
                        int viewportHeight, double thresholdPixels);

} // namespace lignet
