#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ecosystem {

// A plain 8-bit RGB picture, row-major with row 0 at the top, three bytes per pixel. The core
// uses it for the height colour images it is handed and for the terrain texture it builds, so
// that it needs no image library.
class RgbImage {
public:
    RgbImage() = default;
    // A black picture; a non-positive size gives an empty picture.
    RgbImage(int width, int height);
    // Takes over bytes of width × height × 3 values; a size mismatch gives an empty picture.
    RgbImage(int width, int height, std::vector<std::uint8_t> bytes);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }
    const std::vector<std::uint8_t> &bytes() const { return bytes_; }

    // Channel 0 red, 1 green, 2 blue of pixel (x, y); the caller keeps x and y inside the picture.
    std::uint8_t channel(int x, int y, int c) const
    {
        return bytes_[offset(x, y) + static_cast<std::size_t>(c)];
    }
    void setPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);

    bool operator==(const RgbImage &) const = default;

private:
    std::size_t offset(int x, int y) const
    {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                static_cast<std::size_t>(x)) *
               3;
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

} // namespace ecosystem

#include <array>

namespace ecosystem {

// The five terrain colour pictures, from the lowest land (index 0) to the highest (index 4).
using HeightImages = std::array<RgbImage, 5>;

} // namespace ecosystem
