#include "ecosystem/render/terrainrenderer.h"

#include "ecosystem/terrain/terrainmodel.h"

#include <GL/glext.h>

namespace ecosystem::render {

namespace {

// Both terrain layers repeat across the grid and are sampled through their mipmaps.
void setTiledMipmapParameters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
}

} // namespace

TerrainRenderer::TerrainRenderer(const GlExtensions &extensions, const TerrainModel &terrainModel)
    : gl(extensions), terrain(terrainModel)
{
}

TerrainRenderer::~TerrainRenderer() = default;

void TerrainRenderer::invalidate()
{
    built = false;
}

void TerrainRenderer::buildArrays()
{
    built = false;
    columns = terrain.width();
    rows = terrain.height();
    stripIndices.clear();
    baseCoords.clear();
    detailCoords.clear();
    const long long count = static_cast<long long>(columns) * rows;
    if (columns < 2 || rows < 2 || count > 65536 ||
        terrain.readerVertices().size() != static_cast<std::size_t>(count))
        return;

    baseCoords.reserve(static_cast<std::size_t>(2 * count));
    detailCoords.reserve(static_cast<std::size_t>(2 * count));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const float u = static_cast<float>(c) / static_cast<float>(columns);
            const float v = static_cast<float>(r) / static_cast<float>(rows);
            baseCoords.push_back(u);
            baseCoords.push_back(v);
            detailCoords.push_back(100.0f * static_cast<float>(c) / static_cast<float>(columns));
            detailCoords.push_back(100.0f * static_cast<float>(r) / static_cast<float>(rows));
        }
    stripIndices.reserve(static_cast<std::size_t>(2 * columns * (rows - 1)));
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            stripIndices.push_back(static_cast<std::uint16_t>(r * columns + c));
            stripIndices.push_back(static_cast<std::uint16_t>((r + 1) * columns + c));
        }
    built = true;
}

// The client array pointers are set for every drawing instead of once: client state belongs to
// one context, and several views (each with its own context) draw the same terrain.
void TerrainRenderer::enableArrays() const
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, terrain.readerVertices().data());
    if (gl.hasMultitexture()) {
        gl.clientActiveTexture(GL_TEXTURE0_ARB);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, baseCoords.data());
        gl.clientActiveTexture(GL_TEXTURE1_ARB);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, detailCoords.data());
        gl.clientActiveTexture(GL_TEXTURE0_ARB);
    } else {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, baseCoords.data());
    }
    if (gl.hasCompiledVertexArray())
        gl.lockArrays(0, columns * rows);
}

void TerrainRenderer::disableArrays() const
{
    if (gl.hasCompiledVertexArray())
        gl.unlockArrays();
    if (gl.hasMultitexture()) {
        gl.clientActiveTexture(GL_TEXTURE1_ARB);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        gl.clientActiveTexture(GL_TEXTURE0_ARB);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void TerrainRenderer::draw() const
{
    // A terrain replaced since the last build would have the arrays read stale sizes.
    if (!built || terrain.width() != columns || terrain.height() != rows ||
        terrain.readerVertices().size() != static_cast<std::size_t>(columns * rows))
        return;

    glColor3f(1.0f, 1.0f, 1.0f);
    if (gl.hasMultitexture())
        gl.activeTexture(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, baseTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    setTiledMipmapParameters();

    const bool detail = useDetailTexture && gl.hasMultitexture();
    if (detail) {
        gl.activeTexture(GL_TEXTURE1_ARB);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, detailTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD_SIGNED_ARB);
        setTiledMipmapParameters();
    }

    enableArrays();
    const GLenum mode = wireframe ? GL_LINE_STRIP : GL_TRIANGLE_STRIP;
    for (int r = 0; r + 1 < rows; ++r)
        glDrawElements(mode, 2 * columns, GL_UNSIGNED_SHORT,
                       stripIndices.data() + static_cast<std::size_t>(2 * columns * r));
    disableArrays();

    if (detail) {
        glDisable(GL_TEXTURE_2D);
        gl.activeTexture(GL_TEXTURE0_ARB);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

} // namespace ecosystem::render
