#pragma once

#include <cstdint>

namespace lignet::gl {

// What a frame's tree drawing sent to OpenGL, for frame statistics.
struct DrawCounters {
    std::uint64_t triangles = 0;
    std::uint64_t lines = 0;
    std::uint64_t points = 0;
    std::uint64_t drawCalls = 0; // glBegin/glEnd pairs in immediate mode, glDraw* calls otherwise
    std::uint64_t instances = 0; // plants drawn

    DrawCounters &operator+=(const DrawCounters &other)
    {
        triangles += other.triangles;
        lines += other.lines;
        points += other.points;
        drawCalls += other.drawCalls;
        instances += other.instances;
        return *this;
    }
};

} // namespace lignet::gl
