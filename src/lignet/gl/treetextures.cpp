#include "lignet/gl/treetextures.h"

#include "lignet/gl/texturehelper.h"
#include "lignet/treeparameters.h"

namespace lignet::gl {

namespace {

QImage loadTreePicture(const std::string &path)
{
    return TextureHelper::loadImage(QString::fromLocal8Bit(path.c_str()));
}

GLuint uploadKeyed(const QImage &image)
{
    const GLuint name = TextureHelper::upload(TextureHelper::applyColourKey(image));
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    return name;
}

} // namespace

GLuint uploadTreeTexture(const std::string &path)
{
    const QImage image = loadTreePicture(path);
    return image.isNull() ? 0 : uploadKeyed(image);
}

TreeTextures uploadTreeTextures(const TreeParameters &parameters, std::string *error)
{
    // Both pictures are read before anything is uploaded, so a failure leaves no name behind.
    const QImage bark = loadTreePicture(parameters.barkTexturePath);
    const QImage leaf = loadTreePicture(parameters.leafTexturePath);
    if (bark.isNull() || leaf.isNull()) {
        if (error != nullptr)
            *error = bark.isNull()
                         ? QT_TRANSLATE_NOOP("EcosystemRender", "Could not open bark texture file.")
                         : QT_TRANSLATE_NOOP("EcosystemRender", "Could not open leaf texture file.");
        return {};
    }
    return {uploadKeyed(bark), uploadKeyed(leaf)};
}

void releaseTreeTextures(TreeTextures &textures)
{
    TextureHelper::release(textures.bark);
    TextureHelper::release(textures.leaf);
}

} // namespace lignet::gl
