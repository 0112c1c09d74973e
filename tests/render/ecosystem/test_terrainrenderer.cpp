#include "assets/terrainloader.h"
#include "ecosystem/render/glextensions.h"
#include "ecosystem/render/terrainrenderer.h"
#include "lignet/gl/texturehelper.h"
#include "render/offscreengl.h"

#include <QTemporaryDir>

#include <GL/gl.h>

#include <gtest/gtest.h>

using ecosystem::render::GlExtensions;
using ecosystem::render::TerrainRenderer;
using lignet::gl::TextureHelper;

namespace {

class TerrainRendering : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.create(64, 64));
        ASSERT_TRUE(
            assets::TerrainLoader::load(terrain, QString::fromLatin1(assets::TerrainLoader::DefaultDem))
                .ok());
    }

    // The number of pixels drawn seen from high above the terrain's centre, looking straight down.
    int drawnPixels(TerrainRenderer &renderer)
    {
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
        glTranslatef(-1250.0f, -1800.0f, -1250.0f);
        renderer.draw();
        last = gl.grab();
        return countPixels(last, [](QRgb p) { return p != qRgb(255, 255, 255); });
    }

    OffscreenGl gl;
    ecosystem::TerrainModel terrain;
    QImage last;
};

} // namespace

TEST_F(TerrainRendering, stripsAndTextureCoordinatesCoverTheGrid)
{
    GlExtensions extensions(gl.glContext());
    TerrainRenderer renderer(extensions, terrain);
    EXPECT_FALSE(renderer.hasArrays());
    renderer.buildArrays();
    const auto &indices = renderer.indices();
    ASSERT_EQ(indices.size(), 2u * 100u * 99u);
    EXPECT_EQ(std::vector<int>(indices.begin(), indices.begin() + 4), (std::vector<int>{0, 100, 1, 101}));
    EXPECT_EQ(indices[200], 100); // row 1 starts at 2 W
    EXPECT_EQ(indices.back(), 9999);
    ASSERT_EQ(renderer.baseCoordinates().size(), 20000u);
    EXPECT_FLOAT_EQ(renderer.baseCoordinates()[2 * 101], 0.01f);
    EXPECT_FLOAT_EQ(renderer.baseCoordinates()[2 * 101 + 1], 0.01f);
    EXPECT_FLOAT_EQ(renderer.detailCoordinates()[2 * 9999], 99.0f);
    EXPECT_FLOAT_EQ(renderer.detailCoordinates()[2 * 9999 + 1], 99.0f);
    renderer.invalidate();
    EXPECT_FALSE(renderer.hasArrays());
}

TEST_F(TerrainRendering, drawsWithAndWithoutTheExtensionsAndNothingBeforeTheArraysAreBuilt)
{
    QImage colours(4, 4, QImage::Format_RGB32);
    colours.fill(qRgb(40, 160, 60));
    GLuint base = TextureHelper::upload(colours);
    GLuint detail = TextureHelper::upload(colours);
    GlExtensions full(gl.glContext());
    TerrainRenderer renderer(full, terrain);
    renderer.setTextures(base, detail);
    EXPECT_EQ(drawnPixels(renderer), 0);
    renderer.buildArrays();
    EXPECT_GT(drawnPixels(renderer), 64 * 64 / 2);

    GlExtensions none;
    none.disable();
    EXPECT_FALSE(none.hasMultitexture() || none.hasCompiledVertexArray());
    TerrainRenderer plain(none, terrain);
    plain.setTextures(base, detail);
    plain.buildArrays();
    EXPECT_GT(drawnPixels(plain), 64 * 64 / 2);
    const QImage filled = last;
    plain.wireframe = true;
    drawnPixels(plain);
    EXPECT_NE(last, filled); // line strips instead of triangles
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    TextureHelper::release(base);
    TextureHelper::release(detail);
}

TEST(TextureLoading, backslashPathsLoadLikeForwardSlashesAndMissingPicturesAreNull)
{
    QTemporaryDir dir;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(image.save(dir.filePath("bark.png")));
    const QImage loaded = TextureHelper::loadImage(dir.filePath("bark.png"));
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(TextureHelper::loadImage(dir.filePath("bark.png").replace('/', '\\')), loaded);
    EXPECT_TRUE(TextureHelper::loadImage(dir.filePath("missing.png")).isNull());
    EXPECT_TRUE(TextureHelper::loadImage(QString()).isNull());
    // The built-in pictures load from the resources (the render model uploads every one of them).
    EXPECT_EQ(TextureHelper::loadImage(QStringLiteral(":/gui/textures/detail.png")).size(), QSize(512, 512));
    EXPECT_TRUE(TextureHelper::loadImage(QStringLiteral(":/gui/textures/leaf.png")).hasAlphaChannel());
}

TEST(TextureColourKey, nearWhiteBecomesTransparentWhiteOthersStay)
{
    QImage image(4, 1, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 255, 255), qRgb(201, 230, 250), qRgb(200, 200, 200), qRgb(30, 120, 40)};
    for (int x = 0; x < 4; ++x)
        image.setPixel(x, 0, colours[x]);
    const QImage keyed = TextureHelper::applyColourKey(image);
    const QColor expected[] = {
        {255, 255, 255, 0}, {255, 255, 255, 0}, {200, 200, 200, 255}, {30, 120, 40, 255}};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(keyed.pixelColor(x, 0), expected[x]) << x;
}

TEST(TextureUpload, uploadsWithMipmapsAndReleasesTheName)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.create(8, 8));
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(qRgb(200, 100, 50));
    GLuint name = TextureHelper::upload(image);
    ASSERT_TRUE(glIsTexture(name));
    GLint width = 0, lastLevel = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &lastLevel);
    EXPECT_EQ(std::pair(width, lastLevel), std::pair(64, 1)); // 64 -> 1 in six halvings
    TextureHelper::release(name);
    EXPECT_EQ(name, 0u);
    EXPECT_EQ(TextureHelper::upload(QImage()), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
