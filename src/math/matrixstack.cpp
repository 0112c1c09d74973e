#include "math/matrixstack.h"

namespace math {

MatrixStack::MatrixStack()
{
    m_entries.reserve(32);
    m_entries.emplace_back();
}

void MatrixStack::push()
{
    m_entries.push_back(m_entries.back());
}

bool MatrixStack::pop()
{
    if (m_entries.size() <= 1)
        return false;
    m_entries.pop_back();
    return true;
}

void MatrixStack::loadIdentity()
{
    m_entries.back() = Mat4();
}

void MatrixStack::load(const Mat4 &m)
{
    m_entries.back() = m;
}

void MatrixStack::translate(float x, float y, float z)
{
    // Only the last column changes; summed in the same order as the full product would be.
    Mat4 &m = m_entries.back();
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
}

void MatrixStack::rotate(float angleDegrees, float x, float y, float z)
{
    m_entries.back() = m_entries.back() * Mat4::rotation(angleDegrees, x, y, z);
}

void MatrixStack::multiply(const Mat4 &m)
{
    m_entries.back() = m_entries.back() * m;
}

void MatrixStack::reset()
{
    m_entries.resize(1);
    m_entries.back() = Mat4();
}

} // namespace math
