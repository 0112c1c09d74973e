#include "lignet/vertexexporter.h"

#include <algorithm>
#include <charconv>
#include <locale>

namespace lignet {

bool VertexExporter::beginExport(const std::string &fileName, bool highQuality)
{
    m_ringSize = highQuality ? 16 : 4;
    m_bottomRing.count = m_ringSize;
    m_topRing.count = m_ringSize;
    m_fileName = fileName;
    m_error.clear();
    if (m_out.is_open())
        m_out.close();
    m_out.clear();
    m_out.open(fileName, std::ios::out | std::ios::trunc);
    m_out.imbue(std::locale::classic());
    m_writing = m_out.is_open();
    if (!m_writing)
        m_error = "could not open '" + fileName + "' for writing";
    return m_writing;
}

math::Vector3f VertexExporter::cornerPoint(const math::Mat4 &frame, float h, float x, float z, float angle)
{
    math::Mat4 m = frame;
    if (h != 0.0f)
        m.translate(0.0f, h, 0.0f);
    m = m * math::Mat4::rotation(angle, 0.0f, 1.0f, 0.0f);
    m.translate(x, 0.0f, z);
    return m.translationPart();
}

void VertexExporter::writePoint(const math::Vector3f &p)
{
    // Formatted as the stream's default (6 significant digits, %g style) without its per-value
    // overhead; to_chars is locale-independent like the classic locale.
    char line[3 * 32];
    char *end = line;
    char *const last = line + sizeof line;
    for (float value : {p.x, p.y, p.z}) {
        if (end != line)
            *end++ = ' ';
        end = std::to_chars(end, last, static_cast<double>(value), std::chars_format::general, 6).ptr;
    }
    *end++ = '\n';
    m_out.write(line, end - line);
}

void VertexExporter::exportSegment(const math::Mat4 &segmentFrame, double length, double baseRadius,
                                   double topRadius, const ExportRing *ring, int branchId)
{
    m_out << "B " << branchId << '\n';
    const math::Mat4 frame = m_base * segmentFrame;
    const float step = 360.0f / static_cast<float>(m_ringSize);
    if (ring) {
        m_bottomRing = *ring;
        m_bottomRing.count = std::clamp(m_bottomRing.count, 0, ExportRing::MaxPoints);
    } else {
        const float rb = static_cast<float>(baseRadius);
        m_bottomRing.count = m_ringSize;
        for (int i = 0; i < m_ringSize; ++i) {
            const float angle = i == 0 ? 0.0f : static_cast<float>(i) * step;
            m_bottomRing.points[i] = cornerPoint(frame, 0.0f, rb, rb, angle);
        }
    }
    const float rt = static_cast<float>(topRadius);
    m_topRing.count = m_ringSize;
    for (int i = 0; i < m_ringSize; ++i) {
        const float angle = i == 0 ? 0.0f : static_cast<float>(i) * step;
        m_topRing.points[i] = cornerPoint(frame, static_cast<float>(length), rt, rt, angle);
    }
    const int n = std::min(m_bottomRing.count, m_topRing.count);
    for (int i = 0; i < n; ++i) {
        const int next = (i + 1) % n;
        writePoint(m_bottomRing.points[next]);
        writePoint(m_topRing.points[next]);
        writePoint(m_topRing.points[i]);
        writePoint(m_bottomRing.points[i]);
    }
}

ExportRing VertexExporter::takeTopRing() const
{
    ExportRing ring;
    ring.count = m_topRing.count;
    const int count = std::clamp(m_topRing.count, 0, ExportRing::MaxPoints);
    for (int i = 0; i < count; ++i)
        ring.points[i] = m_topRing.points[(i + count / 4) % count];
    return ring;
}

void VertexExporter::exportLeaf(const math::Mat4 &leafFrame, float leafSize, int branchId)
{
    m_out << "L " << branchId << '\n';
    const math::Mat4 frame = m_base * leafFrame;
    for (float angle : {0.0f, 90.0f, 180.0f, 270.0f})
        writePoint(cornerPoint(frame, 0.0f, leafSize, 0.0f, angle));
}

bool VertexExporter::endExport()
{
    bool ok = m_writing;
    if (m_out.is_open()) {
        m_out.flush();
        ok = ok && m_out.good();
        m_out.close();
        ok = ok && !m_out.fail();
        if (m_writing && !ok)
            m_error = "could not write '" + m_fileName + "' completely";
    }
    m_writing = false;
    m_armed = false;
    m_base = math::Mat4();
    return ok;
}

} // namespace lignet
