#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/treerenderer.h"
#include "lignet/treesink.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

using lignet::TreeRenderer;

namespace {

constexpr int Size = 256;
const QRgb Sky = qRgb(68, 121, 137);
const QRgb White = qRgb(255, 255, 255);

// Draws one tree edit frame with the reset orbit camera; prepare may change the tree first.
QImage drawScene(const std::function<void(TreeRenderer &)> &prepare = {}, bool lighting = true)
{
    lignet::gl::OffscreenContext context(QSize(Size, Size));
    EXPECT_TRUE(context.isValid()) << context.error().toStdString();
    if (!context.isValid())
        return {};
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(Size, Size);
    if (!lighting)
        glDisable(GL_LIGHTING);
    TreeRenderer tree;
    if (prepare)
        prepare(tree);
    lignet::gl::drawTreeScene(tree, {}, -13.0, 0.0, -15.0, 0.0, 0.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return context.grab();
}

int countPixels(const QImage &image, const std::function<bool(QRgb)> &predicate)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += predicate(image.pixel(x, y)) ? 1 : 0;
    return count;
}

} // namespace

TEST(TreeScene, defaultTreeStandsOnTheSkyBackground)
{
    const QImage image = drawScene();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), Sky);
    EXPECT_EQ(image.pixel(Size - 1, Size - 1), Sky);
    const int tree = countPixels(image, [](QRgb p) { return p != Sky; });
    EXPECT_GT(tree, Size * Size / 20);
    // The trunk: its base sits 13 units below the eye at 15 units distance, near the bottom
    // centre of a 90 degree view.
    EXPECT_NE(image.pixel(Size / 2, static_cast<int>(Size * 0.9)), Sky);
    // Nothing below the trunk base.
    for (int x = 0; x < Size; ++x)
        EXPECT_EQ(image.pixel(x, Size - 3), Sky) << x;
}

TEST(TreeScene, backgroundIsWhiteWithoutTheSky)
{
    const QImage image = drawScene([](TreeRenderer &tree) { tree.settings().backgroundSky = false; });
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), White);
    EXPECT_EQ(image.pixel(Size - 1, 0), White);
    EXPECT_GT(countPixels(image, [](QRgb p) { return p != White; }), Size * Size / 20);
}

TEST(TreeScene, wireframeDrawsOnlyBlackLinesOnTheBackground)
{
    const auto wireframe = [](TreeRenderer &tree) {
        tree.settings().wireframe = true;
        tree.designedParameters().displayLeaves = false;
    };
    const QImage image = drawScene(wireframe, false);
    ASSERT_FALSE(image.isNull());
    const int black = countPixels(image, [](QRgb p) { return p == qRgb(0, 0, 0); });
    const int other = countPixels(image, [](QRgb p) { return p != Sky && p != qRgb(0, 0, 0); });
    EXPECT_GT(black, 1000);
    EXPECT_EQ(other, 0);

    // Lit, black lines keep only the ambient share of the light: one even dark grey.
    const QImage lit = drawScene(wireframe, true);
    const int grey = countPixels(lit, [](QRgb p) {
        return p != Sky && !(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) <= 60);
    });
    EXPECT_EQ(grey, 0);
}

TEST(TreeScene, colourByOrdersShowsBlueBranches)
{
    const auto blue = [](QRgb p) { return qBlue(p) > qRed(p) + 60 && qBlue(p) > qGreen(p) + 30 && p != Sky; };
    const QImage plain =
        drawScene([](TreeRenderer &tree) { tree.designedParameters().displayLeaves = false; });
    EXPECT_EQ(countPixels(plain, blue), 0);
    const QImage coloured = drawScene([](TreeRenderer &tree) {
        tree.designedParameters().displayLeaves = false;
        tree.settings().colourByOrders = true;
    });
    EXPECT_GT(countPixels(coloured, blue), 50);
}

TEST(TreeScene, highlightedOrdersAreDrawnCyan)
{
    // Lit cyan keeps the ambient share in red.
    const auto cyan = [](QRgb p) {
        return qRed(p) < 70 && qGreen(p) > qRed(p) + 60 && qBlue(p) > qRed(p) + 60 && p != Sky;
    };
    const QImage image = drawScene([](TreeRenderer &tree) {
        tree.designedParameters().displayLeaves = false;
        tree.settings().highlightGMin = 1;
        tree.settings().highlightGMax = 1;
    });
    EXPECT_GT(countPixels(image, cyan), 50);
}

TEST(TreeScene, spinAngleTurnsTheTree)
{
    const QImage straight = drawScene();
    const QImage turned = drawScene([](TreeRenderer &tree) { tree.settings().spinAngle = 90.0; });
    EXPECT_NE(straight, turned);
    EXPECT_EQ(drawScene(), straight); // the same parameters give the same picture
}

TEST(TreeScene, distantLevelsOfDetailStillDrawTheTree)
{
    for (int level : {6, 12}) {
        lignet::gl::OffscreenContext context(QSize(Size, Size));
        ASSERT_TRUE(context.isValid());
        lignet::gl::applyViewDefaults();
        lignet::gl::applyViewProjection(Size, Size);
        glDisable(GL_LIGHTING);
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glTranslatef(0, -8, -15);
        TreeRenderer tree;
        lignet::gl::drawTreeAtLevelOfDetail(tree, {}, level);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        const QImage image = context.grab();
        EXPECT_GT(countPixels(image, [](QRgb p) { return p != qRgb(255, 255, 255); }), 20) << level;
    }
}

