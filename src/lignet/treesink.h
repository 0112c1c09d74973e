#pragma once

#include "math/mat4.h"
#include "math/vector3f.h"

#include <array>
#include <vector>

namespace lignet {

struct TreeDrawSettings;

// One branch segment: it runs from the frame's origin to (0, length, 0).
struct TreeSegment {
    double length = 0.0;
    double baseRadius = 0.0;
    double topRadius = 0.0;
    int g = 0;
    int w = 0;
    int branchId = 0;
};

// The end of a branch line; its frame is at the tip of the last segment.
struct TreeBranchEnd {
    double segmentLength = 0.0;
    int g = 0;
    int w = 0;
    int branchId = 0;
    bool leavesShown = false; // displayLeaves: the leaves follow
};

// One leaf: a square of corners at distance size from the frame's origin in its x-z plane.
struct TreeLeaf {
    float size = 0.0f;
    int branchId = 0;
    int leafType = 0;
    int index = 0; // position in its group, the tip leaf of STAGGERED being -1
};

// Receives what one drawing of a tree produces, in drawing order, each primitive with its frame
// in the tree's own coordinates (the trunk base at the origin, +y up). The default
// implementations ignore everything, so a plain TreeSink walks a tree without drawing it.
class TreeSink {
public:
    virtual ~TreeSink() = default;

    // Before the root branch: the branch drawing state.
    virtual void beginTree(const TreeDrawSettings &) {}
    // The colour for the branch about to be drawn (setBranchColour).
    virtual void branchColour(const std::array<float, 3> &) {}
    virtual void segment(const math::Mat4 &, const TreeSegment &) {}
    virtual void branchEnd(const math::Mat4 &, const TreeBranchEnd &) {}
    // Textured leaves follow: the leaf texture is to be bound.
    virtual void leafGroup(const math::Mat4 &, int /*leafType*/) {}
    // Wireframe leaves: one closed line loop through these points of the tip frame.
    virtual void leafOutline(const math::Mat4 &, const std::vector<math::Vector3f> &) {}
    virtual void leaf(const math::Mat4 &, const TreeLeaf &) {}
    virtual void endTree() {}
};

} // namespace lignet
