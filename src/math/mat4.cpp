#include "math/mat4.h"

#include <cmath>
#include <numbers>

namespace math {

Mat4::Mat4() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

Mat4 Mat4::fromColumnMajor(const float *values)
{
    Mat4 r;
    for (int i = 0; i < 16; ++i)
        r[i] = values[i];
    return r;
}

Mat4 Mat4::translation(float x, float y, float z)
{
    Mat4 r;
    r[12] = x;
    r[13] = y;
    r[14] = z;
    return r;
}

Mat4 Mat4::rotation(float angleDegrees, float x, float y, float z)
{
    Mat4 r;
    const float radians = static_cast<float>(angleDegrees * (std::numbers::pi / 180.0));
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    const float mag = std::sqrt(x * x + y * y + z * z);
    if (mag <= 1.0e-4f)
        return r;
    x /= mag;
    y /= mag;
    z /= mag;
    const float xx = x * x, yy = y * y, zz = z * z;
    const float xy = x * y, yz = y * z, zx = z * x;
    const float xs = x * s, ys = y * s, zs = z * s;
    const float oneC = 1.0f - c;
    // Element (row, column) lives at column * 4 + row.
    r[0] = (oneC * xx) + c;
    r[4] = (oneC * xy) - zs;
    r[8] = (oneC * zx) + ys;
    r[1] = (oneC * xy) + zs;
    r[5] = (oneC * yy) + c;
    r[9] = (oneC * yz) - xs;
    r[2] = (oneC * zx) - ys;
    r[6] = (oneC * yz) + xs;
    r[10] = (oneC * zz) + c;
    return r;
}

Mat4 &Mat4::translate(float x, float y, float z)
{
    // Summed in the same order as the full product with a translation matrix would be.
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
    return *this;
}

Mat4 Mat4::operator*(const Mat4 &o) const
{
    Mat4 p;
    for (int row = 0; row < 4; ++row) {
        const float a0 = at(row, 0), a1 = at(row, 1), a2 = at(row, 2), a3 = at(row, 3);
        for (int col = 0; col < 4; ++col)
            p[col * 4 + row] = a0 * o.at(0, col) + a1 * o.at(1, col) + a2 * o.at(2, col) + a3 * o.at(3, col);
    }
    return p;
}

Vector3f Mat4::transformPoint(const Vector3f &p) const
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Vector3f Mat4::transformDirection(const Vector3f &d) const
{
    return {m[0] * d.x + m[4] * d.y + m[8] * d.z, m[1] * d.x + m[5] * d.y + m[9] * d.z,
            m[2] * d.x + m[6] * d.y + m[10] * d.z};
}

Vector3f Mat4::column(int c) const
{
    const auto i = static_cast<std::size_t>(c * 4);
    return {m[i], m[i + 1], m[i + 2]};
}

} // namespace math
