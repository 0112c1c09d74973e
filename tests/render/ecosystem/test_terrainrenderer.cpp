#include "assets/terrainloader.h"
#include "ecosystem/render/glextensions.h"
#include "ecosystem/render/terrainrenderer.h"
#include "lignet/gl/texturehelper.h"
#include "render/offscreengl.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

using ecosystem::render::GlExtensions;
using ecosystem::render::TerrainRenderer;

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
        int count = 0;
        for (int y = 0; y < last.height(); ++y)
            for (int x = 0; x < last.width(); ++x)
                count += last.pixel(x, y) != qRgb(255, 255, 255);
        return count;
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
    GLuint base = lignet::gl::TextureHelper::upload(colours);
    GLuint detail = lignet::gl::TextureHelper::upload(colours);
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
    lignet::gl::TextureHelper::release(base);
    lignet::gl::TextureHelper::release(detail);
}
