#pragma once

#include <GL/gl.h>

#include <QImage>
#include <QString>

namespace lignet::gl {

// Loading and uploading of texture images; the GL functions need a current context.
class TextureHelper {
public:
    // The image file at `path` (resource paths ":/..." work); backslashes count as forward
    // slashes. A null image when it cannot be read.
    static QImage loadImage(const QString &path);

    // Every pixel whose red, green and blue all exceed 200 becomes transparent white (255, 255,
    // 255, alpha 0); all others keep their colour. The result is 32-bit RGBA.
    static QImage applyColourKey(const QImage &image);

    // Uploads the image as a GL_RGBA8 2-D texture with its full mipmap chain, bottom row first (as
    // texture coordinate t = 0), and returns the new name; a null image gives 0 and uploads nothing.
    static GLuint upload(const QImage &image);

    // Deletes the texture (when not 0) and sets the name to 0.
    static void release(GLuint &name);
};

} // namespace lignet::gl
