#pragma once

#include "math/vector3f.h"

#include <array>
#include <cstdint>

namespace lignet {

// The corner points of one end of a branch segment in the vertex export.
struct ExportRing {
    static constexpr int MaxPoints = 16;
    std::int32_t count = 4;
    std::array<math::Vector3f, MaxPoints> points{};
};

} // namespace lignet
