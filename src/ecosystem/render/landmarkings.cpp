#include "ecosystem/render/landmarkings.h"

#include "ecosystem/terrain/terrainmodel.h"

#include <GL/gl.h>

#include <algorithm>
#include <map>

namespace ecosystem::render {

LandMarkings::LandMarkings(const TerrainModel &terrainModel) : terrain(terrainModel) {}

std::array<LandMarkings::Marking, 4> LandMarkings::markings() const
{
    const int w = terrain.width();
    const int h = terrain.height();
    const auto &vertices = terrain.vertices();
    auto groundAt = [&](int column, int row) {
        column = std::clamp(column, 0, std::max(w - 1, 0));
        row = std::clamp(row, 0, std::max(h - 1, 0));
        const auto i = static_cast<std::size_t>(column + row * w);
        return i < vertices.size() ? vertices[i] : math::Vector3f();
    };
    return {{
        {'N', groundAt(w / 2, 0), {0.0f, 0.0f, -1.0f}},
        {'S', groundAt(w / 2, h - 1), {0.0f, 0.0f, 1.0f}},
        {'E', groundAt(w - 1, h / 2), {1.0f, 0.0f, 0.0f}},
        {'W', groundAt(0, h / 2), {-1.0f, 0.0f, 0.0f}},
    }};
}

const std::vector<std::array<float, 4>> &LandMarkings::strokes(char letter)
{
    static const std::map<char, std::vector<std::array<float, 4>>> font = {
        {'N', {{0, 0, 0, 1}, {0, 1, 1, 0}, {1, 0, 1, 1}}},
        {'S', {{1, 1, 0, 1}, {0, 1, 0, 0.5f}, {0, 0.5f, 1, 0.5f}, {1, 0.5f, 1, 0}, {1, 0, 0, 0}}},
        {'E', {{1, 1, 0, 1}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0.5f, 0.7f, 0.5f}}},
        {'W', {{0, 1, 0.25f, 0}, {0.25f, 0, 0.5f, 0.6f}, {0.5f, 0.6f, 0.75f, 0}, {0.75f, 0, 1, 1}}},
    };
    static const std::vector<std::array<float, 4>> none;
    const auto it = font.find(letter);
    return it == font.end() ? none : it->second;
}

void LandMarkings::draw() const
{
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glLineWidth(3.0f);
    const math::Vector3f up(0.0f, 1.0f, 0.0f);
    for (const Marking &marking : markings()) {
        // Seen from inside the terrain, looking outwards at the letter, its x axis runs to the right.
        const math::Vector3f right = marking.outward.cross(up);
        const math::Vector3f top = marking.foot + up * PoleHeight;
        glColor3f(0.25f, 0.15f, 0.05f);
        glBegin(GL_LINES);
        glVertex3f(marking.foot.x, marking.foot.y, marking.foot.z);
        glVertex3f(top.x, top.y, top.z);
        glEnd();
        if (marking.letter == 'N')
            glColor3f(0.9f, 0.05f, 0.05f);
        else
            glColor3f(1.0f, 1.0f, 1.0f);
        const math::Vector3f origin = top - right * (0.5f * LetterSize) + up * 10.0f;
        glBegin(GL_LINES);
        for (const auto &s : strokes(marking.letter)) {
            const math::Vector3f a = origin + right * (s[0] * LetterSize) + up * (s[1] * LetterSize);
            const math::Vector3f b = origin + right * (s[2] * LetterSize) + up * (s[3] * LetterSize);
            glVertex3f(a.x, a.y, a.z);
            glVertex3f(b.x, b.y, b.z);
        }
        glEnd();
    }
    glLineWidth(1.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

} // namespace ecosystem::render
