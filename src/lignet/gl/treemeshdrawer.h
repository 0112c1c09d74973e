#pragma once

#include "lignet/gl/drawcounters.h"
#include "lignet/gl/meshlightingprogram.h"
#include "lignet/gl/treetextures.h"

#include <qopengl.h>

#include <cstdint>
#include <span>

namespace lignet::gl {

class GpuTreeMesh;

// One plant of a batch: where the tree stands and how much it is scaled (1 = as drawn).
struct MeshInstance {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float scale = 1.0f;
};

// Draws uploaded tree meshes, many plants of one mesh at a time, batch by batch with the state
// the immediate-mode drawing has for each batch (texture, blending, point size):
//   Instanced: one glDrawElementsInstanced per batch for all plants of the mesh, through
//     MeshLightingProgram; used when the context offers instanced arrays (OpenGL 3.3, or
//     GL_ARB_instanced_arrays with GL_ARB_draw_instanced) and shaders.
//   PerPlant: the same program, one glDrawElements per batch and plant; where shaders work but
//     instancing does not.
//   Fixed: the fixed-function pipeline, one glDrawElements per batch and plant after glTranslatef
//     (and glScalef with GL_RESCALE_NORMAL for a scale other than 1); where shaders do not work.
//     It cannot draw a leaf point within the leaf batch (see TreeMesh::pointCorners), so it draws
//     the points on one side of the disks, and crowded crowns differ in scattered pixels.
// The environment variable VERDALIS_NO_INSTANCING=1 forces the per-plant path,
// VERDALIS_FIXED_FUNCTION=1 the fixed-function one. The first draw chooses the path with its
// context current; the drawer may serve every context of one share group. Every path leaves the
// modelview matrix, the buffer bindings and the client arrays as it found them.
class TreeMeshDrawer {
public:
    enum class Path { Instanced, PerPlant, Fixed };

    TreeMeshDrawer() = default;
    ~TreeMeshDrawer();
    TreeMeshDrawer(const TreeMeshDrawer &) = delete;
    TreeMeshDrawer &operator=(const TreeMeshDrawer &) = delete;

    // Draws mesh at every instance in the current modelview frame with the tree's textures.
    void draw(const GpuTreeMesh &mesh, const TreeTextures &textures, std::span<const MeshInstance> instances);

    // The path draw uses (chosen at the first draw, or on asking, with a context current).
    Path path();
    bool instancingSupported();
    // Forces a path; one the context cannot draw falls back to the next in the list above.
    void setPath(Path path);

    // For drawing into a transparent texture (impostor images): colours blend as usual while alpha
    // accumulates coverage (one, one minus source alpha), so the texture holds the picture with
    // premultiplied alpha. Off by default.
    void setAlphaAccumulation(bool on) { m_alphaAccumulation = on; }

    const DrawCounters &counters() const { return m_counters; }
    void resetCounters() { m_counters = {}; }

    // Frees the program and the instance buffer; a context of their share group must be current.
    void release();

private:
    void initialize();
    // With the program bound.
    void drawWithProgram(const GpuTreeMesh &mesh, const TreeTextures &textures,
                         std::span<const MeshInstance> instances, bool instanced);
    void drawFixed(const GpuTreeMesh &mesh, const TreeTextures &textures,
                   std::span<const MeshInstance> instances);

    using DrawElementsInstanced = void(QOPENGLF_APIENTRYP)(GLenum, GLsizei, GLenum, const void *, GLsizei);
    using VertexAttribDivisor = void(QOPENGLF_APIENTRYP)(GLuint, GLuint);

    bool m_initialized = false;
    bool m_alphaAccumulation = false;
    bool m_supported = false; // instancing
    bool m_programWorks = false;
    Path m_path = Path::Fixed;
    DrawElementsInstanced m_drawElementsInstanced = nullptr;
    VertexAttribDivisor m_vertexAttribDivisor = nullptr;
    MeshLightingProgram m_program;
    unsigned int m_instanceBuffer = 0;
    DrawCounters m_counters;
};

} // namespace lignet::gl
