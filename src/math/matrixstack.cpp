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
    m_entries.back().translate(x, y, z);
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
