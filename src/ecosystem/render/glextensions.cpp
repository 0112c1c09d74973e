#include "ecosystem/render/glextensions.h"

#include <QOpenGLContext>

namespace ecosystem::render {

GlExtensions::GlExtensions(QOpenGLContext *context)
{
    if (context == nullptr)
        return;
    if (context->hasExtension("GL_ARB_multitexture")) {
        activeTexture = reinterpret_cast<ActiveTexture>(context->getProcAddress("glActiveTextureARB"));
        clientActiveTexture =
            reinterpret_cast<ActiveTexture>(context->getProcAddress("glClientActiveTextureARB"));
    }
    if (context->hasExtension("GL_EXT_compiled_vertex_array")) {
        lockArrays = reinterpret_cast<LockArrays>(context->getProcAddress("glLockArraysEXT"));
        unlockArrays = reinterpret_cast<UnlockArrays>(context->getProcAddress("glUnlockArraysEXT"));
    }
}

void GlExtensions::disable()
{
    *this = GlExtensions();
}

} // namespace ecosystem::render
