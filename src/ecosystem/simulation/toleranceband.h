#pragma once

#include <cmath>

namespace ecosystem {

// A species' preference for one terrain quantity (relative height, moisture, sunniness or
// windiness).
struct ToleranceBand {
    float optimum = 0.0f;
    float tolerance = 0.0f;
    float deathProbability = 0.0f; // chance per kill phase that the environmental test fires
    float falloff = 0.0f;          // suitability lost per unit beyond the tolerance

    // 1 for values above the optimum or below it by at most the tolerance; further below, falls
    // linearly with the distance from the optimum and stops at 0. Not clamped above 1 here: the
    // vigour computation clamps.
    float suitability(float value) const
    {
        const float d = optimum - value;
        if (d <= tolerance)
            return 1.0f;
        const float s = 1.0f - std::fabs(d) * falloff;
        return s > 0.0f ? s : 0.0f;
    }

    // True when the value lies further than the tolerance from the optimum, on either side, or is
    // not a number: the condition under which the environmental death test draws.
    bool outsideTolerance(float value) const { return !(std::fabs(optimum - value) <= tolerance); }

    bool operator==(const ToleranceBand &) const = default;
};

} // namespace ecosystem
