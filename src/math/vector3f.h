#pragma once

#include <cmath>

namespace math {

// Three floats, used for positions, directions and normals in world units (metres).
struct Vector3f {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3f() = default;
    constexpr Vector3f(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}

    constexpr Vector3f operator+(const Vector3f &o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vector3f operator-(const Vector3f &o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vector3f operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr Vector3f &operator+=(const Vector3f &o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    constexpr Vector3f &operator-=(const Vector3f &o)
    {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    constexpr Vector3f &operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    constexpr bool operator==(const Vector3f &) const = default;

    constexpr float dot(const Vector3f &o) const { return x * o.x + y * o.y + z * o.z; }
    constexpr Vector3f cross(const Vector3f &o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    float length() const { return std::sqrt(dot(*this)); }

    // Scales to unit length; a zero vector stays zero rather than turning into NaNs.
    void normalize();
    Vector3f normalized() const
    {
        Vector3f v = *this;
        v.normalize();
        return v;
    }
};

inline Vector3f operator*(float s, const Vector3f &v)
{
    return v * s;
}

} // namespace math
