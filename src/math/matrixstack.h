#pragma once

#include "math/mat4.h"

#include <vector>

namespace math {

// A CPU copy of the fixed-function modelview stack: every operation multiplies onto the top
// entry on the right, exactly as the OpenGL 1.x matrix calls do.
class MatrixStack {
public:
    MatrixStack(); // one identity entry

    // glPushMatrix: duplicates the top entry.
    void push();
    // glPopMatrix: drops the top entry. Popping the last entry is refused (returns false) and
    // leaves the stack unchanged, as an OpenGL stack underflow does.
    bool pop();
    void loadIdentity();
    void load(const Mat4 &m);
    void translate(float x, float y, float z);
    void rotate(float angleDegrees, float x, float y, float z);
    void multiply(const Mat4 &m);

    const Mat4 &top() const { return m_entries.back(); }
    int depth() const { return static_cast<int>(m_entries.size()); }
    // Back to a single identity entry.
    void reset();

private:
    std::vector<Mat4> m_entries;
};

} // namespace math