TEST(TreeScene, aPendingExportIsDrawnWithoutTheCameraAndMatchesTheCoreExport)
{
    const auto dir = std::filesystem::temp_directory_path();
    const auto viaScene = dir / "verdalis_scene_export.crs";
    const auto viaCore = dir / "verdalis_core_export.crs";
    const QImage image = drawScene([&](TreeRenderer &tree) {
        tree.settings().spinAngle = 40.0;
        tree.settings().levelOfDetail = 7;
        tree.requestVertexExport(viaScene.string());
    });
    TreeRenderer reference;
    reference.requestVertexExport(viaCore.string());
    lignet::TreeSink nothing;
    reference.drawTreeAtLevelOfDetail(nothing, 0);
    const auto read = [](const std::filesystem::path &p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    const std::string scene = read(viaScene);
    EXPECT_GT(scene.size(), 1000u);
    EXPECT_EQ(scene, read(viaCore));
    // The tree stands at the eye, so the view shows little of it.
    EXPECT_EQ(image.pixel(0, 0), Sky);
    std::filesystem::remove(viaScene);
    std::filesystem::remove(viaCore);
}

TEST(TreeDrawing, anExportDuringAPlacedDrawingIncludesThePlacement)
{
    lignet::gl::OffscreenContext context(QSize(Size, Size));
    ASSERT_TRUE(context.isValid());
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(Size, Size);
    glTranslatef(100.0f, 0.0f, 0.0f);
    const auto path = std::filesystem::temp_directory_path() / "verdalis_placed_export.crs";
    lignet::TreeParameters single;
    single.numberOfStrands = 1;
    single.phyllotaxisAngle = 0.0;
    TreeRenderer tree(single);
    tree.requestVertexExport(path.string());
    lignet::gl::drawTreeAtLevelOfDetail(tree, {}, 3);
    std::ifstream in(path);
    std::string line;
    for (int i = 0; i < 5; ++i)
        std::getline(in, line);
    EXPECT_EQ(line, "100.01 0 0.01"); // bottom[0] of the trunk, moved with the modelview
    std::filesystem::remove(path);
}

TEST(TreeDrawing, treeTexturesRepeatWithLinearFiltersAndAMissingPictureUploadsNothing)
{
    lignet::gl::OffscreenContext context(QSize(8, 8));
    ASSERT_TRUE(context.isValid());
    QTemporaryDir folder;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(folder.filePath(QStringLiteral("bark.png"))));
    ASSERT_TRUE(picture.save(folder.filePath(QStringLiteral("leaf.png"))));
    lignet::TreeParameters parameters;
    parameters.barkTexturePath = folder.filePath(QStringLiteral("bark.png")).toStdString();
    parameters.leafTexturePath = folder.filePath(QStringLiteral("leaf.png")).toStdString();
    std::string error;
    lignet::gl::TreeTextures textures = lignet::gl::uploadTreeTextures(parameters, &error);
    const auto parameter = [](GLuint name, GLenum which) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
        return value;
    };
    for (GLuint name : {textures.bark, textures.leaf}) {
        ASSERT_TRUE(glIsTexture(name));
        EXPECT_EQ(parameter(name, GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameter(name, GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(parameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_EQ(parameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    }
    lignet::gl::releaseTreeTextures(textures);
    EXPECT_EQ(textures.bark, 0u);

    parameters.leafTexturePath = "missing.png";
    textures = lignet::gl::uploadTreeTextures(parameters, &error);
    EXPECT_EQ(textures.bark, 0u);
    EXPECT_EQ(textures.leaf, 0u);
    EXPECT_EQ(error, "Could not open leaf texture file.");
}

TEST(TreeDrawing, sceneSetsTheLightsInEyeCoordinatesAndTheBranchState)
{
    lignet::gl::OffscreenContext context(QSize(64, 64));
    ASSERT_TRUE(context.isValid());
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(64, 64);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    TreeRenderer tree;
    tree.designedParameters().numberOfStrands = 3;
    lignet::gl::drawTreeScene(tree, {}, -13.0, 2.0, -15.0, 10.0, 20.0);
    const auto light = [](GLenum which) {
        std::array<GLfloat, 4> p{};
        glGetLightfv(which, GL_POSITION, p.data());
        return p;
    };
    EXPECT_EQ(light(GL_LIGHT0), (std::array<GLfloat, 4>{4609, 0, 0, 5}));
    EXPECT_EQ(light(GL_LIGHT1), (std::array<GLfloat, 4>{4609, -3, 0, 5}));
    EXPECT_EQ(light(GL_LIGHT2), (std::array<GLfloat, 4>{4609, -3, 3, 5}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    // The walk leaves the modelview where the camera put it.
    std::array<GLfloat, 16> modelview{};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    EXPECT_FLOAT_EQ(modelview[12], -2.0f);
    EXPECT_FLOAT_EQ(modelview[13], -13.0f);
    EXPECT_FLOAT_EQ(modelview[14], -15.0f);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);

    tree.settings().wireframe = true;
    lignet::gl::drawTreeScene(tree, {}, -13.0, 0.0, -15.0, 0.0, 0.0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OffscreenContext, refusesAnEmptySize)
{
    lignet::gl::OffscreenContext context(QSize(0, 10));
    EXPECT_FALSE(context.isValid());
    EXPECT_FALSE(context.error().isEmpty());
    EXPECT_TRUE(context.grab().isNull());
}
