#pragma once

#include <optional>
#include <string>

// Size and channel count of a picture file, read from its header only (PNG, JPEG or XPM).
struct ImageHeader {
    int width = 0;
    int height = 0;
    int channels = 0; // 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA; for XPM 4 when it has "None"
};

std::optional<ImageHeader> readImageHeader(const std::string &path);
