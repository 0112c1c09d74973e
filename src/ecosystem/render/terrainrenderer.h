#pragma once

#include "ecosystem/render/glextensions.h"

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace ecosystem {
class TerrainModel;
}

namespace ecosystem::render {

// Draws the terrain grid from client-side arrays, one triangle strip per row, with the height
// colour texture and, where multitexturing exists, a detail texture repeated 100 times across.
//
// The arrays point into the terrain's reader vertices, so they must be rebuilt (buildArrays)
// whenever the terrain is loaded anew; until then the renderer draws nothing rather than reading
// released memory.
class TerrainRenderer {
public:
    TerrainRenderer(const GlExtensions &extensions, const TerrainModel &terrain);
    ~TerrainRenderer();

    TerrainRenderer(const TerrainRenderer &) = delete;
    TerrainRenderer &operator=(const TerrainRenderer &) = delete;

    // Builds the index and texture-coordinate arrays for the terrain's current grid and sets up
    // (and, with the compiled-vertex-array extension, locks) the client arrays. Needs a current
    // context. A grid of more than 65536 vertices cannot be indexed with 16 bits: the renderer
    // then draws nothing.
    void buildArrays();
    // Marks the arrays stale (the terrain was replaced); draw() does nothing until buildArrays.
    void invalidate();
    bool hasArrays() const { return built; }

    void draw() const;

    void setTextures(GLuint base, GLuint detail)
    {
        baseTexture = base;
        detailTexture = detail;
    }
    GLuint &baseTextureName() { return baseTexture; }
    GLuint &detailTextureName() { return detailTexture; }

    bool wireframe = false;
    bool useDetailTexture = true;

    const std::vector<std::uint16_t> &indices() const { return stripIndices; }
    const std::vector<float> &baseCoordinates() const { return baseCoords; }
    const std::vector<float> &detailCoordinates() const { return detailCoords; }

private:
    void enableArrays() const;
    void disableArrays() const;

    std::vector<std::uint16_t> stripIndices;
    std::vector<float> baseCoords;
    std::vector<float> detailCoords;
    const GlExtensions &gl;
    const TerrainModel &terrain;
    GLuint baseTexture = 0;
    GLuint detailTexture = 0;
    int columns = 0;
    int rows = 0;
    bool built = false;
    bool locked = false;
};

} // namespace ecosystem::render
