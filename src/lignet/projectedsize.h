#pragma once

#include <array>
#include <vector>

namespace lignet {

// Height in pixels of an upright object `height` units tall whose base lies `depth` units in
// front of the eye (measured along the view direction, the negated eye-space z), seen through the
// perspective `projection` (column-major, as OpenGL returns it) on a viewport `viewportHeight`
// pixels high: height x projection[5] / depth x viewportHeight / 2. An object at or behind the eye
// (depth not above 0) counts as infinitely tall.
double projectedHeightPixels(double height, double depth, const std::array<float, 16> &projection,
                             int viewportHeight);

// A plant as the far-field tier sees it: its projected height in pixels and what drawing it
// exactly costs (any unit, the same for every plant of a frame).
struct ProjectedPlant {
    double pixels = 0.0;
    double cost = 0.0;
};

// The far-field threshold of one frame when the plants drawn exactly may cost at most `budget` in
// all: `threshold` while the plants reaching it cost no more; else raised just above the tallest
// plant at which that plant and all taller ones cost more than the budget (so plants as tall as
// it fall below too), but never above `ceiling`. Reorders `plants`.
double thresholdWithinBudget(std::vector<ProjectedPlant> &plants, double threshold, double ceiling,
                             double budget);

} // namespace lignet
