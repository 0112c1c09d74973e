#pragma once

#include "lignet/exportring.h"
#include "math/mat4.h"
#include "math/matrixstack.h"
#include "math/vector3f.h"

namespace lignet {

struct TreeDrawSettings;
struct TreeParameters;
class TreeSink;
class VertexExporter;

// The drawing side of the walk: hands segments, branch ends and leaves to the sink and to a
// running vertex export, and places the leaves of a branch end by leaf type.
class BranchDrawer {
public:
    BranchDrawer(const TreeParameters *parameters, const TreeDrawSettings *settings,
                 VertexExporter *exporter);

    // Leaf flutter amplitude in degrees, set at the start of every drawing (0 without wind).
    double leafSwayAmplitude = 0.0;

    // One segment from the origin of the stack's frame to (0, length, 0).
    void drawSegment(math::MatrixStack &stack, TreeSink &sink, double length, double baseRadius,
                     double topRadius, const ExportRing *ring, int g, int w, int branchId);
    // Moves the frame to the segment tip and, if leaves are displayed, draws the leaves there.
    void drawBranchEnd(math::MatrixStack &stack, TreeSink &sink, double segmentLength,
                       const math::Mat4 &inverseOrientationWithWind, int g, int w, int branchId);
    void drawLeaves(math::MatrixStack &stack, TreeSink &sink, int leafType, double leafSize,
                    double segmentLength, int leafDensity, const math::Vector3f &windAxis, int branchId);
    // One leaf at the stack's frame: exported, then handed to the sink.
    void drawLeaf(math::MatrixStack &stack, TreeSink &sink, float leafSize, int branchId, int leafType,
                  int index);

    // sin(windTime * 1.97) times the amplitude limited to the angle of the wind axis.
    double flutterAngle(const math::Vector3f &windAxis) const;

private:
    void drawRowOfLeaves(math::MatrixStack &stack, TreeSink &sink, int leafType, double leafSize,
                         double segmentLength, int density, float turn, float flutter,
                         const math::Vector3f &windAxis, int branchId);

    const TreeParameters *m_parameters;
    const TreeDrawSettings *m_settings;
    VertexExporter *m_exporter;
};

} // namespace lignet
