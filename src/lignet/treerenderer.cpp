#include "lignet/treerenderer.h"

#include "lignet/treesink.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <numbers>

namespace lignet {

namespace {

// Two pi over one hundred: the wind clock's advance per drawing.
constexpr double WindTimeStep = 0.06283185307179587;

// The angle, in degrees, between a branch axis and the line whose horizontal part has length h.
double tiltLimit(double h)
{
    return std::abs(std::asin(h) * 180.0 / std::numbers::pi);
}

// Limits value to +-limit; an undefined limit fails the comparison and keeps the value.
double clampToLimit(double value, double limit)
{
    if (std::abs(value) > limit)
        return value > 0 ? limit : -limit;
    return value;
}

// Model ids and revisions come from one counter, so a revision never repeats in the process.
std::uint64_t nextStamp()
{
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

} // namespace

TreeRenderer::TreeRenderer() : TreeRenderer(TreeParameters()) {}

TreeRenderer::TreeRenderer(const TreeParameters &designed)
    : m_designed(designed), m_working(designed), m_revisionParameters(designed),
      m_drawer(&m_working, &m_settings, &m_exporter), m_modelId(nextStamp()), m_revision(nextStamp())
{
}

void TreeRenderer::bumpRevision()
{
    m_revision = nextStamp();
}

std::uint64_t TreeRenderer::updateRevision()
{
    if (!(m_designed == m_revisionParameters)) {
        m_revisionParameters = m_designed;
        bumpRevision();
    }
    return m_revision;
}

void TreeRenderer::requestVertexExport(const std::string &fileName)
{
    m_exportFileName = fileName;
    m_exporter.arm();
}

void TreeRenderer::drawTreeAtLevelOfDetail(TreeSink &sink, int levelOfDetail)
{
    m_settings.levelOfDetail = levelOfDetail;
    drawTree(sink);
}

DrawingStart TreeRenderer::advanceClocks()
{
    TreeDrawSettings &s = m_settings;
    const int strands = m_working.numberOfStrands;
    DrawingStart start{strands, m_working.trunkHeight};
    if (s.growing) {
        if (s.growthProgress > 1.0)
            s.growthProgress = 0.0;
        const double root = strands > 0 ? std::sqrt(static_cast<double>(strands)) * s.growthProgress : 0.0;
        // A progress set from outside to a non-number grows nothing rather than an undefined count.
        start.strands =
            std::isfinite(root) ? static_cast<int>(std::min(root * root, static_cast<double>(INT_MAX))) : 0;
        start.trunkHeight = (s.growthProgress + s.growthStep) * m_working.trunkHeight;
        s.growthProgress += s.growthStep;
    }
    if (s.spinning)
        s.spinAngle += 5.37;
    s.windTime += WindTimeStep;
    return start;
}

void TreeRenderer::drawTree(TreeSink &sink)
{
    m_working = m_designed;
    TreeDrawSettings &s = m_settings;
    const DrawingStart start = advanceClocks();

    math::Mat4 q1;
    math::Mat4 q2;
    m_branchColour = {1.0f, 0.4f, 0.2f};
    m_random.seed(1);
    m_nextBranchId = 1;
    if (s.windOn) {
        const double swing = std::sin(s.windTime);
        m_drawer.leafSwayAmplitude = swing * swing * 50.0 + 20.0;
    } else {
        m_drawer.leafSwayAmplitude = 0.0;
    }

    const bool exporting = m_exporter.armed();
    if (exporting) {
        m_exportError.clear();
        m_exporter.beginExport(m_exportFileName, s.highQuality);
    }

    m_stack.reset();
    m_sink = &sink;
    sink.beginTree(s);
    drawBranch(start.strands, 0, 0, 1.0, start.trunkHeight, q1, q2, nullptr, 0);
    sink.endTree();
    m_sink = nullptr;

    if (exporting && !m_exporter.endExport())
        m_exportError = m_exporter.lastError();
}

bool TreeRenderer::isBeyondOrderLimits(int g, int w, int n) const
{
    if (n < 1)
        return true;
    if (g == 0)
        return false;
    return g > TableOrdersG - 1 || w > TableOrdersW - 1;
}

double TreeRenderer::tableValue(int d, int g, int w) const
{
    // The trunk is not limited in w, but the tables end at w = 49; reading further would run
    // into the next rows.
    g = std::clamp(g, 0, TableOrdersG - 1);
    w = std::clamp(w, 0, TableOrdersW - 1);
    return m_working.tableValue(d, g, w);
}

StrandSplit TreeRenderer::splitStrands(int g, int w, int n) const
{
    // The table holds shares of 0.5 to 1; anything else (a table filled by hand) is bounded so the
    // strand counts stay defined.
    double share = tableValue(StrandDistribution, g, w);
    share = std::isfinite(share) ? std::clamp(share, 0.0, 1.0) : 0.5;
    const double angle = tableValue(BranchingAngles, g, w);
    StrandSplit split;
    split.major = static_cast<int>(std::floor((n - 2) * share + 0.5)) + 1;
    split.minor = n - split.major;
    split.majorAngle = (static_cast<double>(split.minor) / n) * angle;
    split.minorAngle = angle - split.majorAngle;
    return split;
}

BranchSizes TreeRenderer::computeBranchSizes(int g, int w, int n, int a, int b, double L) const
{
    const double k = m_working.branchThicknessPerStrand;
    const double minimal = tableValue(MinimalBranchLength, g, w);
    const double maximal = tableValue(MaximalBranchLength, g, w);
    // Relative length of a subbranch, bounded by the minimal and maximal factors; a bound that
    // is 0 or negative is not applied.
    const auto relativeLength = [&](int strands) {
        double x = std::sqrt(static_cast<double>(std::max(strands, 0))) / std::sqrt(static_cast<double>(n));
        if (minimal > 0 && minimal > x)
            x = minimal;
        if (maximal > 0 && x > maximal)
            x = maximal;
        return x;
    };
    BranchSizes sizes;
    sizes.baseRadius = std::sqrt(static_cast<double>(n)) * k;
    sizes.majorRadius = std::sqrt(static_cast<double>(std::max(a, 0))) * k;
    sizes.minorRadius = std::sqrt(static_cast<double>(std::max(b, 0))) * k;
    sizes.majorLength = relativeLength(a) * L;
    sizes.minorLength = relativeLength(b) * L;
    sizes.segmentLength = tableValue(BranchLengthScaling, g, w) * L;
    return sizes;
}

math::Vector3f TreeRenderer::windAxis(const math::Mat4 &q)
{
    return {0.0f, -q[1], -q[2]};
}

void TreeRenderer::updateInverseOrientation(math::Mat4 &q, const FrameRotation &gravimorphism, double psi,
                                            double alpha, const FrameRotation &wind) const
{
    math::Mat4 m;
    if (wind.angle != 0)
        m = m * math::Mat4::rotation(static_cast<float>(-wind.angle), wind.axis.x, wind.axis.y, wind.axis.z);
    if (alpha != 0)
        m = m * math::Mat4::rotation(static_cast<float>(-alpha), 0.0f, 0.0f, 1.0f);
    if (psi != 0)
        m = m * math::Mat4::rotation(static_cast<float>(-psi), 0.0f, 0.0f, 1.0f);
    m = m * math::Mat4::rotation(static_cast<float>(-m_working.phyllotaxisAngle), 0.0f, 1.0f, 0.0f);
    if (gravimorphism.angle != 0)
        m = m * math::Mat4::rotation(static_cast<float>(-gravimorphism.angle), gravimorphism.axis.x,
                                     gravimorphism.axis.y, gravimorphism.axis.z);
    q = m * q;
}

FrameRotation TreeRenderer::applyGravimorphism(int g, int w, const math::Mat4 &q1)
{
    FrameRotation r;
    const double impact = tableValue(GravimorphismImpact, g, w);
    if (impact == 0)
        return r;
    // Gravity, (0, -1, 0) of the tree, seen in the branch frame.
    const float dx = -q1[4];
    const float dz = -q1[6];
    r.axis = {dz, 0.0f, -dx};
    const double h = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dz) * dz);
    r.angle = clampToLimit(impact, tiltLimit(h));
    m_stack.rotate(static_cast<float>(r.angle), r.axis.x, r.axis.y, r.axis.z);
    return r;
}

