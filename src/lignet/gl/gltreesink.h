#pragma once

#include "lignet/treesink.h"

namespace lignet {
struct TreeDrawSettings;
}

namespace lignet::gl {

// The OpenGL state a tree drawing sets before its root branch: in wireframe blending and texturing
// off; otherwise texturing, depth test and blending (source alpha) on, GL_MODULATE, two-sided
// lighting and filled polygons.
void applyTreeDrawingState(bool wireframe);

// Draws what the branch walk produces with fixed-function OpenGL in the current context: each
// frame is multiplied onto the live modelview matrix around its primitive. Reads the tree's draw
// settings (wireframe, quality, level of detail, textures, quadric) at every call.
class GlTreeSink : public TreeSink {
public:
    explicit GlTreeSink(const TreeDrawSettings &settings);

    void beginTree(const TreeDrawSettings &settings) override;
    void branchColour(const std::array<float, 3> &rgb) override;
    void segment(const math::Mat4 &frame, const TreeSegment &segment) override;
    void branchEnd(const math::Mat4 &frame, const TreeBranchEnd &end) override;
    void leafGroup(const math::Mat4 &frame, int leafType) override;
    void leafOutline(const math::Mat4 &frame, const std::vector<math::Vector3f> &loop) override;
    void leaf(const math::Mat4 &frame, const TreeLeaf &leaf) override;

    // A segment along +y from the current frame's origin: a line prism in wireframe, a GLU
    // cylinder up to level of detail 5, a single line beyond.
    void drawSegment(double length, double baseRadius, double topRadius) const;
    // One leaf at the current frame's origin: a four-slice disk (up to level of detail 11) and a point.
    void drawLeaf(float leafSize) const;

private:
    const TreeDrawSettings &m_settings;
};

} // namespace lignet::gl
