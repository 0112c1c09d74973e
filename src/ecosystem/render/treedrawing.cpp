#include "ecosystem/render/treedrawing.h"

#include "lignet/treerenderer.h"
#include "lignet/treesink.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <memory>

namespace ecosystem::render {

namespace {

// Interim line drawing until the tree drawing library provides its sink.
class LineSink : public lignet::TreeSink {
public:
    void segment(const math::Mat4 &frame, const lignet::TreeSegment &s) override
    {
        glPushMatrix();
        glMultMatrixf(frame.data());
        glBegin(GL_LINES);
        glVertex3f(0.0f, 0.0f, 0.0f);
        glVertex3f(0.0f, static_cast<float>(s.length), 0.0f);
        glEnd();
        glPopMatrix();
    }
};

} // namespace

void TreeDrawing::createQuadric(lignet::TreeRenderer &tree)
{
    GLUquadric *quadric = gluNewQuadric();
    if (quadric == nullptr)
        return;
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricTexture(quadric, GL_TRUE);
    tree.settings().quadric = std::shared_ptr<GLUquadric>(quadric, gluDeleteQuadric);
}

void TreeDrawing::setTextureParameters(lignet::TreeRenderer &tree)
{
    for (std::uint32_t name : {tree.settings().barkTexture, tree.settings().leafTexture}) {
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
}

void TreeDrawing::drawTreeScene(lignet::TreeRenderer &tree, double up, double side, double distance, double pitch,
                                double yaw)
{
    glClearColor(0.26666668f, 0.4745098f, 0.5372549f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(-side, up, distance);
    glRotated(pitch, 1.0, 0.0, 0.0);
    glRotated(yaw, 0.0, 1.0, 0.0);
    glRotated(tree.settings().spinAngle, 0.0, 1.0, 0.0);
    drawTreeAtLevelOfDetail(tree, 0);
}

void TreeDrawing::drawTreeAtLevelOfDetail(lignet::TreeRenderer &tree, int levelOfDetail)
{
    LineSink sink;
    tree.drawTreeAtLevelOfDetail(sink, levelOfDetail);
}

int treeIndexForSpecies(int speciesIndex)
{
    return speciesIndex >= 0 && speciesIndex < 6 ? speciesIndex : 5;
}

void neighbourhoodColour(int speciesIndex, unsigned char rgb[3])
{
    static const unsigned char colours[6][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                                {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    const int row = speciesIndex >= 0 && speciesIndex < 5 ? speciesIndex : 5;
    for (int c = 0; c < 3; ++c)
        rgb[c] = colours[row][c];
}

} // namespace ecosystem::render
