#include "ecosystem/render/terrainoverlays.h"

#include "ecosystem/terrain/terrainmodel.h"

#include <GL/glu.h>

namespace ecosystem::render {

TerrainOverlays::TerrainOverlays(const TerrainModel &terrainModel) : terrain(terrainModel)
{
    quadric = gluNewQuadric();
    if (quadric != nullptr) {
        gluQuadricDrawStyle(quadric, GLU_FILL);
        gluQuadricTexture(quadric, GL_TRUE);
    }
}

TerrainOverlays::~TerrainOverlays()
{
    if (quadric != nullptr)
        gluDeleteQuadric(quadric);
}

const std::vector<float> *TerrainOverlays::values(Map map) const
{
    switch (map) {
    case Map::Inclination:
        return &terrain.slope();
    case Map::Moisture:
        return &terrain.moisture();
    case Map::Sunniness:
        return &terrain.sunniness();
    case Map::Windiness:
        return &terrain.windiness();
    case Map::Normals:
        break;
    }
    return nullptr;
}

void TerrainOverlays::mapColour(Map map, float m, float rgba[4])
{
    rgba[0] = rgba[1] = rgba[2] = 0.0f;
    rgba[3] = 0.5f;
    switch (map) {
    case Map::Normals:
        rgba[0] = 1.0f;
        rgba[3] = 1.0f;
        break;
    case Map::Inclination:
        rgba[0] = m;
        rgba[2] = m;
        break;
    case Map::Moisture:
        rgba[1] = m;
        break;
    case Map::Sunniness:
        rgba[0] = m;
        break;
    case Map::Windiness:
        rgba[0] = m;
        rgba[1] = m;
        break;
    }
}

void TerrainOverlays::draw(Map map) const
{
    const int width = terrain.width();
    const int height = terrain.height();
    const auto &vertices = terrain.vertices();
    const auto &normals = terrain.normals();
    const std::vector<float> *mapValues = values(map);
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // Maps not computed yet (or of another grid) are not drawn rather than read out of range.
    if (vertices.size() != count || normals.size() != count || (mapValues && mapValues->size() != count))
        return;

    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    if (map == Map::Normals)
        glColor3f(1.0f, 0.0f, 0.0f);
    for (int r = 0; r + 1 < height; ++r)
        for (int c = 0; c + 1 < width; ++c) {
            const auto i = static_cast<std::size_t>(c + r * width);
            const math::Vector3f &p = vertices[i];
            const math::Vector3f &n = normals[i];
            const float m = mapValues ? (*mapValues)[i] : 1.0f;
            const math::Vector3f tip = p + n * (50.0f * m);
            glBegin(GL_LINES);
            glVertex3f(p.x, p.y, p.z);
            if (mapValues) {
                float rgba[4];
                mapColour(map, m, rgba);
                glColor4fv(rgba);
            }
            glVertex3f(tip.x, tip.y, tip.z);
            glEnd();
            if (mapValues && quadric != nullptr) {
                glDisable(GL_DEPTH_TEST);
                glPushMatrix();
                glTranslatef(p.x, p.y, p.z);
                glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
                glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
                gluDisk(quadric, 0.0, 17.75 * static_cast<double>(m), 4, 1);
                glPopMatrix();
                glEnable(GL_DEPTH_TEST);
            }
        }
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void TerrainOverlays::drawSunMarkers(GLuint texture) const
{
    if (quadric == nullptr)
        return;
    const math::Vector3f &extent = terrain.extent();
    for (const math::Vector3f &sun : terrain.sunDirections()) {
        glPushMatrix();
        glColor3f(1.0f, 1.0f, 0.0f);
        glTranslatef((sun.x + 0.5f) * extent.x, sun.y * extent.y, (sun.z + 0.5f) * extent.z);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        gluSphere(quadric, 50.0, 10, 10);
        glPopMatrix();
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}

} // namespace ecosystem::render
