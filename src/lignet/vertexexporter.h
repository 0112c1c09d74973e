#pragma once

#include "io/atomicfilewriter.h"
#include "lignet/exportring.h"
#include "math/mat4.h"
#include "math/vector3f.h"

#include <cstdint>
#include <string>

namespace lignet {

// Writes the quads of one drawing of a tree to a ".crs" text file: "B id" records of branch
// segments and "L id" records of leaves, one point "x y z" per line. Corner points come from the
// frames the walk computes on the CPU, so no GL context is needed. The file replaces its target only
// when the drawing wrote it completely; a failed export leaves the previous file as it was.
class VertexExporter {
public:
    VertexExporter() = default;
    VertexExporter(const VertexExporter &) = delete;
    VertexExporter &operator=(const VertexExporter &) = delete;

    // Set from a request until the end of the next drawing.
    bool armed() const { return m_armed; }
    void arm() { m_armed = true; }

    // Starts the file and sets the ring size: 16 corners with highQuality, else 4. A file that
    // cannot be made leaves the export failed: the drawing goes on, nothing is written, and false
    // is returned with lastError() set.
    bool beginExport(const std::string &fileName, bool highQuality);
    // Coordinates are written in the frame base x (segment or leaf frame). The base is the
    // identity (the tree's own coordinates) unless a drawer sets it for one export, for instance
    // to the camera and plant placement current when an ecosystem frame draws the tree; endExport
    // resets it.
    void setBaseFrame(const math::Mat4 &base) { m_base = base; }
    const math::Mat4 &baseFrame() const { return m_base; }

    // True between beginExport and endExport while the file is good.
    bool writing() const { return m_writing; }

    // One segment in the frame of the segment (from its base along +y to its top). With a ring
    // the bottom corners are those of the ring (a major continuation of the previous segment).
    void exportSegment(const math::Mat4 &frame, double length, double baseRadius, double topRadius,
                       const ExportRing *ring, int branchId);
    // The top ring of the segment just written, turned by a quarter, as the bottom of the next
    // segment of the same branch line.
    ExportRing takeTopRing() const;
    void exportLeaf(const math::Mat4 &frame, float leafSize, int branchId);
    // Puts the complete file in place and disarms. Returns false (with lastError()) when the file
    // could not be made or written completely; the target is then untouched.
    bool endExport();

    const std::string &lastError() const { return m_error; }
    int ringSize() const { return m_ringSize; }
    const ExportRing &bottomRing() const { return m_bottomRing; }
    const ExportRing &topRing() const { return m_topRing; }

    // The point reached from frame by translating by (0, h, 0) (skipped when h is 0), turning by
    // angle degrees about +y and translating by (x, 0, z).
    static math::Vector3f cornerPoint(const math::Mat4 &frame, float h, float x, float z, float angle);

private:
    void writePoint(const math::Vector3f &p);
    void writeRecordHeader(char kind, int branchId);
    void flushBuffer(std::size_t above);

    bool m_armed = false;
    std::int32_t m_ringSize = 4;
    ExportRing m_bottomRing;
    ExportRing m_topRing;
    math::Mat4 m_base;
    io::AtomicFileStream m_file;
    std::string m_buffer;
    bool m_writing = false;
    std::string m_fileName;
    std::string m_error;
};

} // namespace lignet
