#pragma once

#include <GL/gl.h>

class QOpenGLContext;

namespace ecosystem::render {

// The two optional OpenGL extensions the terrain drawing uses, looked up in a context. Without
// them the terrain is drawn with the base texture only and without array locking.
class GlExtensions {
public:
    using ActiveTexture = void (*)(GLenum);
    using LockArrays = void (*)(GLint, GLsizei);
    using UnlockArrays = void (*)();

    GlExtensions() = default;
    // Reads "GL_ARB_multitexture" and "GL_EXT_compiled_vertex_array" from `context` (may be null:
    // then neither is available).
    explicit GlExtensions(QOpenGLContext *context);

    bool hasMultitexture() const { return activeTexture != nullptr && clientActiveTexture != nullptr; }
    bool hasCompiledVertexArray() const { return lockArrays != nullptr && unlockArrays != nullptr; }

    // Switches the extensions off, to exercise the plain drawing path.
    void disable();

    ActiveTexture activeTexture = nullptr;
    ActiveTexture clientActiveTexture = nullptr;
    LockArrays lockArrays = nullptr;
    UnlockArrays unlockArrays = nullptr;
};

} // namespace ecosystem::render
