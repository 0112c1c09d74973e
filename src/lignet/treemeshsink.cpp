#include "lignet/treemeshsink.h"

#include "lignet/treedrawsettings.h"

#include <algorithm>
#include <cmath>

namespace lignet {

namespace {

// The cylinder runs along its +z; the drawing turns that onto the branch's +y.
const math::Mat4 CylinderTurn = math::Mat4::rotation(-90.0f, 1.0f, 0.0f, 0.0f);
const math::Mat4 CylinderTurnBack = math::Mat4::rotation(90.0f, 1.0f, 0.0f, 0.0f);

} // namespace

TreeMeshSink::TreeMeshSink() = default;

void TreeMeshSink::setPlacement(const math::Mat4 &placement)
{
    m_placement = placement;
    m_hasPlacement = !(placement == math::Mat4());
    const float scale = placement.column(0).length();
    m_normalize = std::abs(scale - 1.0f) > 1e-6f;
}

math::Mat4 TreeMeshSink::placed(const math::Mat4 &frame) const
{
    return m_hasPlacement ? m_placement * frame : frame;
}

void TreeMeshSink::beginTree(const TreeDrawSettings &settings)
{
    m_wireframe = settings.wireframe;
    m_highQuality = settings.highQuality;
    m_levelOfDetail = settings.levelOfDetail;
    m_colour = {1.0f, 1.0f, 1.0f, 1.0f};
    m_normal = {0.0f, 0.0f, 1.0f};
    m_texCoord = {0.0f, 0.0f};
}

void TreeMeshSink::branchColour(const std::array<float, 3> &rgb)
{
    m_colour = {rgb[0], rgb[1], rgb[2], 1.0f};
}

std::uint32_t TreeMeshSink::addVertex(const math::Mat4 &m, const math::Vector3f &p,
                                      const math::Vector3f &rawNormal, const TexCoord &texCoord)
{
    const auto index = static_cast<std::uint32_t>(m_mesh.positions.size());
    m_mesh.positions.push_back(m.transformPoint(p));
    math::Vector3f n = m.transformDirection(rawNormal);
    if (m_normalize) {
        const float length = n.length();
        if (length > 0.0f)
            n *= 1.0f / length;
    }
    m_mesh.normals.push_back(n);
    m_mesh.texCoords.push_back(texCoord);
    m_mesh.colours.push_back(m_colour);
    m_mesh.pointCorners.push_back(0);
    return index;
}

void TreeMeshSink::segment(const math::Mat4 &frame, const TreeSegment &segment)
{
    const math::Mat4 m = placed(frame);
    if (m_wireframe) {
        m_colour = {0.0f, 0.0f, 0.0f, 1.0f};
        addPrism(m, static_cast<float>(segment.length), static_cast<float>(segment.baseRadius),
                 static_cast<float>(segment.topRadius));
    } else if (m_levelOfDetail <= 5) {
        addCylinder(m * CylinderTurn, segment);
    } else {
        addBarkLine(m, static_cast<float>(segment.length));
    }
}

void TreeMeshSink::addCylinder(const math::Mat4 &m, const TreeSegment &segment)
{
    const bool fine = m_highQuality && m_levelOfDetail == 0;
    const QuadricSlices &slices = fine ? m_tenSlices : m_fiveSlices;
    const int stacks = fine ? 5 : 1;
    cylinderVertices(slices, segment.baseRadius, segment.topRadius, segment.length, stacks, m_quadric);
    if (m_quadric.empty())
        return;
    std::vector<std::uint32_t> &out = indices(MeshBatchKind::BarkTriangles);
    const std::size_t stripLength = m_quadric.size() / static_cast<std::size_t>(stacks);
    for (std::size_t start = 0; start < m_quadric.size(); start += stripLength) {
        std::uint32_t first = 0;
        for (std::size_t i = start; i < start + stripLength; ++i) {
            const QuadricVertex &v = m_quadric[i];
            const std::uint32_t index = addVertex(m, v.position, v.normal, {v.s, v.t});
            if (i == start)
                first = index;
        }
        for (std::uint32_t k = 0; 2 * k + 3 < stripLength; ++k) {
            const std::uint32_t a = first + 2 * k, b = a + 1, c = a + 2, d = a + 3;
            out.insert(out.end(), {c, a, d, a, b, d});
        }
    }
    m_normal = m_quadric.back().normal;
    m_texCoord = {m_quadric.back().s, m_quadric.back().t};
}

void TreeMeshSink::addBarkLine(const math::Mat4 &m, float length)
{
    // glTexCoord1f leaves t at 0.
    const std::uint32_t base = addVertex(m, {0.0f, 0.0f, 0.0f}, m_normal, {0.0f, 0.0f});
    const std::uint32_t top = addVertex(m, {0.0f, length, 0.0f}, m_normal, {1.0f, 0.0f});
    indices(MeshBatchKind::BarkLines).insert(indices(MeshBatchKind::BarkLines).end(), {base, top});
    m_texCoord = {1.0f, 0.0f};
}

void TreeMeshSink::addPrism(const math::Mat4 &m, float l, float rb, float rt)
{
    const std::array<math::Vector3f, 10> strip = {{{-rb, 0.0f, -rb},
                                                   {-rt, l, -rt},
                                                   {rb, 0.0f, -rb},
                                                   {rt, l, -rt},
                                                   {rb, 0.0f, rb},
                                                   {rt, l, rt},
                                                   {-rb, 0.0f, rb},
                                                   {-rt, l, rt},
                                                   {-rb, 0.0f, -rb},
                                                   {-rt, l, -rt}}};
    std::uint32_t first = 0;
    for (std::size_t i = 0; i < strip.size(); ++i) {
        const std::uint32_t index = addVertex(m, strip[i], m_normal, m_texCoord);
        if (i == 0)
            first = index;
    }
    std::vector<std::uint32_t> &out = indices(MeshBatchKind::WireLines);
    for (std::uint32_t k = 0; k < 4; ++k) {
        const std::uint32_t a = first + 2 * k, b = a + 1, c = a + 2, d = a + 3;
        out.insert(out.end(), {d, c, c, a, a, b, b, d});
    }
}

void TreeMeshSink::branchEnd(const math::Mat4 &, const TreeBranchEnd &end)
{
    if (end.leavesShown)
        m_colour = {1.0f, 1.0f, 1.0f, 1.0f};
}

void TreeMeshSink::leafOutline(const math::Mat4 &frame, const std::vector<math::Vector3f> &loop)
{
    // A line loop of fewer than two vertices draws nothing.
    if (loop.size() < 2)
        return;
    const math::Mat4 m = placed(frame);
    std::uint32_t first = 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const std::uint32_t index = addVertex(m, loop[i], m_normal, m_texCoord);
        if (i == 0)
            first = index;
    }
    std::vector<std::uint32_t> &out = indices(MeshBatchKind::WireLines);
    const auto count = static_cast<std::uint32_t>(loop.size());
    for (std::uint32_t i = 0; i < count; ++i)
        out.insert(out.end(), {first + i, first + (i + 1) % count});
}

