#include "lignet/gl/treedrawing.h"

#include "lignet/gl/gltreesink.h"
#include "lignet/treerenderer.h"

#include <GL/gl.h>

namespace lignet::gl {

void drawTree(TreeRenderer &tree, const TreeTextures &textures, DrawCounters *counters)
{
    // GLU calls with a null quadric would crash; without one (no memory) nothing can be drawn.
    if (treeQuadric() == nullptr)
        return;
    // An export written during an ecosystem frame holds the camera and plant placement too, as the
    // drawing does; in the tree edit scene the modelview is the identity here.
    if (tree.vertexExporter().armed()) {
        math::Mat4 modelview;
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
        tree.vertexExporter().setBaseFrame(modelview);
    }
    GlTreeSink sink(tree.settings(), textures);
    sink.setCounters(counters);
    tree.drawTree(sink);
}

void drawTreeAtLevelOfDetail(TreeRenderer &tree, const TreeTextures &textures, int levelOfDetail,
                             DrawCounters *counters)
{
    tree.settings().levelOfDetail = levelOfDetail;
    drawTree(tree, textures, counters);
}

void beginTreeScene(const TreeRenderer &tree)
{
    if (tree.settings().backgroundSky)
        glClearColor(0.26666668f, 0.4745098f, 0.5372549f, 1.0f); // 68, 121, 137
    else
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // Given after the identity, so the lights move with the viewer.
    const GLfloat light0[] = {4609.0f, 0.0f, 0.0f, 5.0f};
    const GLfloat light1[] = {4609.0f, -3.0f, 0.0f, 5.0f};
    const GLfloat light2[] = {4609.0f, -3.0f, 3.0f, 5.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light0);
    glLightfv(GL_LIGHT1, GL_POSITION, light1);
    glLightfv(GL_LIGHT2, GL_POSITION, light2);
}

void applyOrbitCamera(const TreeRenderer &tree, double up, double side, double distance, double pitch,
                      double yaw)
{
    glTranslatef(static_cast<float>(-side), static_cast<float>(up), static_cast<float>(distance));
    glRotatef(static_cast<float>(pitch), 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<float>(yaw), 0.0f, 1.0f, 0.0f);
    glRotatef(static_cast<float>(tree.settings().spinAngle), 0.0f, 1.0f, 0.0f);
}

void drawTreeScene(TreeRenderer &tree, const TreeTextures &textures, double up, double side, double distance,
                   double pitch, double yaw, DrawCounters *counters)
{
    beginTreeScene(tree);
    if (tree.vertexExporter().armed()) {
        drawTreeAtLevelOfDetail(tree, textures, 0, counters);
        return;
    }
    applyOrbitCamera(tree, up, side, distance, pitch, yaw);
    drawTreeAtLevelOfDetail(tree, textures, 0, counters);
}

} // namespace lignet::gl
