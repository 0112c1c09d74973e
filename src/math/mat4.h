#pragma once

#include "math/vector3f.h"

#include <array>

namespace math {

// A 4 x 4 float matrix in OpenGL column-major order: element (row r, column c) is m[c * 4 + r],
// so elements 12, 13 and 14 hold the translation. The operations reproduce the fixed-function
// matrix operations in single precision, so a frame built here matches one built with
// glTranslatef / glRotatef / glMultMatrixf.
class Mat4 {
public:
    Mat4(); // identity

    static Mat4 identity() { return Mat4(); }
    static Mat4 fromColumnMajor(const float *values);
    static Mat4 translation(float x, float y, float z);
    // Rotation by angleDegrees about the axis (x, y, z) with the glRotatef formula; the axis is
    // normalised first. An axis shorter than 1e-4 gives the identity, as the usual drivers do.
    static Mat4 rotation(float angleDegrees, float x, float y, float z);

    float &operator[](int i) { return m[static_cast<std::size_t>(i)]; }
    float operator[](int i) const { return m[static_cast<std::size_t>(i)]; }
    float at(int row, int column) const { return m[static_cast<std::size_t>(column * 4 + row)]; }
    const float *data() const { return m.data(); }
    float *data() { return m.data(); }

    // In place: this matrix times a translation, changing only the last column (glTranslatef).
    Mat4 &translate(float x, float y, float z);

    // This matrix times o (o applied first to a point), summed in the fixed-function order.
    Mat4 operator*(const Mat4 &o) const;
    bool operator==(const Mat4 &) const = default;

    Vector3f transformPoint(const Vector3f &p) const;
    Vector3f transformDirection(const Vector3f &d) const;
    Vector3f translationPart() const { return {m[12], m[13], m[14]}; }
    // Column c (0..3) without its fourth element.
    Vector3f column(int c) const;

private:
    std::array<float, 16> m;
};

} // namespace math
