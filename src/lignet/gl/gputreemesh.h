#pragma once

#include "lignet/treemesh.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class QOpenGLContextGroup;

namespace lignet::gl {

// A TreeMesh uploaded into one vertex buffer (positions, normals, texture coordinates and colours
// one after the other) and one index buffer, packed to keep a forest's meshes in the cache's
// bound: normals as normalised shorts, colours as bytes (within half a level of 255 of the mesh's
// colours, as the frame buffer keeps them anyway) and 16-bit indices when the vertices allow. Buffer objects
// belong to the share group of the context current at upload, so every view of a shared group draws from the
// same buffers.
//
// The buffers are released by release() or the destructor, which need a context of that share
// group current; without one (the group is gone, and its buffers with it) nothing is called. Tie
// release of long-lived meshes to QOpenGLContext::aboutToBeDestroyed with a context made current.
class GpuTreeMesh {
public:
    GpuTreeMesh() = default;
    ~GpuTreeMesh();
    GpuTreeMesh(const GpuTreeMesh &) = delete;
    GpuTreeMesh &operator=(const GpuTreeMesh &) = delete;

    // Copies mesh into the buffers (created on first use) with a context current. Streaming
    // uploads (a mesh rebuilt every frame) orphan the old storage so the driver need not wait.
    // Returns false when there is no current context.
    bool upload(const TreeMesh &mesh, bool streaming = false);
    void release();

    bool empty() const { return m_indexCount == 0; }
    const std::vector<MeshBatch> &batches() const { return m_batches; }
    bool wireframe() const { return m_wireframe; }
    const math::Vector3f &boundsMin() const { return m_boundsMin; }
    const math::Vector3f &boundsMax() const { return m_boundsMax; }
    std::uint64_t triangleCount() const { return m_triangles; }
    std::uint64_t lineCount() const { return m_lines; }
    std::uint64_t pointCount() const { return m_points; }
    // Whether the leaf points are also in the leaf batch as triangles (TreeMesh::pointCorners).
    bool hasPointTriangles() const { return m_pointTriangles; }
    // Bytes held in buffer storage.
    std::size_t byteSize() const { return m_bytes; }
    // GL_UNSIGNED_SHORT or GL_UNSIGNED_INT, and the byte offset of a batch's first index.
    unsigned int indexType() const { return m_indexType; }
    const void *indexOffset(const MeshBatch &batch) const;

    // Binds both buffers and points the fixed-function vertex, normal, texture coordinate and
    // colour arrays into them (which a compatibility shader reads as gl_Vertex and so on), and the
    // leaf point corner attribute of MeshLightingProgram.
    void bindArrays() const;
    // Disables those arrays and unbinds both buffers, so client-side arrays work again.
    static void unbindArrays();

private:
    unsigned int m_vertexBuffer = 0;
    unsigned int m_indexBuffer = 0;
    QOpenGLContextGroup *m_group = nullptr;
    std::size_t m_normalOffset = 0;
    std::size_t m_texCoordOffset = 0;
    std::size_t m_colourOffset = 0;
    std::size_t m_bytes = 0;
    std::uint32_t m_indexCount = 0;
    unsigned int m_indexType = 0;
    std::size_t m_indexSize = 0;
    std::vector<MeshBatch> m_batches;
    bool m_wireframe = false;
    math::Vector3f m_boundsMin;
    math::Vector3f m_boundsMax;
    std::uint64_t m_triangles = 0;
    std::uint64_t m_lines = 0;
    std::uint64_t m_points = 0;
    bool m_pointTriangles = false;
};

} // namespace lignet::gl
