#include "core/tempfolder.h"
#include "lignet/gl/framebuffertarget.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/treerenderer.h"
#include "render/offscreengl.h"

#include <QImage>

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <functional>

using lignet::TreeRenderer;

namespace {

constexpr int Size = 256;
const QRgb Sky = qRgb(68, 121, 137);
const QRgb White = qRgb(255, 255, 255);

// Draws one tree edit frame with the reset orbit camera; prepare may change the tree first.
QImage drawScene(const std::function<void(TreeRenderer &)> &prepare = {}, bool lighting = true)
{
    OffscreenGl view;
    EXPECT_TRUE(view.create(Size, Size));
    if (!lighting)
        glDisable(GL_LIGHTING);
    TreeRenderer tree;
    if (prepare)
        prepare(tree);
    lignet::gl::drawTreeScene(tree, {}, -13.0, 0.0, -15.0, 0.0, 0.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return view.grab();
}

} // namespace

TEST(TreeScene, defaultTreeStandsOnTheSkyOrAWhiteBackgroundAndTurnsWithTheSpin)
{
    const QImage image = drawScene();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), Sky);
    EXPECT_GT(countPixels(image, [](QRgb p) { return p != Sky; }), Size * Size / 20);
    // The trunk base sits 13 units below the eye at 15 units distance: near the bottom centre of a
    // 90 degree view, with nothing below it.
    EXPECT_NE(image.pixel(Size / 2, static_cast<int>(Size * 0.9)), Sky);
    for (int x = 0; x < Size; ++x)
        EXPECT_EQ(image.pixel(x, Size - 3), Sky) << x;
    EXPECT_EQ(drawScene(), image); // the same parameters give the same picture
    EXPECT_NE(drawScene([](TreeRenderer &tree) { tree.settings().spinAngle = 90.0; }), image);
    const QImage white = drawScene([](TreeRenderer &tree) { tree.settings().backgroundSky = false; });
    EXPECT_EQ(white.pixel(Size - 1, 0), White);
    EXPECT_GT(countPixels(white, [](QRgb p) { return p != White; }), Size * Size / 20);
}

TEST(TreeScene, wireframeDrawsOnlyBlackLinesWhichLightingMakesOneDarkGrey)
{
    const auto wireframe = [](TreeRenderer &tree) {
        tree.settings().wireframe = true;
        tree.designedParameters().displayLeaves = false;
    };
    const QImage image = drawScene(wireframe, false);
    EXPECT_GT(countPixels(image, [](QRgb p) { return p == qRgb(0, 0, 0); }), 1000);
    EXPECT_EQ(countPixels(image, [](QRgb p) { return p != Sky && p != qRgb(0, 0, 0); }), 0);
    EXPECT_EQ(countPixels(drawScene(wireframe, true),
                          [](QRgb p) {
                              return p != Sky &&
                                     !(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) <= 60);
                          }),
              0);
}

// The scene's camera and spin stay out of an export (see the mesh drawing tests); a placement made
// on the modelview before the tree goes in.
TEST(TreeDrawing, exportsIncludeAPlacementMadeBeforeTheTree)
{
    testsupport::TempFolder folder;
    OffscreenGl view;
    ASSERT_TRUE(view.create(Size, Size));
    glTranslatef(100.0f, 0.0f, 0.0f);
    lignet::TreeParameters single;
    single.numberOfStrands = 1;
    single.phyllotaxisAngle = 0.0;
    TreeRenderer tree(single);
    tree.requestVertexExport(folder.file("placed.crs"));
    lignet::gl::drawTreeAtLevelOfDetail(tree, {}, 3);
    // bottom[0] of the trunk, moved with the modelview
    EXPECT_EQ(testsupport::readBytes(folder.file("placed.crs"))
                  .rfind("B 0\n100.01 0 -0.01\n100 5 0\n100 5 0\n100.01 0 0.01\n", 0),
              0u);
}

TEST(TreeDrawing, sceneSetsTheLightsInEyeCoordinatesAndTheBranchStateAndRestoresTheModelview)
{
    OffscreenGl view;
    ASSERT_TRUE(view.create(64, 64));
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    TreeRenderer tree;
    tree.designedParameters().numberOfStrands = 3;
    lignet::gl::drawTreeScene(tree, {}, -13.0, 2.0, -15.0, 10.0, 20.0);
    const std::pair<GLenum, std::array<GLfloat, 4>> lights[] = {
        {GL_LIGHT0, {4609, 0, 0, 5}}, {GL_LIGHT1, {4609, -3, 0, 5}}, {GL_LIGHT2, {4609, -3, 3, 5}}};
    for (const auto &[light, position] : lights) {
        std::array<GLfloat, 4> p{};
        glGetLightfv(light, GL_POSITION, p.data());
        EXPECT_EQ(p, position);
    }
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint value = 0;
    std::array<GLfloat, 16> modelview{};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    EXPECT_EQ((std::array<GLfloat, 3>{modelview[12], modelview[13], modelview[14]}),
              (std::array<GLfloat, 3>{-2.0f, -13.0f, -15.0f}));
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &value);
    EXPECT_EQ(value, 1);

    tree.settings().wireframe = true;
    lignet::gl::drawTreeScene(tree, {}, -13.0, 0.0, -15.0, 0.0, 0.0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    lignet::gl::OffscreenContext empty(QSize(0, 10));
    EXPECT_FALSE(empty.isValid());
    EXPECT_FALSE(empty.error().isEmpty());
    EXPECT_TRUE(empty.grab().isNull());
}

// A half-transparent colour blended over a cleared, transparent background leaves the framebuffer
// half-transparent; a window shows the colour as drawn, and so must every picture read back (the
// view, a larger export), not the colour divided by that alpha.
TEST(FramebufferPictures, showTheColoursAsDrawnWhateverTheAlphaLeftBehind)
{
    OffscreenGl view;
    ASSERT_TRUE(view.create(64, 64));
    const auto draw = [] {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1.0f, 0.5f, 0.25f, 0.5f);
        glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    };
    draw();
    const QRgb drawn = qRgb(128, 64, 32);
    EXPECT_EQ(view.grab().pixel(32, 32), drawn);
    QString error;
    const QImage exported = lignet::gl::renderOffscreen({100, 50}, draw, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(exported.pixel(50, 25), drawn);
}
