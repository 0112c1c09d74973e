#pragma once

#include "lignet/treerenderer.h"
#include "lignet/treesink.h"
#include "math/mat4.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

// Keeps everything one drawing of a tree hands to its sink, in order.
class RecordingSink : public lignet::TreeSink {
public:
    struct Segment {
        math::Mat4 frame;
        lignet::TreeSegment segment;
        std::array<float, 3> colour;
    };
    struct BranchEnd {
        math::Mat4 frame;
        lignet::TreeBranchEnd end;
    };
    struct Leaf {
        math::Mat4 frame;
        lignet::TreeLeaf leaf;
    };
    struct Outline {
        math::Mat4 frame;
        std::vector<math::Vector3f> loop;
    };

    int treesBegun = 0, treesEnded = 0, leafGroups = 0;
    std::array<float, 3> colour{-1, -1, -1};
    std::vector<Segment> segments;
    std::vector<BranchEnd> ends;
    std::vector<Leaf> leaves;
    std::vector<Outline> outlines;

    void beginTree(const lignet::TreeDrawSettings &) override { ++treesBegun; }
    void branchColour(const std::array<float, 3> &rgb) override { colour = rgb; }
    void segment(const math::Mat4 &f, const lignet::TreeSegment &s) override
    {
        segments.push_back({f, s, colour});
    }
    void branchEnd(const math::Mat4 &f, const lignet::TreeBranchEnd &e) override { ends.push_back({f, e}); }
    void leafGroup(const math::Mat4 &, int) override { ++leafGroups; }
    void leafOutline(const math::Mat4 &f, const std::vector<math::Vector3f> &loop) override
    {
        outlines.push_back({f, loop});
    }
    void leaf(const math::Mat4 &f, const lignet::TreeLeaf &l) override { leaves.push_back({f, l}); }
    void endTree() override { ++treesEnded; }
};

inline RecordingSink draw(lignet::TreeRenderer &tree)
{
    RecordingSink sink;
    tree.drawTree(sink);
    return sink;
}

inline RecordingSink drawn(const lignet::TreeParameters &parameters)
{
    lignet::TreeRenderer tree(parameters);
    return draw(tree);
}

inline lignet::TreeParameters withStrands(int strands)
{
    lignet::TreeParameters p;
    p.numberOfStrands = strands;
    return p;
}

// A single-strand tree: one vertical segment of length 5 with one group of leaves at its tip.
inline lignet::TreeParameters twig(int leafType, int density, float leafSize = 0.25f)
{
    lignet::TreeParameters p = withStrands(1);
    p.phyllotaxisAngle = 0.0;
    p.leafType = leafType;
    p.leafDensity = density;
    p.leafSize = leafSize;
    return p;
}

// Every segment and leaf frame of a drawing, in order.
inline std::vector<math::Mat4> frames(const RecordingSink &sink)
{
    std::vector<math::Mat4> all;
    for (const auto &s : sink.segments)
        all.push_back(s.frame);
    for (const auto &l : sink.leaves)
        all.push_back(l.frame);
    return all;
}

// The point at distance r from a vertical twig's axis in direction `degrees` about +y from +z, at height y.
inline math::Vector3f around(double degrees, double r, double y)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return {static_cast<float>(r * std::sin(a)), static_cast<float>(y), static_cast<float>(r * std::cos(a))};
}

// Angle in degrees between a frame's +y axis and the tree's vertical.
inline double degreesFromVertical(const math::Mat4 &frame)
{
    const double y = static_cast<double>(frame.column(1).normalized().y);
    return std::acos(std::clamp(y, -1.0, 1.0)) * 180.0 / std::numbers::pi;
}

inline void fillTable(lignet::DistributionTable &table, double value)
{
    for (auto &row : table)
        row.fill(value);
}
