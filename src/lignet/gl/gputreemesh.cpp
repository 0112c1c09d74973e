#include "lignet/gl/gputreemesh.h"

#include "lignet/gl/meshlightingprogram.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <algorithm>
#include <cmath>

namespace lignet::gl {

namespace {

template <class T> std::size_t bytesOf(const std::vector<T> &v)
{
    return v.size() * sizeof(T);
}

const void *offset(std::size_t bytes)
{
    return reinterpret_cast<const void *>(bytes);
}

// Four shorts per normal; the fourth, which pads to an aligned stride, holds the vertex's leaf
// point corner.
constexpr std::size_t NormalStride = 4 * sizeof(GLshort);

std::vector<GLshort> packedNormals(const std::vector<math::Vector3f> &normals,
                                   const std::vector<std::uint8_t> &corners)
{
    const auto pack = [](float v) {
        return static_cast<GLshort>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    };
    std::vector<GLshort> out(normals.size() * 4, 0);
    for (std::size_t i = 0; i < normals.size(); ++i) {
        out[4 * i] = pack(normals[i].x);
        out[4 * i + 1] = pack(normals[i].y);
        out[4 * i + 2] = pack(normals[i].z);
        out[4 * i + 3] = i < corners.size() ? static_cast<GLshort>(corners[i]) : GLshort{0};
    }
    return out;
}

std::vector<GLubyte> packedColours(const std::vector<std::array<float, 4>> &colours)
{
    std::vector<GLubyte> out(colours.size() * 4);
    for (std::size_t i = 0; i < colours.size(); ++i)
        for (std::size_t c = 0; c < 4; ++c)
            out[4 * i + c] =
                static_cast<GLubyte>(std::lround(std::clamp(colours[i][c], 0.0f, 1.0f) * 255.0f));
    return out;
}

} // namespace

GpuTreeMesh::~GpuTreeMesh()
{
    release();
}

bool GpuTreeMesh::upload(const TreeMesh &mesh, bool streaming)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return false;
    QOpenGLFunctions *f = context->functions();
    if (m_vertexBuffer != 0 && context->shareGroup() != m_group)
        release();
    if (m_vertexBuffer == 0) {
        f->glGenBuffers(1, &m_vertexBuffer);
        f->glGenBuffers(1, &m_indexBuffer);
        m_group = context->shareGroup();
    }
    const std::vector<GLshort> normals = packedNormals(mesh.normals, mesh.pointCorners);
    const std::vector<GLubyte> colours = packedColours(mesh.colours);
    m_normalOffset = bytesOf(mesh.positions);
    m_texCoordOffset = m_normalOffset + bytesOf(normals);
    m_colourOffset = m_texCoordOffset + bytesOf(mesh.texCoords);
    const std::size_t vertexBytes = m_colourOffset + bytesOf(colours);
    const bool shortIndices = mesh.vertexCount() <= 65536;
    std::vector<GLushort> shorts;
    if (shortIndices)
        shorts.assign(mesh.indices.begin(), mesh.indices.end());
    m_indexType = shortIndices ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT;
    m_indexSize = shortIndices ? sizeof(GLushort) : sizeof(GLuint);
    const std::size_t indexBytes = mesh.indices.size() * m_indexSize;
    const void *indexData = shortIndices ? static_cast<const void *>(shorts.data()) : mesh.indices.data();
    const GLenum usage = streaming ? GL_STREAM_DRAW : GL_STATIC_DRAW;

    f->glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    f->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexBytes), nullptr, usage);
    f->glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(m_normalOffset), mesh.positions.data());
    f->glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(m_normalOffset),
                       static_cast<GLsizeiptr>(bytesOf(normals)), normals.data());
    f->glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(m_texCoordOffset),
                       static_cast<GLsizeiptr>(bytesOf(mesh.texCoords)), mesh.texCoords.data());
    f->glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(m_colourOffset),
                       static_cast<GLsizeiptr>(bytesOf(colours)), colours.data());
    f->glBindBuffer(GL_ARRAY_BUFFER, 0);
    f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
    f->glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexBytes), indexData, usage);
    f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    m_bytes = vertexBytes + indexBytes;
    m_indexCount = static_cast<std::uint32_t>(mesh.indices.size());
    m_batches = mesh.batches;
    m_wireframe = mesh.wireframe;
    m_boundsMin = mesh.boundsMin;
    m_boundsMax = mesh.boundsMax;
    m_triangles = mesh.triangleCount();
    m_lines = mesh.lineCount();
    m_points = mesh.pointCount();
    m_pointTriangles = false;
    for (const MeshBatch &b : m_batches)
        m_pointTriangles |= b.pointTriangles > 0;
    return true;
}

void GpuTreeMesh::release()
{
    if (m_vertexBuffer == 0)
        return;
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (context && context->shareGroup() == m_group) {
        const GLuint buffers[2] = {m_vertexBuffer, m_indexBuffer};
        context->functions()->glDeleteBuffers(2, buffers);
    }
    m_vertexBuffer = 0;
    m_indexBuffer = 0;
    m_group = nullptr;
    m_bytes = 0;
    m_indexCount = 0;
    m_batches.clear();
}

const void *GpuTreeMesh::indexOffset(const MeshBatch &batch) const
{
    return offset(static_cast<std::size_t>(batch.firstIndex) * m_indexSize);
}

void GpuTreeMesh::bindArrays() const
{
    QOpenGLFunctions *f = QOpenGLContext::currentContext()->functions();
    f->glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, offset(0));
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_SHORT, NormalStride, offset(m_normalOffset));
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, offset(m_texCoordOffset));
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, offset(m_colourOffset));
    if (!f->hasOpenGLFeature(QOpenGLFunctions::Shaders))
        return;
    const auto corner = static_cast<GLuint>(MeshLightingProgram::CornerAttribute);
    f->glEnableVertexAttribArray(corner);
    f->glVertexAttribPointer(corner, 1, GL_SHORT, GL_FALSE, NormalStride,
                             offset(m_normalOffset + 3 * sizeof(GLshort)));
}

void GpuTreeMesh::unbindArrays()
{
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    QOpenGLFunctions *f = QOpenGLContext::currentContext()->functions();
    if (f->hasOpenGLFeature(QOpenGLFunctions::Shaders))
        f->glDisableVertexAttribArray(static_cast<GLuint>(MeshLightingProgram::CornerAttribute));
    f->glBindBuffer(GL_ARRAY_BUFFER, 0);
    f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

} // namespace lignet::gl
