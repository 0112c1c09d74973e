#include "lignet/gl/treemeshdrawer.h"

#include "lignet/gl/gltreesink.h"
#include "lignet/gl/gputreemesh.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace lignet::gl {

namespace {

bool setInEnvironment(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr && std::strcmp(value, "1") == 0;
}

GLenum modeOf(MeshPrimitive primitive)
{
    switch (primitive) {
    case MeshPrimitive::Triangles:
        return GL_TRIANGLES;
    case MeshPrimitive::Lines:
        return GL_LINES;
    case MeshPrimitive::Points:
        return GL_POINTS;
    }
    return GL_POINTS;
}

// The texture, blending and point size the immediate-mode drawing has for this batch.
void applyBatchState(const MeshBatch &batch, const TreeTextures &textures)
{
    if (batch.textured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, batch.texture == MeshTexture::Leaf ? textures.leaf : textures.bark);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    if (batch.blended)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    if (batch.primitive == MeshPrimitive::Points)
        glPointSize(batch.pointSize);
}

void count(DrawCounters &counters, const MeshBatch &batch, std::uint64_t instances)
{
    const std::uint64_t n = static_cast<std::uint64_t>(batch.primitiveCount()) * instances;
    switch (batch.primitive) {
    case MeshPrimitive::Triangles:
        counters.triangles += n;
        break;
    case MeshPrimitive::Lines:
        counters.lines += n;
        break;
    case MeshPrimitive::Points:
        counters.points += n;
        break;
    }
}

} // namespace

TreeMeshDrawer::~TreeMeshDrawer()
{
    release();
}

void TreeMeshDrawer::initialize()
{
    if (m_initialized)
        return;
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return;
    m_initialized = true;
    const bool core33 = !context->isOpenGLES() && context->format().version() >= qMakePair(3, 3);
    const bool extensions =
        context->hasExtension("GL_ARB_instanced_arrays") && context->hasExtension("GL_ARB_draw_instanced");
    if (core33) {
        m_drawElementsInstanced =
            reinterpret_cast<DrawElementsInstanced>(context->getProcAddress("glDrawElementsInstanced"));
        m_vertexAttribDivisor =
            reinterpret_cast<VertexAttribDivisor>(context->getProcAddress("glVertexAttribDivisor"));
    } else if (extensions) {
        m_drawElementsInstanced =
            reinterpret_cast<DrawElementsInstanced>(context->getProcAddress("glDrawElementsInstancedARB"));
        m_vertexAttribDivisor =
            reinterpret_cast<VertexAttribDivisor>(context->getProcAddress("glVertexAttribDivisorARB"));
    }
    m_programWorks = QOpenGLShaderProgram::hasOpenGLShaderPrograms(context) && m_program.create();
    m_supported = m_drawElementsInstanced && m_vertexAttribDivisor && m_programWorks;
    if (!m_programWorks && !m_program.log().isEmpty())
        std::cerr << "Tree drawing shader: " << m_program.log().toStdString() << std::endl;
    m_path = setInEnvironment("VERDALIS_FIXED_FUNCTION")  ? Path::Fixed
             : setInEnvironment("VERDALIS_NO_INSTANCING") ? Path::PerPlant
                                                          : Path::Instanced;
    setPath(m_path);
}

TreeMeshDrawer::Path TreeMeshDrawer::path()
{
    initialize();
    return m_path;
}

bool TreeMeshDrawer::instancingSupported()
{
    initialize();
    return m_supported;
}

void TreeMeshDrawer::setPath(Path path)
{
    initialize();
    if (path == Path::Instanced && !m_supported)
        path = Path::PerPlant;
    if (path == Path::PerPlant && !m_programWorks)
        path = Path::Fixed;
    m_path = path;
}

void TreeMeshDrawer::release()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (m_instanceBuffer != 0 && context)
        context->functions()->glDeleteBuffers(1, &m_instanceBuffer);
    m_instanceBuffer = 0;
    if (context)
        m_program.destroy();
    m_initialized = false;
}

