#include "meshexport/files/exportpictures.h"

#include "assets/imageconversion.h"
#include "lignet/gl/texturehelper.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace meshexport {

namespace {

std::string pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::string keyedPng(const std::string &path)
{
    const QImage image = lignet::gl::TextureHelper::loadImage(QString::fromLocal8Bit(path.c_str()));
    return image.isNull() ? std::string() : pngBytes(lignet::gl::TextureHelper::applyColourKey(image));
}

} // namespace

std::optional<TreePictures> loadTreePictures(const lignet::TreeParameters &parameters, std::string *error)
{
    TreePictures pictures{keyedPng(parameters.barkTexturePath), keyedPng(parameters.leafTexturePath)};
    if (pictures.barkPng.empty() || pictures.leafPng.empty()) {
        if (error != nullptr)
            *error = pictures.barkPng.empty() ? "Could not open bark texture file."
                                              : "Could not open leaf texture file.";
        return std::nullopt;
    }
    return pictures;
}

std::optional<ForestPictures> loadForestPictures(const ecosystem::EcosystemScene &scene, std::string *error)
{
    ForestPictures pictures;
    for (std::size_t i = 0; i < pictures.trees.size(); ++i) {
        auto tree = loadTreePictures(scene.tree(i).designedParameters(), error);
        if (!tree)
            return std::nullopt;
        pictures.trees[i] = std::move(*tree);
    }
    pictures.terrainPng = pngBytes(assets::toQImage(scene.terrain().heightTexture()));
    return pictures;
}

} // namespace meshexport
