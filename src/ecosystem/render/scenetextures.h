#pragma once

#include "lignet/gl/treetextures.h"

#include "ecosystem/render/sharegroupcontext.h"

#include <QObject>
#include <QString>

#include <GL/gl.h>

#include <array>
#include <string>

class QOpenGLContext;

namespace ecosystem {
class TerrainModel;
}

namespace lignet {
struct TreeParameters;
}

namespace ecosystem::render {

// Owns every texture name of the ecosystem: the bark and leaf of each tree model, the six sky
// faces, the terrain's height colour and detail textures and the sun marker texture. The names
// live in the share group of the context they were made in (all views share one group); they are
// released when this object goes, or earlier when that group's context is about to be destroyed,
// with that context made current on a surface of our own, so no name is left behind whatever
// goes first.
//
// Uploads use the current context when it belongs to the group, else the group's own, so the tree
// and sky reloads can be asked for from anywhere in the GUI.
class SceneTextures : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t TreeCount = 6;

    // `context` is current. With shared contexts the group's long-lived context (the application's
    // global share context) is the one watched, so closing a view never releases shared names.
    explicit SceneTextures(QOpenGLContext *context);
    ~SceneTextures() override;
    SceneTextures(const SceneTextures &) = delete;
    SceneTextures &operator=(const SceneTextures &) = delete;

    const lignet::gl::TreeTextures &tree(std::size_t index) const { return trees.at(index); }
    const std::array<GLuint, 6> &sky() const { return skyFaces; }
    GLuint terrainBase() const { return terrainBaseName; }
    GLuint terrainDetail() const { return terrainDetailName; }
    GLuint sun() const { return sunName; }

    // Replaces tree `index`'s textures with the set's pictures. When one cannot be read the old
    // textures stay and `error` holds the message for the user.
    bool uploadTree(std::size_t index, const lignet::TreeParameters &parameters, std::string *error);
    // Replaces the sky faces (north, south, east, west, up, down); a picture that cannot be read
    // gives a warning on standard error and a plain face.
    void uploadSky(const std::array<QString, 6> &files);
    // Replaces the terrain's height colour texture and the detail texture; a detail picture that
    // cannot be read gives a warning and no detail layer (name 0).
    void uploadTerrain(const TerrainModel &terrain, const QString &detailFile);
    // Makes the sun marker texture once.
    void uploadSunOnce();

    // Deletes every name; a context of the group must be current.
    void releaseAll();

private:
    ShareGroupContext group;
    std::array<lignet::gl::TreeTextures, TreeCount> trees{};
    std::array<GLuint, 6> skyFaces{};
    GLuint terrainBaseName = 0;
    GLuint terrainDetailName = 0;
    GLuint sunName = 0;
};

} // namespace ecosystem::render
