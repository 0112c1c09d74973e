#include "ecosystem/render/glerrorcheck.h"

#include <GL/gl.h>

#include <cstdlib>
#include <iostream>
#include <string_view>

namespace ecosystem::render {

GlErrorCheck::GlErrorCheck()
{
    const char *value = std::getenv("VERDALIS_CHECK_GL");
    on = value != nullptr && std::string_view(value) == "1";
}

int GlErrorCheck::check(const char *stage)
{
    return check(stage, std::cout);
}

int GlErrorCheck::check(const char *stage, std::ostream &out)
{
    if (!on)
        return 0;
    // A lost context can report errors forever; a frame never has this many.
    int count = 0;
    for (; count < 64; ++count) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR)
            break;
        out << stage << ": ";
        switch (error) {
        case GL_INVALID_ENUM:
            out << "GL_INVALID_ENUM";
            break;
        case GL_INVALID_VALUE:
            out << "GL_INVALID_VALUE";
            break;
        case GL_INVALID_OPERATION:
            out << "GL_INVALID_OPERATION";
            break;
        case GL_STACK_OVERFLOW:
            out << "GL_STACK_OVERFLOW";
            break;
        case GL_OUT_OF_MEMORY:
            out << "GL_OUT_OF_MEMORY";
            break;
        default:
            out << error;
            break;
        }
        out << std::endl;
    }
    reported += count;
    return count;
}

} // namespace ecosystem::render
