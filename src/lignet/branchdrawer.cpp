#include "lignet/branchdrawer.h"

#include "lignet/treedrawsettings.h"
#include "lignet/treeparameters.h"
#include "lignet/treerenderer.h"
#include "lignet/treesink.h"
#include "lignet/vertexexporter.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace lignet {

BranchDrawer::BranchDrawer(const TreeParameters *parameters, const TreeDrawSettings *settings,
                           VertexExporter *exporter)
    : m_parameters(parameters), m_settings(settings), m_exporter(exporter)
{
}

void BranchDrawer::drawSegment(math::MatrixStack &stack, TreeSink &sink, double length, double baseRadius,
                               double topRadius, const ExportRing *ring, int g, int w, int branchId)
{
    if (m_exporter->writing())
        m_exporter->exportSegment(stack.top(), length, baseRadius, topRadius, ring, branchId);
    sink.segment(stack.top(), TreeSegment{length, baseRadius, topRadius, g, w, branchId});
}

void BranchDrawer::drawBranchEnd(math::MatrixStack &stack, TreeSink &sink, double segmentLength,
                                 const math::Mat4 &inverseOrientationWithWind, int g, int w, int branchId)
{
    const math::Vector3f v = TreeRenderer::windAxis(inverseOrientationWithWind);
    stack.translate(0.0f, static_cast<float>(segmentLength), 0.0f);
    const bool shown = m_parameters->displayLeaves;
    sink.branchEnd(stack.top(), TreeBranchEnd{segmentLength, g, w, branchId, shown});
    if (shown)
        drawLeaves(stack, sink, m_parameters->leafType, m_parameters->leafSize, segmentLength,
                   m_parameters->leafDensity, v, branchId);
}

double BranchDrawer::flutterAngle(const math::Vector3f &windAxis) const
{
    double m = leafSwayAmplitude;
    const double h = std::sqrt(static_cast<double>(windAxis.y) * windAxis.y +
                               static_cast<double>(windAxis.z) * windAxis.z);
    const double limit = std::abs(std::asin(h) * 180.0 / std::numbers::pi);
    // An undefined limit (h above 1 by rounding) fails the comparison and keeps the amplitude.
    if (std::abs(m) > limit)
        m = m > 0 ? limit : -limit;
    return std::sin(m_settings->windTime * 1.97) * m;
}

void BranchDrawer::drawLeaves(math::MatrixStack &stack, TreeSink &sink, int leafType, double leafSize,
                              double segmentLength, int leafDensity, const math::Vector3f &windAxis,
                              int branchId)
{
    const float flutter = static_cast<float>(flutterAngle(windAxis));
    // A negative density (only a damaged parameter set has one) places no leaves, like 0.
    const int density = leafDensity > 0 ? leafDensity : 0;
    const float size = static_cast<float>(leafSize);

    if (m_settings->wireframe) {
        std::vector<math::Vector3f> loop;
        loop.reserve(static_cast<std::size_t>(density) * 4);
        for (int i = 0; i < density; ++i) {
            const float y = static_cast<float>(-i * (segmentLength / density));
            const float z = i % 2 == 0 ? size : -size;
            loop.push_back({0.0f, y, 0.0f});
            loop.push_back({size, y, z});
            loop.push_back({0.0f, y, 2.0f * z});
            loop.push_back({-size, y, z});
        }
        sink.leafOutline(stack.top(), loop);
        return;
    }

    sink.leafGroup(stack.top(), leafType);
    switch (leafType) {
    case SPIRAL:
        drawRowOfLeaves(stack, sink, leafType, leafSize, segmentLength, density, 197.0f, flutter, windAxis,
                        branchId);
        break;
    case STACKED:
        drawRowOfLeaves(stack, sink, leafType, leafSize, segmentLength, density, 180.0f, flutter, windAxis,
                        branchId);
        break;
    case STAGGERED: {
        int reduced = density;
        if (reduced % 2 != 0) {
            reduced -= 1;
            stack.translate(0.0f, size, 0.0f);
            stack.rotate(180.0f, 0.0f, 0.0f, 1.0f);
            drawLeaf(stack, sink, size, branchId, leafType, -1);
            stack.rotate(-180.0f, 0.0f, 0.0f, 1.0f);
            stack.translate(0.0f, -size, 0.0f);
        }
        drawRowOfLeaves(stack, sink, leafType, leafSize, segmentLength, reduced, 197.0f, flutter, windAxis,
                        branchId);
        break;
    }
    case BUNCHED: {
        // The fan step has no value without leaves; the loop below then runs no time at all.
        const int k = density > 0 ? 90 / density : 0;
        for (int i = 0; i < density; ++i) {
            stack.push();
            stack.rotate(static_cast<float>(i * k - 135), 1.0f, 0.0f, 0.0f);
            stack.translate(0.0f, 0.0f, size);
            stack.rotate(flutter, windAxis.y, windAxis.x, windAxis.z);
            drawLeaf(stack, sink, size, branchId, leafType, i);
            stack.pop();
        }
        break;
    }
    case CONIFEROUS: {
        for (int i = 0; i < density; ++i) {
            const double step = segmentLength / density;
            stack.push();
            if (i > 0)
                stack.rotate(static_cast<float>(i * 197), 0.0f, 1.0f, 0.0f);
            stack.rotate(flutter, windAxis.y, windAxis.x, windAxis.z);
            stack.rotate(-70.0f, 1.0f, 0.0f, 0.0f);
            stack.translate(0.0f, 0.0f, size);
            drawLeaf(stack, sink, size, branchId, leafType, i);
            stack.pop();
            stack.translate(0.0f, static_cast<float>(-step), 0.0f);
        }
        break;
    }
    default:
        break;
    }
}

void BranchDrawer::drawRowOfLeaves(math::MatrixStack &stack, TreeSink &sink, int leafType, double leafSize,
                                   double segmentLength, int density, float turn, float flutter,
                                   const math::Vector3f &windAxis, int branchId)
{
    const float size = static_cast<float>(leafSize);
    stack.translate(0.0f, 0.0f, size);
    for (int i = 0; i < density; ++i) {
        const double step = segmentLength / density;
        const double tilt = 30.0 * i * (density - i) / (static_cast<double>(density) * density);
        stack.push();
        stack.translate(0.0f, 0.0f, -size);
        if (i > 0)
            stack.rotate(static_cast<float>(i) * turn, 0.0f, 1.0f, 0.0f);
        stack.rotate(flutter, windAxis.y, windAxis.x, windAxis.z);
        stack.translate(0.0f, 0.0f, size);
        stack.rotate(static_cast<float>(tilt), 1.0f, 0.0f, 0.0f);
        drawLeaf(stack, sink, size, branchId, leafType, i);
        stack.pop();
        stack.translate(0.0f, static_cast<float>(-step), 0.0f);
    }
}

void BranchDrawer::drawLeaf(math::MatrixStack &stack, TreeSink &sink, float leafSize, int branchId,
                            int leafType, int index)
{
    if (m_exporter->writing())
        m_exporter->exportLeaf(stack.top(), leafSize, branchId);
    sink.leaf(stack.top(), TreeLeaf{leafSize, branchId, leafType, index});
}

} // namespace lignet
