#include "ecosystem/render/skybox.h"

namespace ecosystem::render {

namespace {

constexpr double Edge = 0.001953125; // half a texel of 256 in from the border, against seams
constexpr double FarEdge = 0.9980469;
constexpr double GroundRepeat = 4.9902344;

} // namespace

SkyBox::SkyBox(const math::Vector3f &extent) : extent_(extent)
{
    const float s = 5.0f * extent.x;
    corners_ = {{{-s, s, s},
                 {s, s, s},
                 {s, s, -s},
                 {-s, s, -s},
                 {-s, 0.0f, s},
                 {s, 0.0f, s},
                 {s, 0.0f, -s},
                 {-s, 0.0f, -s}}};
    const math::Vector3f centre(0.5f * extent.x, 0.0f, 0.5f * extent.z);
    for (auto &corner : corners_)
        corner += centre;
}

const std::array<std::array<int, 4>, 6> &SkyBox::faces()
{
    static const std::array<std::array<int, 4>, 6> table = {{
        {5, 4, 0, 1}, // north
        {7, 6, 2, 3}, // south
        {4, 7, 3, 0}, // east
        {6, 5, 1, 2}, // west
        {1, 0, 3, 2}, // up
        {5, 6, 7, 4}, // down
    }};
    return table;
}

std::array<double, 2> SkyBox::textureCoordinate(int face, int corner)
{
    const double far = face == Down ? GroundRepeat : FarEdge;
    switch (corner) {
    case 0:
        return {Edge, Edge};
    case 1:
        return {far, Edge};
    case 2:
        return {far, far};
    default:
        return {Edge, far};
    }
}

void SkyBox::draw() const
{
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int f = 0; f < 6; ++f) {
        glBindTexture(GL_TEXTURE_2D, textures_[static_cast<std::size_t>(f)]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glBegin(GL_QUADS);
        for (int k = 0; k < 4; ++k) {
            const auto st = textureCoordinate(f, k);
            glTexCoord2d(st[0], st[1]);
            const auto &p = corners_[static_cast<std::size_t>(
                faces()[static_cast<std::size_t>(f)][static_cast<std::size_t>(k)])];
            glVertex3f(p.x, p.y, p.z);
        }
        glEnd();
    }
}

} // namespace ecosystem::render