void TreeMeshSink::leaf(const math::Mat4 &frame, const TreeLeaf &leaf)
{
    const math::Mat4 m = placed(frame);
    m_colour = {0.5f, 0.5f, 0.5f, 0.8f};
    math::Mat4 pointFrame = m;
    if (m_levelOfDetail <= 11) {
        const math::Mat4 disk = m * CylinderTurn;
        diskFanVertices(m_leafSlices, leaf.size, m_quadric);
        if (!m_quadric.empty()) {
            m_normal = {0.0f, 0.0f, 1.0f};
            std::uint32_t centre = 0;
            for (std::size_t i = 0; i < m_quadric.size(); ++i) {
                const QuadricVertex &v = m_quadric[i];
                const std::uint32_t index = addVertex(disk, v.position, v.normal, {v.s, v.t});
                if (i == 0)
                    centre = index;
            }
            std::vector<std::uint32_t> &out = indices(MeshBatchKind::LeafTriangles);
            for (std::uint32_t k = 1; k + 1 < m_quadric.size(); ++k)
                out.insert(out.end(), {centre, centre + k, centre + k + 1});
            m_texCoord = {m_quadric.back().s, m_quadric.back().t};
        }
        pointFrame = disk * CylinderTurnBack;
    }
    const std::uint32_t point = addVertex(pointFrame, {0.0f, 0.0f, 0.0f}, m_normal, m_texCoord);
    indices(MeshBatchKind::LeafPoints).push_back(point);
    // The point again as a triangle after its disk: three copies of its vertex, corners 1 to 3.
    m_mesh.pointCorners[point] = 1;
    for (std::uint8_t corner = 2; corner <= 3; ++corner) {
        m_mesh.positions.push_back(m_mesh.positions[point]);
        m_mesh.normals.push_back(m_mesh.normals[point]);
        m_mesh.texCoords.push_back(m_mesh.texCoords[point]);
        m_mesh.colours.push_back(m_mesh.colours[point]);
        m_mesh.pointCorners.push_back(corner);
    }
    indices(MeshBatchKind::LeafTriangles)
        .insert(indices(MeshBatchKind::LeafTriangles).end(), {point, point + 1, point + 2});
    ++m_pointTriangles;
    m_colour = {0.5f, 0.5f, 0.5f, 1.0f};
}