void TreeMeshDrawer::draw(const GpuTreeMesh &mesh, const TreeTextures &textures,
                          std::span<const MeshInstance> instances)
{
    initialize();
    if (instances.empty())
        return;
    applyTreeDrawingState(mesh.wireframe());
    if (m_alphaAccumulation)
        QOpenGLContext::currentContext()->functions()->glBlendFuncSeparate(
            GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    if (mesh.empty())
        return;
    mesh.bindArrays();
    // A lighting state whose program does not compile is drawn by the fixed-function pipeline.
    if (m_path != Path::Fixed && m_program.bind())
        drawWithProgram(mesh, textures, instances, m_path == Path::Instanced);
    else
        drawFixed(mesh, textures, instances);
    GpuTreeMesh::unbindArrays();
    m_counters.instances += instances.size();
}

void TreeMeshDrawer::drawFixed(const GpuTreeMesh &mesh, const TreeTextures &textures,
                               std::span<const MeshInstance> instances)
{
    bool rescaling = false;
    for (const MeshBatch &batch : mesh.batches()) {
        applyBatchState(batch, textures);
        const GLenum mode = modeOf(batch.primitive);
        for (const MeshInstance &plant : instances) {
            glPushMatrix();
            glTranslatef(plant.x, plant.y, plant.z);
            if (plant.scale != 1.0f) {
                glScalef(plant.scale, plant.scale, plant.scale);
                if (!rescaling)
                    glEnable(GL_RESCALE_NORMAL);
                rescaling = true;
            } else if (rescaling) {
                glDisable(GL_RESCALE_NORMAL);
                rescaling = false;
            }
            glDrawElements(mode, static_cast<GLsizei>(batch.indexCount), mesh.indexType(),
                           mesh.indexOffset(batch));
            glPopMatrix();
        }
        count(m_counters, batch, instances.size());
        m_counters.drawCalls += instances.size();
    }
    if (rescaling)
        glDisable(GL_RESCALE_NORMAL);
}

void TreeMeshDrawer::drawWithProgram(const GpuTreeMesh &mesh, const TreeTextures &textures,
                                     std::span<const MeshInstance> instances, bool instanced)
{
    QOpenGLFunctions *f = QOpenGLContext::currentContext()->functions();
    const auto attribute = static_cast<GLuint>(MeshLightingProgram::InstanceAttribute);
    if (instanced) {
        if (m_instanceBuffer == 0)
            f->glGenBuffers(1, &m_instanceBuffer);
        f->glBindBuffer(GL_ARRAY_BUFFER, m_instanceBuffer);
        // Orphan the storage each time: the previous mesh's draws may still read the old contents.
        f->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(instances.size_bytes()), instances.data(),
                        GL_STREAM_DRAW);
        f->glEnableVertexAttribArray(attribute);
        f->glVertexAttribPointer(attribute, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
        m_vertexAttribDivisor(attribute, 1);
        f->glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

    const auto n = static_cast<GLsizei>(instances.size());
    for (const MeshBatch &batch : mesh.batches()) {
        count(m_counters, batch, instances.size());
        // The program draws the leaf points within the leaf batch, each right after its disk.
        if (batch.kind == MeshBatchKind::LeafPoints && mesh.hasPointTriangles())
            continue;
        applyBatchState(batch, textures);
        m_program.setTextured(batch.textured);
        const GLenum mode = modeOf(batch.primitive);
        const auto indexCount = static_cast<GLsizei>(batch.indexCount);
        if (instanced) {
            m_drawElementsInstanced(mode, indexCount, mesh.indexType(), mesh.indexOffset(batch), n);
            ++m_counters.drawCalls;
            continue;
        }
        for (const MeshInstance &plant : instances) {
            f->glVertexAttrib4f(attribute, plant.x, plant.y, plant.z, plant.scale);
            glDrawElements(mode, indexCount, mesh.indexType(), mesh.indexOffset(batch));
        }
        m_counters.drawCalls += instances.size();
    }
    m_program.release();
    if (instanced) {
        m_vertexAttribDivisor(attribute, 0);
        f->glDisableVertexAttribArray(attribute);
    }
}

} // namespace lignet::gl
