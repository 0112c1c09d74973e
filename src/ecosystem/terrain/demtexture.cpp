// The terrain colour texture a DEM reader paints from the heights it read.

#include "ecosystem/terrain/demreader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace ecosystem {

namespace {

// The pixel of a height picture at the texture's tiled position; positions wrap at each picture's
// own size so pictures of different sizes never read outside their pixels, and an empty picture
// counts as black.
const std::uint8_t *tiledPixel(const RgbImage &image, int px, int py)
{
    static constexpr std::uint8_t black[3] = {0, 0, 0};
    if (image.isEmpty())
        return black;
    const auto x = static_cast<std::size_t>(px % image.width());
    const auto y = static_cast<std::size_t>(py % image.height());
    return image.bytes().data() + (y * static_cast<std::size_t>(image.width()) + x) * 3;
}

} // namespace

RgbImage DemReader::buildHeightTexture(const DemData &dem, const HeightImages &images) const
{
    constexpr int size = 128;
    RgbImage texture(size, size);
    if (dem.readerVertices.size() != static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_))
        return texture;
    const float range = dem.bounds.maxZ - dem.bounds.minZ;

    // Which band each vertex falls in and how far from its middle (1 at a border, 0 in the
    // middle); every pixel over the vertex uses the same.
    struct Band {
        int k;
        double t;
    };
    std::vector<Band> bands;
    bands.reserve(dem.readerVertices.size());
    for (const auto &vertex : dem.readerVertices) {
        // A DEM of one height has no range to divide by: it is all lowest land.
        const float q = range > 0.0f ? vertex.y / range : 0.0f;
        const double f = q * 5.0;
        bands.push_back({std::clamp(static_cast<int>(f), 0, 4), 2.0 * std::abs(f - std::floor(f) - 0.5)});
    }

    // The vertex column and row under each texture column and row, and each band picture's tiled
    // position there.
    std::array<int, size> columns{};
    std::array<int, size> rows{};
    std::array<std::array<int, size>, 5> tileX{};
    std::array<std::array<int, size>, 5> tileY{};
    for (int i = 0; i < size; ++i) {
        const double u = i / 128.0;
        const auto at = static_cast<std::size_t>(i);
        columns[at] = static_cast<int>(width_ * u);
        rows[at] = static_cast<int>(height_ * u);
        for (std::size_t k = 0; k < 5; ++k) {
            const int wi = std::max(images[k].width(), 1);
            const int hi = std::max(images[k].height(), 1);
            tileX[k][at] = static_cast<int>(wi * u * 15.0) % wi;
            tileY[k][at] = static_cast<int>(hi * u * 15.0) % hi;
        }
    }

    for (std::size_t j = 0; j < size; ++j) {
        for (std::size_t i = 0; i < size; ++i) {
            const Band &band = bands[static_cast<std::size_t>(columns[i] + rows[j] * width_)];
            const auto k = static_cast<std::size_t>(band.k);
            const int px = tileX[k][i];
            const int py = tileY[k][j];
            const std::uint8_t *own = tiledPixel(images[k], px, py);
            const std::uint8_t *below = tiledPixel(images[k > 0 ? k - 1 : 0], px, py);
            const std::uint8_t *above = tiledPixel(images[std::min<std::size_t>(k + 1, 4)], px, py);
            const double t = band.t;
            std::uint8_t rgb[3];
            for (int channel = 0; channel < 3; ++channel) {
                const int value =
                    static_cast<int>(own[channel] * t + (below[channel] + above[channel]) * (1.0 - t) * 0.5);
                rgb[channel] = static_cast<std::uint8_t>(value / 2);
            }
            texture.setPixel(static_cast<int>(i), size - 1 - static_cast<int>(j), rgb[0], rgb[1], rgb[2]);
        }
    }
    return texture;
}

} // namespace ecosystem
