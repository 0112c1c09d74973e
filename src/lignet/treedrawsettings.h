#pragma once

#include <cstdint>

namespace lignet {

// View and animation state of one tree. The drawing advances the three clocks (growth progress,
// spin angle, wind time) by fixed amounts per drawing, not by elapsed time.
struct TreeDrawSettings {
    double growthProgress = 0.0;     // growth animation progress P, 0..1
    double growthStep = 0.001;       // added to P at every drawing while growing
    double windTime = 0.0;           // wind clock, radians; advanced by 2 pi / 100 per drawing
    bool colourByOrders = false;     // colour every (g, w) level
    bool wireframe = false;          // branches and leaves as lines
    bool highQuality = false;        // more cylinder slices at level of detail 0
    bool backgroundSky = true;       // sky-coloured background in tree edit mode, else white
    bool windOn = false;             // wind sway animation
    bool growing = false;            // growth animation
    bool spinning = false;           // orbit animation
    double spinAngle = 0.0;          // rotation of the tree about the vertical axis, degrees
    std::int32_t highlightGMin = -1; // order ranges highlighted by the distribution designer
    std::int32_t highlightGMax = -1;
    std::int32_t highlightWMin = -1;
    std::int32_t highlightWMax = -1;
    std::int32_t levelOfDetail = 0; // 0 in tree edit mode; set per plant in ecosystem mode
};

} // namespace lignet