FrameRotation TreeRenderer::applyWind(int n, double segmentLength, const math::Mat4 &q2)
{
    FrameRotation bend;
    if (!m_settings.windOn)
        return bend;
    const int strands = std::max(m_working.numberOfStrands, 1);
    bend.axis = windAxis(q2);
    // Integer division: 0.1 of the gust speed for the whole-tree root, 1.1 for every other branch.
    bend.angle = (1.1 - n / strands) * m_working.windSpeed;
    const double h = std::sqrt(static_cast<double>(bend.axis.y) * bend.axis.y +
                               static_cast<double>(bend.axis.z) * bend.axis.z);
    const double drawnBend = clampToLimit(bend.angle, tiltLimit(h));

    const double p1 = m_random.next() / 32767.0 * std::numbers::pi * 2;
    const double p2 = m_random.next() / 32767.0 * std::numbers::pi * 2;
    const double stiffness = 1.02 - std::pow(static_cast<double>(n) / strands, 0.25);
    const double sway = std::numbers::pi * stiffness * segmentLength * m_working.windSpeedNodirect;
    const double s1 = std::sin(m_settings.windTime + p1) * sway;
    const double s2 = std::sin(m_settings.windTime + p2) * sway;
    m_stack.rotate(static_cast<float>(s1), 1.0f, 0.0f, 0.0f);
    m_stack.rotate(static_cast<float>(s2), 0.0f, 0.0f, 1.0f);
    m_stack.rotate(static_cast<float>(drawnBend), bend.axis.x, bend.axis.y, bend.axis.z);
    return bend;
}

