#pragma once

#include <QElapsedTimer>

#include <optional>

namespace ecosystem::render {

// Counts drawn frames; once more than a second has gone by it gives the rate and starts over.
// One counter serves every view of the process.
class FrameRate {
public:
    static FrameRate &shared();

    // Counts one frame; returns the rate in frames per second when a second is complete.
    std::optional<double> countFrame();
    // The last rate completed, 0 before the first second.
    double lastRate() const { return rate; }

private:
    QElapsedTimer clock;
    qint64 milliseconds = 0;
    int frames = 0;
    double rate = 0.0;
};

} // namespace ecosystem::render
