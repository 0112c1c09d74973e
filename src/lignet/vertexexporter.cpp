#include "lignet/vertexexporter.h"

#include <algorithm>
#include <charconv>

namespace lignet {

bool VertexExporter::beginExport(const std::string &fileName, bool highQuality)
{
    m_ringSize = highQuality ? 16 : 4;
    m_bottomRing.count = m_ringSize;
    m_topRing.count = m_ringSize;
    m_fileName = fileName;
    m_error.clear();
    m_buffer.clear();
    std::string reason;
    m_writing = m_file.open(fileName, &reason);
    if (!m_writing)
        m_error = "could not open '" + fileName + "' for writing: " + reason;
    return m_writing;
}

void VertexExporter::flushBuffer(std::size_t above)
{
    if (m_buffer.size() <= above)
        return;
    if (m_writing)
        m_file.write(m_buffer);
    m_buffer.clear();
}

void VertexExporter::writeRecordHeader(char kind, int branchId)
{
    char line[32];
    char *end = line;
    *end++ = kind;
    *end++ = ' ';
    end = std::to_chars(end, line + sizeof line - 1, branchId).ptr;
    *end++ = '\n';
    m_buffer.append(line, static_cast<std::size_t>(end - line));
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
    m_buffer.append(line, static_cast<std::size_t>(end - line));
    // Large trees write hundreds of megabytes; the text goes to the file in pieces.
    flushBuffer(1 << 20);
}

void VertexExporter::exportSegment(const math::Mat4 &segmentFrame, double length, double baseRadius,
                                   double topRadius, const ExportRing *ring, int branchId)
{
    writeRecordHeader('B', branchId);
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
    writeRecordHeader('L', branchId);
    const math::Mat4 frame = m_base * leafFrame;
    for (float angle : {0.0f, 90.0f, 180.0f, 270.0f})
        writePoint(cornerPoint(frame, 0.0f, leafSize, 0.0f, angle));
}

bool VertexExporter::endExport()
{
    bool ok = m_writing;
    if (m_writing) {
        flushBuffer(0);
        std::string reason;
        ok = m_file.commit(&reason);
        if (!ok)
            m_error = "could not write '" + m_fileName + "' completely: " + reason;
    }
    m_buffer.clear();
    m_writing = false;
    m_armed = false;
    m_base = math::Mat4();
    return ok;
}

} // namespace lignet
