#include "ecosystem/render/glextensions.h"

#include <QOpenGLContext>

namespace ecosystem::render {

GlExtensions GlExtensions::listedIn(const char *extensions)
{
    GlExtensions result;
    if (extensions == nullptr)
        return result;
    result.wasQueried = true;
    result.multitextureListed = listContains(extensions, "GL_ARB_multitexture");
    result.compiledVertexArrayListed = listContains(extensions, "GL_EXT_compiled_vertex_array");
    return result;
}

GlExtensions::GlExtensions(QOpenGLContext *context)
{
    if (context == nullptr)
        return;
    *this = listedIn(reinterpret_cast<const char *>(glGetString(GL_EXTENSIONS)));
    if (multitextureListed) {
        activeTexture = reinterpret_cast<ActiveTexture>(context->getProcAddress("glActiveTextureARB"));
        clientActiveTexture =
            reinterpret_cast<ActiveTexture>(context->getProcAddress("glClientActiveTextureARB"));
    }
    if (compiledVertexArrayListed) {
        lockArrays = reinterpret_cast<LockArrays>(context->getProcAddress("glLockArraysEXT"));
        unlockArrays = reinterpret_cast<UnlockArrays>(context->getProcAddress("glUnlockArraysEXT"));
    }
}

void GlExtensions::disable()
{
    *this = GlExtensions();
}

bool GlExtensions::listContains(std::string_view extensionList, std::string_view name)
{
    // Empty parts between double blanks are kept as names of their own, so they never match.
    while (true) {
        const std::size_t blank = extensionList.find(' ');
        if (extensionList.substr(0, blank) == name)
            return true;
        if (blank == std::string_view::npos)
            return false;
        extensionList.remove_prefix(blank + 1);
    }
}

} // namespace ecosystem::render
