#include "ecosystem/terrain/sunpath.h"

#include <cmath>
#include <numbers>

namespace ecosystem {

math::Vector3f SunPath::sunrise()
{
    return math::Vector3f(1.0f, 0.0f, 0.37f).normalized();
}

math::Vector3f SunPath::sunset()
{
    return math::Vector3f(-1.0f, 0.0f, 0.37f).normalized();
}

math::Vector3f SunPath::noon()
{
    const float angle = 44.0f * std::numbers::pi_v<float> / 180.0f;
    return math::Vector3f(0.0f, std::sin(angle), -std::cos(angle)).normalized();
}

std::vector<math::Vector3f> SunPath::directions()
{
    const math::Vector3f rise = sunrise();
    const math::Vector3f high = noon();
    const math::Vector3f set = sunset();
    const float halfPi = std::numbers::pi_v<float> / 2.0f;

    std::vector<math::Vector3f> result;
    result.reserve(Positions);
    for (int k = 0; k < Positions; ++k) {
        math::Vector3f d;
        if (k < 10) {
            const float t = static_cast<float>(k) / 10.0f;
            const float a = t * halfPi;
            const math::Vector3f span = high - rise;
            d = rise + math::Vector3f((1.0f - std::cos(a)) * span.x, t * span.y, std::sin(a) * span.z);
        } else if (k == 10) {
            d = high;
        } else if (k < 20) {
            const float t = static_cast<float>(k - 10) / 10.0f;
            const float a = t * halfPi;
            const math::Vector3f span = set - high;
            d = high + math::Vector3f(std::sin(a) * span.x, t * span.y, (1.0f - std::cos(a)) * span.z);
        } else {
            d = set;
        }
        d.normalize();
        result.push_back(d);
    }
    return result;
}

float SunPath::weight(int k)
{
    const float step = 2.0f * static_cast<float>(k) / 20.0f;
    return k <= 10 ? 1.0f + step : 3.0f - step;
}

} // namespace ecosystem
