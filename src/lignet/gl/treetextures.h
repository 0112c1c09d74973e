#pragma once

#include <GL/gl.h>

#include <string>

namespace lignet {
struct TreeParameters;
}

namespace lignet::gl {

// The two texture names a tree is drawn with. The names belong to whoever uploaded them; 0 draws
// that part untextured.
struct TreeTextures {
    GLuint bark = 0;
    GLuint leaf = 0;
};

// Uploads one tree picture (a file or a resource) colour-keyed, repeating, with linear filters, into
// the current context; 0 when it cannot be read.
GLuint uploadTreeTexture(const std::string &path);

// Uploads the set's bark and leaf pictures (colour-keyed, repeating, linear filters) into the
// current context. When a picture cannot be read nothing is uploaded, `error` is "Could not open
// bark texture file." or "Could not open leaf texture file." and the result is empty.
TreeTextures uploadTreeTextures(const TreeParameters &parameters, std::string *error);

// Deletes both names (the context of their share group must be current) and sets them to 0.
void releaseTreeTextures(TreeTextures &textures);

} // namespace lignet::gl
