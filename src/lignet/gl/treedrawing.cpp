#include "lignet/gl/treedrawing.h"

#include "lignet/gl/gltreesink.h"
#include "lignet/treerenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace lignet::gl {

bool createQuadric(TreeRenderer &tree)
{
    GLUquadric *quadric = gluNewQuadric();
    if (!quadric)
        return false;
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricTexture(quadric, GL_TRUE);
    tree.settings().quadric = std::shared_ptr<GLUquadric>(quadric, gluDeleteQuadric);
    return true;
}

void setTextureParameters(TreeRenderer &tree, bool bark, bool leaf)
{
    const auto apply = [](GLuint texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    };
    if (bark)
        apply(tree.settings().barkTexture);
    if (leaf)
        apply(tree.settings().leafTexture);
}

void drawTree(TreeRenderer &tree)
{
    // GLU calls with a null quadric would crash; a tree drawn before createQuadric gets one now.
    if (!tree.settings().quadric && !createQuadric(tree))
        return;
    // An export written during an ecosystem frame holds the camera and plant placement too, as the
    // drawing does; in the tree edit scene the modelview is the identity here.
    if (tree.vertexExporter().armed()) {
        math::Mat4 modelview;
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
        tree.vertexExporter().setBaseFrame(modelview);
    }
    GlTreeSink sink(tree.settings());
    tree.drawTree(sink);
}

void drawTreeAtLevelOfDetail(TreeRenderer &tree, int levelOfDetail)
{
    tree.settings().levelOfDetail = levelOfDetail;
    drawTree(tree);
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

void drawTreeScene(TreeRenderer &tree, double up, double side, double distance, double pitch, double yaw)
{
    beginTreeScene(tree);
    if (tree.vertexExporter().armed()) {
        drawTreeAtLevelOfDetail(tree, 0);
        return;
    }
    applyOrbitCamera(tree, up, side, distance, pitch, yaw);
    drawTreeAtLevelOfDetail(tree, 0);
}

} // namespace lignet::gl
