#pragma once

#include "lignet/gl/drawcounters.h"
#include "lignet/gl/treetextures.h"
#include "lignet/treesink.h"

class GLUquadric;

namespace lignet {
struct TreeDrawSettings;
}

namespace lignet::gl {

// The OpenGL state a tree drawing sets before its root branch: in wireframe blending and texturing
// off; otherwise texturing, depth test and blending (source alpha) on, GL_MODULATE, two-sided
// lighting and filled polygons.
void applyTreeDrawingState(bool wireframe);

// The GLU quadric every tree is drawn with (filled, with texture coordinates). A quadric only holds
// drawing options, so one serves every context; it lives until the process ends.
GLUquadric *treeQuadric();

// Draws what the branch walk produces with fixed-function OpenGL in the current context: each
// frame is multiplied onto the live modelview matrix around its primitive. Reads the tree's draw
// settings (wireframe, quality, level of detail) at every call.
class GlTreeSink : public TreeSink {
public:
    GlTreeSink(const TreeDrawSettings &settings, const TreeTextures &textures);

    void beginTree(const TreeDrawSettings &settings) override;
    void branchColour(const std::array<float, 3> &rgb) override;
    void segment(const math::Mat4 &frame, const TreeSegment &segment) override;
    void branchEnd(const math::Mat4 &frame, const TreeBranchEnd &end) override;
    void leafGroup(const math::Mat4 &frame, int leafType) override;
    void leafOutline(const math::Mat4 &frame, const std::vector<math::Vector3f> &loop) override;
    void leaf(const math::Mat4 &frame, const TreeLeaf &leaf) override;

    // Counts what each primitive sends (GLU's quadrics as GLU draws them: a quad strip per stack, a
    // triangle fan per disk); null counts nothing.
    void setCounters(DrawCounters *counters) { m_counters = counters; }

    // A segment along +y from the current frame's origin: a line prism in wireframe, a GLU
    // cylinder up to level of detail 5, a single line beyond.
    void drawSegment(double length, double baseRadius, double topRadius) const;
    // One leaf at the current frame's origin: a four-slice disk (up to level of detail 11) and a point.
    void drawLeaf(float leafSize) const;

private:
    const TreeDrawSettings &m_settings;
    TreeTextures m_textures;
    DrawCounters *m_counters = nullptr;
};

} // namespace lignet::gl
