#pragma once

#include "math/vector3f.h"

#include <gtest/gtest.h>

// Checks every coordinate of a point within the tolerance.
inline void expectNear(const math::Vector3f &actual, const math::Vector3f &expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << "x";
    EXPECT_NEAR(actual.y, expected.y, tolerance) << "y";
    EXPECT_NEAR(actual.z, expected.z, tolerance) << "z";
}
