#include "ecosystem/terrain/windinesscomputation.h"

namespace ecosystem {

std::vector<float> WindinessComputation::compute() const
{
    const int width = geometry_.width();
    const int height = geometry_.height();
    std::vector<float> result(static_cast<std::size_t>(width * height), 0.0f);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            result[static_cast<std::size_t>(c + r * width)] = windiness(c, r);
    return result;
}

float WindinessComputation::windiness(int column, int row) const
{
    const float x = static_cast<float>(column);
    float y = static_cast<float>(row);
    const math::Vector3f origin = geometry_.worldPosition(x, y);
    float largest = 0.0f;
    for (int step = 0; step < UpwindSteps; ++step) {
        y -= 1.0f;
        if (!geometry_.contains(x, y))
            break;
        const float angle = TerrainGeometry::elevationAngle(origin, geometry_.worldPosition(x, y));
        if (angle > largest)
            largest = angle;
    }
    return largest <= ShelterAngle ? 1.0f - largest / ShelterAngle : 0.0f;
}

} // namespace ecosystem
