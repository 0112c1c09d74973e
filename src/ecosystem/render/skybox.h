#pragma once

#include "math/vector3f.h"

#include <GL/gl.h>

#include <array>

namespace ecosystem::render {

// The six-sided sky: a box five terrain widths across, standing on the terrain's base level and
// centred over it, each face textured with one sky picture (the ground face repeats its picture
// five times).
class SkyBox {
public:
    enum Face { North = 0, South, East, West, Up, Down };

    // `extent` is the terrain's world size (x, height, z).
    explicit SkyBox(const math::Vector3f &extent);

    // Takes the six texture names in face order (north, south, east, west, up, down); the caller
    // keeps ownership.
    void setTextures(const std::array<GLuint, 6> &names) { textures_ = names; }
    const std::array<GLuint, 6> &textures() const { return textures_; }
    std::array<GLuint, 6> &textures() { return textures_; }

    void draw() const;

    const std::array<math::Vector3f, 8> &corners() const { return corners_; }
    // Corner indices of each face in drawing order.
    static const std::array<std::array<int, 4>, 6> &faces();
    // Texture coordinate (s, t) of corner k (0..3) of face f.
    static std::array<double, 2> textureCoordinate(int face, int corner);

private:
    math::Vector3f extent_;
    std::array<GLuint, 6> textures_{};
    std::array<math::Vector3f, 8> corners_{};
};

} // namespace ecosystem::render
