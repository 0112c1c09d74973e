#pragma once

#include "lignet/treedrawsettings.h"
#include "lignet/treesink.h"
#include "math/mat4.h"

#include <array>
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

    int treesBegun = 0;
    int treesEnded = 0;
    int leafGroups = 0;
    std::array<float, 3> colour{-1, -1, -1};
    std::vector<std::array<float, 3>> colours;
    std::vector<Segment> segments;
    std::vector<BranchEnd> ends;
    std::vector<Leaf> leaves;
    std::vector<Outline> outlines;

    void beginTree(const lignet::TreeDrawSettings &) override { ++treesBegun; }
    void branchColour(const std::array<float, 3> &rgb) override
    {
        colour = rgb;
        colours.push_back(rgb);
    }
    void segment(const math::Mat4 &frame, const lignet::TreeSegment &s) override
    {
        segments.push_back({frame, s, colour});
    }
    void branchEnd(const math::Mat4 &frame, const lignet::TreeBranchEnd &e) override
    {
        ends.push_back({frame, e});
    }
    void leafGroup(const math::Mat4 &, int) override { ++leafGroups; }
    void leafOutline(const math::Mat4 &frame, const std::vector<math::Vector3f> &loop) override
    {
        outlines.push_back({frame, loop});
    }
    void leaf(const math::Mat4 &frame, const lignet::TreeLeaf &l) override { leaves.push_back({frame, l}); }
    void endTree() override { ++treesEnded; }
};
