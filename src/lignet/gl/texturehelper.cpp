#include "lignet/gl/texturehelper.h"

#include <GL/glu.h>

namespace lignet::gl {

QImage TextureHelper::loadImage(const QString &path)
{
    QString normalised = path;
    normalised.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (normalised.isEmpty())
        return {};
    return QImage(normalised);
}

QImage TextureHelper::applyColourKey(const QImage &image)
{
    QImage keyed = image.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < keyed.height(); ++y) {
        uchar *pixel = keyed.scanLine(y);
        for (int x = 0; x < keyed.width(); ++x, pixel += 4) {
            if (pixel[0] > 200 && pixel[1] > 200 && pixel[2] > 200) {
                pixel[0] = 255;
                pixel[1] = 255;
                pixel[2] = 255;
                pixel[3] = 0;
            }
        }
    }
    return keyed;
}

GLuint TextureHelper::upload(const QImage &image)
{
    if (image.isNull())
        return 0;
    // OpenGL starts at the bottom row.
    const QImage pixels = image.convertToFormat(QImage::Format_RGBA8888).mirrored();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // Builds every level down to 1 x 1, so the mipmapped minification filters always find a
    // complete texture.
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, pixels.width(), pixels.height(), GL_RGBA, GL_UNSIGNED_BYTE,
                      pixels.constBits());
    return name;
}

void TextureHelper::release(GLuint &name)
{
    if (name != 0)
        glDeleteTextures(1, &name);
    name = 0;
}

} // namespace lignet::gl
