#pragma once

#include "math/vector3f.h"

#include <vector>

namespace ecosystem {

// Moisture: every vertex holds one unit of water, which flows downhill from the highest vertex to
// the lowest (steep cells pass all of it on, flat ones keep part), and the result is smoothed.
class MoistureComputation {
public:
    static constexpr float FlowFactor = 10.0f;
    static constexpr int SmoothingPasses = 5;
    static constexpr float WaterValue = 11.0f;
    static constexpr float BorderValue = 0.0f;

    MoistureComputation(const std::vector<math::Vector3f> &vertices, int width, int height)
        : vertices_(vertices), width_(width), height_(height)
    {
    }

    // The whole map: initial water, flow, smoothing, borders.
    std::vector<float> compute(const std::vector<float> &slope, float heightRange, float baseLevel) const;

    // 1 everywhere, the water value below the base height.
    std::vector<float> initialWater(float heightRange, float baseLevel) const;
    // Passes water from each vertex (highest first) to its strictly lower neighbours.
    void flow(std::vector<float> &moisture, const std::vector<float> &slope) const;
    // In-place five-point mean over the interior vertices.
    void smooth(std::vector<float> &moisture) const;
    // Clears column 0 and row 0 and caps the interior at 1; the last row and column stay as they are.
    void finishBorders(std::vector<float> &moisture) const;

private:
    const std::vector<math::Vector3f> &vertices_;
    int width_;
    int height_;
};

} // namespace ecosystem
