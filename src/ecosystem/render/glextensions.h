#pragma once

#include <GL/gl.h>

#include <string_view>

class QOpenGLContext;

namespace ecosystem::render {

// The two optional OpenGL extensions the terrain drawing uses: whether the driver lists them and,
// for a context, their entry points. Without them the terrain is drawn with the base texture only
// and without array locking.
class GlExtensions {
public:
    using ActiveTexture = void (*)(GLenum);
    using LockArrays = void (*)(GLint, GLsizei);
    using UnlockArrays = void (*)();

    GlExtensions() = default;
    // Reads the extension string of the current context `context` (may be null: then neither is
    // available) and looks the entry points up.
    explicit GlExtensions(QOpenGLContext *context);
    // What an extension string (glGetString(GL_EXTENSIONS), null when the driver gave none) lists;
    // no entry points.
    static GlExtensions listedIn(const char *extensions);

    // Whether the driver gave an extension string at all.
    bool queried() const { return wasQueried; }
    bool listsMultitexture() const { return multitextureListed; }
    bool listsCompiledVertexArray() const { return compiledVertexArrayListed; }
    bool hasMultitexture() const { return activeTexture != nullptr && clientActiveTexture != nullptr; }
    bool hasCompiledVertexArray() const { return lockArrays != nullptr && unlockArrays != nullptr; }

    // Switches the extensions off, to exercise the plain drawing path.
    void disable();

    // Names are compared whole and case-sensitively after splitting at single blanks.
    static bool listContains(std::string_view extensionList, std::string_view name);

    ActiveTexture activeTexture = nullptr;
    ActiveTexture clientActiveTexture = nullptr;
    LockArrays lockArrays = nullptr;
    UnlockArrays unlockArrays = nullptr;

private:
    bool wasQueried = false;
    bool multitextureListed = false;
    bool compiledVertexArrayListed = false;
};

} // namespace ecosystem::render
