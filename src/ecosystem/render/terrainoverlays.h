#pragma once

#include <GL/gl.h>

#include <vector>

struct GLUquadric;

namespace ecosystem {
class TerrainModel;
}

namespace ecosystem::render {

// Draws the analysis maps over the terrain: a line along the normal at every grid vertex (50
// units times the map value) and, for the scalar maps, a flat diamond sized by the value, plus the
// sun markers of the sunniness analysis.
class TerrainOverlays {
public:
    enum class Map { Normals, Inclination, Moisture, Sunniness, Windiness };

    // Needs a current context (creates its GLU quadric).
    explicit TerrainOverlays(const TerrainModel &terrain);
    ~TerrainOverlays();

    TerrainOverlays(const TerrainOverlays &) = delete;
    TerrainOverlays &operator=(const TerrainOverlays &) = delete;

    void draw(Map map) const;

    // Yellow spheres at the sun positions, around the terrain's centre, textured with `texture`.
    void drawSunMarkers(GLuint texture) const;

    // Overlay colour (r, g, b, alpha) of a map value.
    static void mapColour(Map map, float value, float rgba[4]);

private:
    const std::vector<float> *values(Map map) const;

    const TerrainModel &terrain;
    GLUquadric *quadric = nullptr;
};

} // namespace ecosystem::render
