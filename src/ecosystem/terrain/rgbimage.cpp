#include "ecosystem/terrain/rgbimage.h"

#include <utility>

namespace ecosystem {

RgbImage::RgbImage(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    width_ = width;
    height_ = height;
    bytes_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
}

RgbImage::RgbImage(int width, int height, std::vector<std::uint8_t> bytes)
{
    if (width <= 0 || height <= 0 ||
        bytes.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        return;
    width_ = width;
    height_ = height;
    bytes_ = std::move(bytes);
}

void RgbImage::setPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const std::size_t o = offset(x, y);
    bytes_[o] = r;
    bytes_[o + 1] = g;
    bytes_[o + 2] = b;
}

} // namespace ecosystem
