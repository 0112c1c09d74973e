#include "math/vector3f.h"

namespace math {

void Vector3f::normalize()
{
    const float len = length();
    if (len > 0.0f) {
        x /= len;
        y /= len;
        z /= len;
    }
}

} // namespace math
