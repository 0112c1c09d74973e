#pragma once

#include "lignet/branchdrawer.h"
#include "lignet/exportring.h"
#include "lignet/treedrawsettings.h"
#include "lignet/treeparameters.h"
#include "lignet/treerandomgenerator.h"
#include "lignet/vertexexporter.h"
#include "math/mat4.h"
#include "math/matrixstack.h"
#include "math/vector3f.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace lignet {

class TreeSink;

// Result of splitStrands: the strand counts of both subbranches and their deviation angles
// (degrees) from the parent's direction.
struct StrandSplit {
    int major = 0;         // a
    int minor = 0;         // b
    double majorAngle = 0; // alpha a
    double minorAngle = 0; // alpha b
};

// Result of computeBranchSizes.
struct BranchSizes {
    double baseRadius = 0;    // rn, this segment's base
    double majorRadius = 0;   // ra, this segment's top and the major subbranch's base
    double minorRadius = 0;   // rb, the minor subbranch's base
    double majorLength = 0;   // La, characteristic length of the major subbranch
    double minorLength = 0;   // Lb
    double segmentLength = 0; // q(g, w) x L, the segment length of both subbranches
};

// What a drawing starts from once its clocks have advanced.
struct DrawingStart {
    int strands = 0;        // Nf: the strand count, reduced while growing
    double trunkHeight = 0; // Hf: the trunk height, reduced while growing
};

// A rotation chosen by the walk: angle in degrees about an axis of the branch frame.
struct FrameRotation {
    double angle = 0;
    math::Vector3f axis;
};

// One drawable tree. It is regenerated from its parameters at every drawing: the walk starts at
// the trunk base (the origin, growing along +y) on a CPU matrix stack and hands every segment,
// branch end and leaf with its frame to a TreeSink; a pending vertex export is written during
// the same walk.
class TreeRenderer {
public:
    TreeRenderer();
    explicit TreeRenderer(const TreeParameters &designed);
    TreeRenderer(const TreeRenderer &) = delete;
    TreeRenderer &operator=(const TreeRenderer &) = delete;

    // The set the dialogs edit and the files save and load.
    TreeParameters &designedParameters() { return m_designed; }
    const TreeParameters &designedParameters() const { return m_designed; }
    // The copy of the designed set taken at the start of the last drawing.
    const TreeParameters &workingParameters() const { return m_working; }
    TreeDrawSettings &settings() { return m_settings; }
    const TreeDrawSettings &settings() const { return m_settings; }
    VertexExporter &vertexExporter() { return m_exporter; }
    const VertexExporter &vertexExporter() const { return m_exporter; }
    BranchDrawer &branchDrawer() { return m_drawer; }
    const std::string &exportFileName() const { return m_exportFileName; }
    // The id the next minor branch receives; restarts at 1 with every drawing.
    int nextBranchId() const { return m_nextBranchId; }
    const std::array<float, 3> &branchColour() const { return m_branchColour; }

    // Draws the whole tree into sink and advances the growth, spin and wind clocks.
    void drawTree(TreeSink &sink);
    void drawTreeAtLevelOfDetail(TreeSink &sink, int levelOfDetail);
    // Advances the growth, spin and wind clocks exactly as one drawing does, without walking the
    // tree; a drawing served from a mesh cache calls this instead of drawTree. Returns the strand
    // count and trunk height that drawing uses.
    DrawingStart advanceClocks();

    // Identity of this tree model in mesh caches: unique in the process and never reused.
    std::uint64_t modelId() const { return m_modelId; }
    // Stamp of everything a drawing depends on besides the draw settings: the designed parameters
    // and the textures. Unique in the process (no two trees or versions share one); it changes with
    // bumpRevision and with an updateRevision that finds the designed parameters changed.
    std::uint64_t revision() const { return m_revision; }
    // Marks a change the parameter set does not show, such as new texture images.
    void bumpRevision();
    // Compares the designed parameters with those of the last revision and bumps when they
    // differ, so edits made through designedParameters() are never missed. One comparison of the
    // whole set: call it once per tree and frame, not per plant. Returns the revision.
    std::uint64_t updateRevision();

    // Arms the vertex export: the next drawing also writes fileName. A second request before
    // that drawing only replaces the name.
    void requestVertexExport(const std::string &fileName);
    // Empty when the last armed drawing wrote its file, else the reason it did not.
    const std::string &exportError() const { return m_exportError; }
    // The export error, once: returns it and forgets it, so a caller reports each failure once.
    std::string takeExportError() { return std::exchange(m_exportError, std::string()); }

    // The steps of one branch, public so that they can be checked one by one.
    bool isBeyondOrderLimits(int g, int w, int n) const;
    StrandSplit splitStrands(int g, int w, int n) const;
    BranchSizes computeBranchSizes(int g, int w, int n, int a, int b, double L) const;
    // The tree's +x axis in the frame described by q, y and z negated, x set to 0.
    static math::Vector3f windAxis(const math::Mat4 &q);
    // q := R(-beta, v) R(-alpha, z) R(-psi, z) R(-phi, y) R(-rho, u) q, each factor only when its
    // angle is not 0 (phi always).
    void updateInverseOrientation(math::Mat4 &q, const FrameRotation &gravimorphism, double psi, double alpha,
                                  const FrameRotation &wind) const;
    // Table value of distribution d; orders beyond the table (a trunk beyond w = 49) read its
    // last column and row.
    double tableValue(int d, int g, int w) const;

private:
    void drawBranch(int n, int g, int w, double L, double segmentLength, math::Mat4 &q1, math::Mat4 &q2,
                    const ExportRing *ring, int branchId);
    FrameRotation applyGravimorphism(int g, int w, const math::Mat4 &q1);
    FrameRotation applyWind(int n, double segmentLength, const math::Mat4 &q2);
    void setBranchColour(int g, int w);

    TreeParameters m_designed;
    TreeParameters m_working;
    TreeParameters m_revisionParameters; // the designed set when m_revision was taken
    BranchDrawer m_drawer;
    std::string m_exportFileName;
    int m_nextBranchId = 1;
    std::array<float, 3> m_branchColour{1.0f, 0.4f, 0.2f};
    TreeDrawSettings m_settings;
    VertexExporter m_exporter;
    std::string m_exportError;
    std::uint64_t m_modelId;
    std::uint64_t m_revision;

    // Per-drawing state of the walk.
    TreeRandomGenerator m_random;
    math::MatrixStack m_stack;
    TreeSink *m_sink = nullptr;
};

} // namespace lignet
