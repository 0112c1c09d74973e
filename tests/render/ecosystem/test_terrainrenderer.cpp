#include "assets/terrainloader.h"
#include "ecosystem/render/glextensions.h"
#include "ecosystem/render/terrainrenderer.h"
#include "lignet/gl/texturehelper.h"
#include "render/offscreengl.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

using assets::TerrainLoader;
using ecosystem::TerrainModel;
using ecosystem::render::GlExtensions;
using ecosystem::render::TerrainRenderer;

namespace {

QImage drawTerrain(OffscreenGl &gl, TerrainRenderer &renderer)
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    // High above the terrain's centre, looking straight down.
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(-1250.0f, -1800.0f, -1250.0f);
    renderer.draw();
    return gl.grab();
}

int nonWhite(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ++count;
    return count;
}

} // namespace

TEST(TerrainRendererArrays, stripsAndCoordinatesCoverTheGrid)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.create(64, 64));
    TerrainModel terrain;
    ASSERT_TRUE(TerrainLoader::load(terrain, QString::fromLatin1(TerrainLoader::DefaultDem)).ok());
    GlExtensions extensions(gl.glContext());
    TerrainRenderer renderer(extensions, terrain);
    EXPECT_FALSE(renderer.hasArrays());
    renderer.buildArrays();
    ASSERT_TRUE(renderer.hasArrays());
    const auto &indices = renderer.indices();
    ASSERT_EQ(indices.size(), 2u * 100u * 99u);
    EXPECT_EQ(indices[0], 0);
    EXPECT_EQ(indices[1], 100);
    EXPECT_EQ(indices[2], 1);
    EXPECT_EQ(indices[3], 101);
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

TEST(TerrainRendererDrawing, drawsWithAndWithoutTheExtensionsAndNothingFromStaleArrays)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.create(64, 64));
    TerrainModel terrain;
    ASSERT_TRUE(TerrainLoader::load(terrain, QString::fromLatin1(TerrainLoader::DefaultDem)).ok());
    QImage colours(4, 4, QImage::Format_RGB32);
    colours.fill(qRgb(40, 160, 60));
    GLuint base = lignet::gl::TextureHelper::upload(colours);
    GLuint detail = lignet::gl::TextureHelper::upload(colours);

    GlExtensions full(gl.glContext());
    TerrainRenderer renderer(full, terrain);
    renderer.setTextures(base, detail);
    EXPECT_EQ(nonWhite(drawTerrain(gl, renderer)), 0); // no arrays built yet
    renderer.buildArrays();
    const QImage withExtensions = drawTerrain(gl, renderer);
    EXPECT_GT(nonWhite(withExtensions), 64 * 64 / 2);

    GlExtensions none;
    none.disable();
    EXPECT_FALSE(none.hasMultitexture());
    EXPECT_FALSE(none.hasCompiledVertexArray());
    TerrainRenderer plain(none, terrain);
    plain.setTextures(base, detail);
    plain.buildArrays();
    const QImage withoutExtensions = drawTerrain(gl, plain);
    EXPECT_GT(nonWhite(withoutExtensions), 64 * 64 / 2);

    plain.wireframe = true;
    EXPECT_NE(drawTerrain(gl, plain), withoutExtensions); // line strips instead of triangles
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    lignet::gl::TextureHelper::release(base);
    lignet::gl::TextureHelper::release(detail);
}
