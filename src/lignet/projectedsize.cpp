#include "lignet/projectedsize.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lignet {

double projectedHeightPixels(double height, double depth, const std::array<float, 16> &projection,
                             int viewportHeight)
{
    if (!(depth > 0.0))
        return std::numeric_limits<double>::infinity();
    // projection[5] is the vertical scale of normalised device coordinates (cot(fovy / 2) for
    // gluPerspective); device coordinates span 2 over the viewport's height.
    return height * static_cast<double>(projection[5]) / depth * viewportHeight / 2.0;
}

double thresholdWithinBudget(std::vector<ProjectedPlant> &plants, double threshold, double ceiling,
                             double budget)
{
    // Only the plants reaching the threshold can be drawn exactly; tallest first.
    const auto reaching = std::partition(plants.begin(), plants.end(), [threshold](const ProjectedPlant &p) {
        return !(p.pixels < threshold);
    });
    std::sort(plants.begin(), reaching,
              [](const ProjectedPlant &a, const ProjectedPlant &b) { return a.pixels > b.pixels; });
    double cost = 0.0;
    for (auto p = plants.begin(); p != reaching; ++p) {
        cost += p->cost;
        if (cost > budget)
            return std::clamp(std::nextafter(p->pixels, std::numeric_limits<double>::infinity()), threshold,
                              std::max(threshold, ceiling));
    }
    return threshold;
}

} // namespace lignet