void TreeMeshSink::finish(TreeMesh &mesh)
{
    m_mesh.indices.clear();
    m_mesh.batches.clear();
    std::array<MeshBatchKind, MeshBatchKindCount> order = {
        MeshBatchKind::BarkTriangles, MeshBatchKind::BarkLines, MeshBatchKind::WireLines,
        MeshBatchKind::LeafTriangles, MeshBatchKind::LeafPoints};
    if (leafPointsBeforeDisks(m_levelOfDetail))
        std::swap(order[3], order[4]);
    for (MeshBatchKind k : order) {
        std::vector<std::uint32_t> &kind = m_indices[static_cast<std::size_t>(k)];
        if (kind.empty())
            continue;
        MeshBatch batch = batchStateOf(k);
        if (k == MeshBatchKind::LeafTriangles)
            batch.pointTriangles = m_pointTriangles;
        batch.firstIndex = static_cast<std::uint32_t>(m_mesh.indices.size());
        batch.indexCount = static_cast<std::uint32_t>(kind.size());
        m_mesh.indices.insert(m_mesh.indices.end(), kind.begin(), kind.end());
        m_mesh.batches.push_back(batch);
        kind.clear();
    }
    m_pointTriangles = 0;
    m_mesh.boundsMin = {};
    m_mesh.boundsMax = {};
    if (!m_mesh.positions.empty()) {
        m_mesh.boundsMin = m_mesh.boundsMax = m_mesh.positions.front();
        for (const math::Vector3f &p : m_mesh.positions) {
            m_mesh.boundsMin = {std::min(m_mesh.boundsMin.x, p.x), std::min(m_mesh.boundsMin.y, p.y),
                                std::min(m_mesh.boundsMin.z, p.z)};
            m_mesh.boundsMax = {std::max(m_mesh.boundsMax.x, p.x), std::max(m_mesh.boundsMax.y, p.y),
                                std::max(m_mesh.boundsMax.z, p.z)};
        }
    }
    // Copied rather than swapped: the sink keeps its grown buffers for the next drawing, and a new
    // mesh gets arrays of its exact size.
    mesh.positions.assign(m_mesh.positions.begin(), m_mesh.positions.end());
    mesh.normals.assign(m_mesh.normals.begin(), m_mesh.normals.end());
    mesh.texCoords.assign(m_mesh.texCoords.begin(), m_mesh.texCoords.end());
    mesh.colours.assign(m_mesh.colours.begin(), m_mesh.colours.end());
    mesh.pointCorners.assign(m_mesh.pointCorners.begin(), m_mesh.pointCorners.end());
    mesh.indices.assign(m_mesh.indices.begin(), m_mesh.indices.end());
    mesh.batches = m_mesh.batches;
    mesh.boundsMin = m_mesh.boundsMin;
    mesh.boundsMax = m_mesh.boundsMax;
    mesh.wireframe = m_wireframe;
    m_mesh.clear();
}

} // namespace lignet
