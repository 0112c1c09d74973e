#include "lignet/projectedsize.h"

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

bool isBelowPixelHeight(double height, double depth, const std::array<float, 16> &projection,
                        int viewportHeight, double thresholdPixels)
{
    return projectedHeightPixels(height, depth, projection, viewportHeight) < thresholdPixels;
}

} // namespace lignet
