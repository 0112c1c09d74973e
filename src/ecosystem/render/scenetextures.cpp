#include "ecosystem/render/scenetextures.h"

#include "assets/imageconversion.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "lignet/gl/texturehelper.h"
#include "lignet/treeparameters.h"

#include <QOpenGLContext>
#include <QPainter>
#include <QRadialGradient>

#include <iostream>

namespace ecosystem::render {

using lignet::gl::TextureHelper;

namespace {

QImage sunImage()
{
    QImage image(64, 64, QImage::Format_RGBA8888);
    QPainter painter(&image);
    QRadialGradient glow(32.0, 32.0, 32.0);
    glow.setColorAt(0.0, QColor(255, 255, 235));
    glow.setColorAt(0.5, QColor(255, 235, 90));
    glow.setColorAt(1.0, QColor(255, 170, 0));
    painter.fillRect(image.rect(), glow);
    painter.end();
    return image;
}

} // namespace

SceneTextures::SceneTextures(QOpenGLContext *context) : group(context, [this] { releaseAll(); }) {}

SceneTextures::~SceneTextures()
{
    group.releaseNow();
}

bool SceneTextures::uploadTree(std::size_t index, const lignet::TreeParameters &parameters,
                               std::string *error)
{
    bool uploaded = false;
    group.run([&] {
        lignet::gl::TreeTextures fresh = lignet::gl::uploadTreeTextures(parameters, error);
        if (fresh.bark == 0 && fresh.leaf == 0)
            return;
        lignet::gl::releaseTreeTextures(trees.at(index));
        trees.at(index) = fresh;
        uploaded = true;
    });
    return uploaded;
}

void SceneTextures::uploadSky(const std::array<QString, 6> &files)
{
    group.run([&] {
        for (std::size_t i = 0; i < files.size(); ++i) {
            TextureHelper::release(skyFaces[i]);
            const QImage image = TextureHelper::loadImage(files[i]);
            if (image.isNull())
                std::cerr << "Warning: sky texture \"" << files[i].toStdString()
                          << "\" not read; that face is drawn plain white." << std::endl;
            skyFaces[i] = TextureHelper::upload(image);
        }
    });
}

void SceneTextures::uploadTerrain(const TerrainModel &terrain, const QString &detailFile)
{
    TextureHelper::release(terrainBaseName);
    TextureHelper::release(terrainDetailName);
    terrainBaseName = TextureHelper::upload(assets::toQImage(terrain.heightTexture()));
    const QImage detail = TextureHelper::loadImage(detailFile);
    if (detail.isNull())
        std::cerr << "Warning: detail texture \"" << detailFile.toStdString()
                  << "\" not read; the terrain is drawn without detail." << std::endl;
    terrainDetailName = TextureHelper::upload(detail);
}

void SceneTextures::uploadSunOnce()
{
    if (sunName == 0)
        sunName = TextureHelper::upload(sunImage());
}

void SceneTextures::releaseAll()
{
    for (auto &tree : trees)
        lignet::gl::releaseTreeTextures(tree);
    for (GLuint &name : skyFaces)
        TextureHelper::release(name);
    TextureHelper::release(terrainBaseName);
    TextureHelper::release(terrainDetailName);
    TextureHelper::release(sunName);
}

} // namespace ecosystem::render
