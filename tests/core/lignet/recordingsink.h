#pragma once

// A tree sink that keeps every call, and the trees the tree tests draw into it.
#include "lignet/treerenderer.h"
#include "lignet/treesink.h"
#include "math/mat4.h"

#include <array>
#include <vector>

namespace treetest {

using namespace lignet;
using math::Mat4;
using math::Vector3f;

// Keeps everything one drawing of a tree hands to its sink, in order.
class RecordingSink : public TreeSink {
public:
    struct Segment {
        Mat4 frame;
        TreeSegment segment;
        std::array<float, 3> colour;
    };
    struct BranchEnd {
        Mat4 frame;
        TreeBranchEnd end;
    };
    struct Leaf {
        Mat4 frame;
        TreeLeaf leaf;
    };

    int treesBegun = 0, treesEnded = 0, leafGroups = 0;
    std::array<float, 3> colour{-1, -1, -1};
    std::vector<Segment> segments;
    std::vector<BranchEnd> ends;
    std::vector<Leaf> leaves;
    std::vector<std::vector<Vector3f>> outlines; // the leaf outlines' loops

    void beginTree(const TreeDrawSettings &) override { ++treesBegun; }
    void branchColour(const std::array<float, 3> &rgb) override { colour = rgb; }
    void segment(const Mat4 &f, const TreeSegment &s) override { segments.push_back({f, s, colour}); }
    void branchEnd(const Mat4 &f, const TreeBranchEnd &e) override { ends.push_back({f, e}); }
    void leafGroup(const Mat4 &, int) override { ++leafGroups; }
    void leafOutline(const Mat4 &, const std::vector<Vector3f> &loop) override { outlines.push_back(loop); }
    void leaf(const Mat4 &f, const TreeLeaf &l) override { leaves.push_back({f, l}); }
    void endTree() override { ++treesEnded; }
};

inline RecordingSink draw(TreeRenderer &tree)
{
    RecordingSink sink;
    tree.drawTree(sink);
    return sink;
}

inline RecordingSink drawn(const TreeParameters &parameters)
{
    TreeRenderer tree(parameters);
    return draw(tree);
}

inline TreeParameters withStrands(int strands)
{
    TreeParameters p;
    p.numberOfStrands = strands;
    return p;
}

// A single-strand tree: one vertical segment of length 5 with one group of leaves at its tip.
inline TreeParameters twig(int leafType, int density, float leafSize = 0.25f)
{
    TreeParameters p = withStrands(1);
    p.phyllotaxisAngle = 0.0;
    p.leafType = leafType;
    p.leafDensity = density;
    p.leafSize = leafSize;
    return p;
}

} // namespace treetest
