#pragma once

#include "math/vector3f.h"

#include <vector>

namespace lignet {

// One vertex of a GLU quadric in the quadric's own frame, with the normal and the texture
// coordinates the quadric sends with it.
struct QuadricVertex {
    math::Vector3f position;
    math::Vector3f normal;
    float s = 0.0f;
    float t = 0.0f;
};

// Sines and cosines of the slice angles 2 pi i / slices, i = 0 .. slices, the last repeating the
// first, computed once per slice count as GLU computes them per call: the angle in float, its sine
// and cosine in double.
struct QuadricSlices {
    explicit QuadricSlices(int sliceCount);
    int slices;
    std::vector<double> sines;
    std::vector<double> cosines;
};

// The vertices GLU sends for gluCylinder(base, top, height, slices, stacks) drawn GLU_FILL with
// smooth normals, outside orientation and texture coordinates on: `stacks` quad strips of
// (slices + 1) x 2 vertices each, concatenated, replacing the content of out. For stack j and
// slice i = 0 .. slices, with GLU's mix of float and double:
//   dr = base - top, len = sqrt(dr^2 + height^2)
//   r_j = base - dr (j / stacks), z_j = j height / stacks
//   low vertex  (r_j sin_i, r_j cos_i, z_j),             texture (1 - i / slices, j / stacks)
//   high vertex (r_j+1 sin_i, r_j+1 cos_i, z_j+1),       texture (1 - i / slices, (j + 1) / stacks)
//   normal of both (height / len sin_i, height / len cos_i, dr / len)
// Quad k of a strip is (2k, 2k+1, 2k+3, 2k+2). Like GLU, nothing is produced for fewer than 2
// slices, no stack, a negative radius or height, or a zero length.
void cylinderVertices(const QuadricSlices &slices, double base, double top, double height, int stacks,
                      std::vector<QuadricVertex> &out);

// The vertices GLU sends for gluDisk(0, radius, slices, 1), replacing the content of out: one
// triangle fan of the centre (0, 0, 0) with texture (0.5, 0.5), then the rim from slice `slices`
// down to slice 0 at (radius sin_i, radius cos_i, 0) with texture (0.5 sin_i + 0.5, 0.5 cos_i + 0.5),
// sines and cosines rounded to float. Every vertex has the normal (0, 0, 1), which GLU sets once
// before the fan. Nothing for fewer than 2 slices or a radius that is not above 0.
void diskFanVertices(const QuadricSlices &slices, double radius, std::vector<QuadricVertex> &out);

} // namespace lignet