void TreeRenderer::setBranchColour(int g, int w)
{
    const TreeDrawSettings &s = m_settings;
    if (s.colourByOrders) {
        m_branchColour = {static_cast<float>(0.1 * g), static_cast<float>(0.1 * w), g == 1 ? 1.0f : 0.2f};
        m_sink->branchColour(m_branchColour);
    } else if ((s.highlightGMin <= g && g <= s.highlightGMax) ||
               (s.highlightWMin <= w && w <= s.highlightWMax)) {
        m_branchColour = {0.0f, 1.0f, 1.0f};
        m_sink->branchColour(m_branchColour);
    } else {
        // Plain white is sent without touching the stored colour.
        m_sink->branchColour({1.0f, 1.0f, 1.0f});
    }
}

void TreeRenderer::drawBranch(int n, int g, int w, double L, double segmentLength, math::Mat4 &q1,
                              math::Mat4 &q2, const ExportRing *ring, int branchId)
{
    const long long lod = m_settings.levelOfDetail;
    const long long detailLimit = lod == 0 ? 50 : 10 - lod;
    const double centralism = m_working.gravicentralism;
    const float phyllotaxis = static_cast<float>(m_working.phyllotaxisAngle);
    ExportRing continuedRing;
    if (ring) {
        continuedRing = *ring;
        ring = &continuedRing;
    }

    // Each pass draws one segment; the major subbranch continues in the same frame with the
    // next pass instead of a nested call, so a long branch line never deepens the call stack.
    // Only minor subbranches nest, and their depth is bounded by the Gravelius order limit.
    for (;;) {
        if (isBeyondOrderLimits(g, w, n))
            return;
        const FrameRotation gravimorphism = applyGravimorphism(g, w, q1);
        m_stack.rotate(phyllotaxis, 0.0f, 1.0f, 0.0f);
        const StrandSplit split = splitStrands(g, w, n);
        const BranchSizes sizes = computeBranchSizes(g, w, n, split.major, split.minor, L);
        const FrameRotation wind = applyWind(n, segmentLength, q2);
        setBranchColour(g, w);

        if (w < detailLimit) {
            m_stack.push();
            m_drawer.drawSegment(m_stack, *m_sink, segmentLength, sizes.baseRadius, sizes.majorRadius, ring,
                                 g, w, branchId);
            m_stack.pop();
        }
        ExportRing majorRing;
        const bool ringTaken = m_exporter.armed();
        if (ringTaken)
            majorRing = m_exporter.takeTopRing();

        if (detailLimit * detailLimit < w || n == 1) {
            m_drawer.drawBranchEnd(m_stack, *m_sink, segmentLength, q2, g, w, branchId);
            return;
        }

        m_stack.translate(0.0f, static_cast<float>(segmentLength), 0.0f);
        double psi = 0.0;
        if (g == 0) {
            // Gravicentralism keeps the trunk upright.
            psi = split.majorAngle * centralism;
            m_stack.rotate(static_cast<float>(psi), 0.0f, 0.0f, 1.0f);
        }
        double majorAngle = split.majorAngle;
        if (split.minor <= 0) {
            majorAngle = 0.0;
        } else {
            math::Mat4 minorQ1 = q1;
            math::Mat4 minorQ2 = q2;
            updateInverseOrientation(minorQ1, gravimorphism, psi, split.minorAngle, FrameRotation{});
            updateInverseOrientation(minorQ2, gravimorphism, psi, split.minorAngle, wind);
            m_stack.push();
            m_stack.translate(static_cast<float>((sizes.minorRadius - sizes.majorRadius) / 2), 0.0f, 0.0f);
            m_stack.rotate(static_cast<float>(split.minorAngle), 0.0f, 0.0f, 1.0f);
            const int minorId = m_nextBranchId++;
            drawBranch(split.minor, g + 1, w + 1, sizes.minorLength, sizes.segmentLength, minorQ1, minorQ2,
                       nullptr, minorId);
            m_stack.pop();
        }
        m_stack.rotate(static_cast<float>(-majorAngle), 0.0f, 0.0f, 1.0f);
        if (split.major <= 0)
            return;
        updateInverseOrientation(q1, gravimorphism, psi, -majorAngle, FrameRotation{});
        updateInverseOrientation(q2, gravimorphism, psi, -majorAngle, wind);

        n = split.major;
        w = w + 1;
        L = sizes.majorLength;
        segmentLength = sizes.segmentLength;
        continuedRing = majorRing;
        ring = ringTaken ? &continuedRing : nullptr;
    }
}

} // namespace lignet
