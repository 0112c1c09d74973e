#pragma once

#include "ecosystem/render/glextensions.h"
#include "ecosystem/render/treespass.h"

#include <memory>
#include <vector>

class QOpenGLContext;

namespace ecosystem {
class EcosystemScene;
}

namespace ecosystem::render {

class Camera;
class GlErrorCheck;
class LandMarkings;
class SceneTextures;
class SkyBox;
class TerrainOverlays;
class TerrainRenderer;
class TreeMeshes;
class ViewOptions;

// The ecosystem mode frame: fly camera, lights, sky box, terrain, the enabled overlays and the
// trees pass. Owns the objects that draw sky, terrain and overlays.
class EcosystemFrame {
public:
    // Needs a current context (the overlays make a GLU quadric, the extensions are looked up).
    EcosystemFrame(EcosystemScene &scene, QOpenGLContext *context);
    ~EcosystemFrame();
    EcosystemFrame(const EcosystemFrame &) = delete;
    EcosystemFrame &operator=(const EcosystemFrame &) = delete;

    // Builds the terrain drawing for the scene's current grid and hands the textures over; after a
    // DEM load and for every view's textures.
    void setUpTerrain(const SceneTextures &textures);
    // Hands the sky textures to the sky box.
    void setSkyTextures(const SceneTextures &textures);

    // Draws the frame into the current context, the trees from `meshes` (null: the immediate-mode
    // reference drawing) at treeScale times their size; returns the plants drawn per species and
    // what the trees sent to OpenGL.
    TreesPassResult draw(const ViewOptions &options, Camera &camera, const SceneTextures &textures,
                         GlErrorCheck &errors, TreeMeshes *meshes = nullptr, float treeScale = 1.0f);

    TerrainRenderer &terrainRenderer() { return *terrain; }
    SkyBox &skyBox() { return *sky; }
    GlExtensions &extensions() { return gl; }

private:
    void drawOverlays(const ViewOptions &options, const SceneTextures &textures);

    EcosystemScene &scene;
    GlExtensions gl;
    std::unique_ptr<SkyBox> sky;
    std::unique_ptr<TerrainRenderer> terrain;
    std::unique_ptr<TerrainOverlays> overlays;
    std::unique_ptr<LandMarkings> landMarkings;
};

} // namespace ecosystem::render
