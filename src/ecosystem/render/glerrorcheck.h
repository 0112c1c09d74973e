#pragma once

#include <iosfwd>

namespace ecosystem::render {

// Reports pending OpenGL errors, named, with the frame stage where they were found
// ("Camera set: GL_INVALID_ENUM"), one line each. Off unless switched on; the environment variable
// VERDALIS_CHECK_GL=1 switches it on at start.
class GlErrorCheck {
public:
    GlErrorCheck();

    bool isOn() const { return on; }
    void setOn(bool enabled) { on = enabled; }

    // Writes every pending error to `out` (standard output by default); returns how many there were.
    int check(const char *stage);
    int check(const char *stage, std::ostream &out);
    // Every error reported since start, for whoever watches a long run.
    long long reportedErrors() const { return reported; }

private:
    bool on = false;
    long long reported = 0;
};

} // namespace ecosystem::render
