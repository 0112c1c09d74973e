#include "ecosystem/render/ecosystemframe.h"

#include "ecosystem/render/camera.h"
#include "ecosystem/render/glerrorcheck.h"
#include "ecosystem/render/landmarkings.h"
#include "ecosystem/render/scenetextures.h"
#include "ecosystem/render/skybox.h"
#include "ecosystem/render/terrainoverlays.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/render/treespass.h"
#include "ecosystem/render/viewoptions.h"
#include "ecosystem/scene/ecosystemscene.h"

#include <GL/gl.h>

namespace ecosystem::render {

EcosystemFrame::EcosystemFrame(EcosystemScene &ecosystemScene, QOpenGLContext *context)
    : scene(ecosystemScene), gl(context), sky(std::make_unique<SkyBox>(scene.terrain().extent())),
      terrain(std::make_unique<TerrainRenderer>(gl, scene.terrain())),
      overlays(std::make_unique<TerrainOverlays>(scene.terrain())),
      landMarkings(std::make_unique<LandMarkings>(scene.terrain()))
{
}

EcosystemFrame::~EcosystemFrame() = default;

void EcosystemFrame::setUpTerrain(const SceneTextures &textures)
{
    terrain->setTextures(textures.terrainBase(), textures.terrainDetail());
    terrain->useDetailTexture = textures.terrainDetail() != 0;
    terrain->buildArrays();
}

void EcosystemFrame::setSkyTextures(const SceneTextures &textures)
{
    sky->setTextures(textures.sky());
}

TreesPassResult EcosystemFrame::draw(const ViewOptions &options, Camera &camera,
                                     const SceneTextures &textures, GlErrorCheck &errors, TreeMeshes *meshes,
                                     float treeScale)
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The sky and the terrain carry no normals: start every frame from OpenGL's initial normal so
    // their lighting never depends on what the previous frame drew last.
    glNormal3f(0.0f, 0.0f, 1.0f);
    errors.check("Identity model");
    camera.applyFlyCamera();
    errors.check("Camera set");
    // Given after the camera, so the lights stay fixed in world coordinates.
    const GLfloat light0[4] = {4609.0f, 0.0f, 5750.0f, 0.0f};
    const GLfloat light1[4] = {4609.0f, 2500.0f, 5750.0f, 2500.0f};
    const GLfloat light2[4] = {4609.0f, 1000.0f, 5750.0f, 715.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light0);
    glLightfv(GL_LIGHT1, GL_POSITION, light1);
    glLightfv(GL_LIGHT2, GL_POSITION, light2);
    errors.check("Lights set");
    if (options.isOn(ViewOption::DisplaySky))
        sky->draw();
    errors.check("Sky konec");
    terrain->wireframe = options.isOn(ViewOption::Wireframe);
    terrain->draw();
    scene.analyseTerrainIfNeeded();
    drawOverlays(options, textures);

    TreesPassSettings trees;
    trees.wireframe = options.isOn(ViewOption::Wireframe);
    trees.lightingEnabled = options.isOn(ViewOption::LightingEnabled);
    trees.showNeighbourhood = options.isOn(ViewOption::ShowNeighborHood);
    trees.drawTrees = !options.isOn(ViewOption::DoNotDrawTrees);
    trees.meshes = meshes;
    trees.exactDistantTrees = options.isOn(ViewOption::ExactDistantTrees);
    trees.fastDistantTrees = options.isOn(ViewOption::FastDistantTrees);
    trees.treeScale = treeScale;
    return drawTreesPass(scene, textures, camera.position, trees);
}

void EcosystemFrame::drawOverlays(const ViewOptions &options, const SceneTextures &textures)
{
    using Map = TerrainOverlays::Map;
    const std::pair<ViewOption, Map> maps[] = {
        {ViewOption::DisplayTerrainNormals, Map::Normals},
        {ViewOption::DisplayTerrainInclination, Map::Inclination},
        {ViewOption::DisplayTerrainMoisture, Map::Moisture},
        {ViewOption::DisplayTerrainSunniness, Map::Sunniness},
        {ViewOption::DisplayTerrainWindiness, Map::Windiness},
    };
    for (const auto &[option, map] : maps)
        if (options.isOn(option))
            overlays->draw(map);
    if (options.isOn(ViewOption::DisplayLandMarkings))
        landMarkings->draw();
    if (options.isOn(ViewOption::DisplaySun))
        overlays->drawSunMarkers(textures.sun());
}

} // namespace ecosystem::render
