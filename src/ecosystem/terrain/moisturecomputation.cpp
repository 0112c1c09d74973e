#include "ecosystem/terrain/moisturecomputation.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace ecosystem {

std::vector<float> MoistureComputation::compute(const std::vector<float> &slope, float heightRange,
                                                float baseLevel) const
{
    std::vector<float> moisture = initialWater(heightRange, baseLevel);
    flow(moisture, slope);
    for (int pass = 0; pass < SmoothingPasses; ++pass)
        smooth(moisture);
    finishBorders(moisture);
    return moisture;
}

std::vector<float> MoistureComputation::initialWater(float heightRange, float baseLevel) const
{
    const float base = heightRange * baseLevel;
    std::vector<float> moisture(vertices_.size(), 1.0f);
    for (std::size_t i = 0; i < vertices_.size(); ++i)
        if (vertices_[i].y < base)
            moisture[i] = WaterValue;
    return moisture;
}

void MoistureComputation::flow(std::vector<float> &moisture, const std::vector<float> &slope) const
{
    const int count = width_ * height_;
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    // Equal heights keep index order, so the map is the same on every run.
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return vertices_[static_cast<std::size_t>(a)].y > vertices_[static_cast<std::size_t>(b)].y;
    });

    for (const int i : order) {
        const int row = i / width_;
        const int column = i % width_;
        int neighbours[4];
        int present = 0;
        if (row >= 1)
            neighbours[present++] = i - width_;
        if (row < height_ - 1)
            neighbours[present++] = i + width_;
        if (column >= 1)
            neighbours[present++] = i - 1;
        if (column < width_ - 1)
            neighbours[present++] = i + 1;

        const float h = vertices_[static_cast<std::size_t>(i)].y;
        int lower[4];
        int n = 0;
        for (int k = 0; k < present; ++k)
            if (vertices_[static_cast<std::size_t>(neighbours[k])].y < h)
                lower[n++] = neighbours[k];
        if (n == 0)
            continue;

        auto &own = moisture[static_cast<std::size_t>(i)];
        const float amount = std::min(std::abs(slope[static_cast<std::size_t>(i)]) * FlowFactor, 1.0f) * own /
                             static_cast<float>(n);
        for (int k = 0; k < n; ++k) {
            own -= amount;
            moisture[static_cast<std::size_t>(lower[k])] += amount;
        }
    }
}

void MoistureComputation::smooth(std::vector<float> &moisture) const
{
    for (int r = 1; r < height_ - 1; ++r) {
        for (int c = 1; c < width_ - 1; ++c) {
            const std::size_t i = static_cast<std::size_t>(c + r * width_);
            const std::size_t w = static_cast<std::size_t>(width_);
            const float sum =
                moisture[i] + moisture[i - 1] + moisture[i + 1] + moisture[i - w] + moisture[i + w];
            moisture[i] = sum / 5.0f;
        }
    }
}

void MoistureComputation::finishBorders(std::vector<float> &moisture) const
{
    for (int r = 0; r < height_; ++r)
        moisture[static_cast<std::size_t>(r * width_)] = BorderValue;
    for (int c = 0; c < width_; ++c)
        moisture[static_cast<std::size_t>(c)] = BorderValue;
    for (int r = 1; r < height_ - 1; ++r)
        for (int c = 1; c < width_ - 1; ++c)
            moisture[static_cast<std::size_t>(c + r * width_)] =
                std::min(moisture[static_cast<std::size_t>(c + r * width_)], 1.0f);
}

} // namespace ecosystem
