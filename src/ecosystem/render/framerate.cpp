#include "ecosystem/render/framerate.h"

namespace ecosystem::render {

FrameRate &FrameRate::shared()
{
    static FrameRate counter;
    return counter;
}

std::optional<double> FrameRate::countFrame()
{
    if (!clock.isValid())
        clock.start();
    milliseconds += clock.restart();
    ++frames;
    if (milliseconds <= 1000)
        return std::nullopt;
    rate = 1000.0 / static_cast<double>(milliseconds) * frames;
    milliseconds = 0;
    frames = 0;
    return rate;
}

} // namespace ecosystem::render
