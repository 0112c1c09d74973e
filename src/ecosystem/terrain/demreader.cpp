#include "ecosystem/terrain/demreader.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <string>

namespace ecosystem {

namespace {

// Tracks the six extremes; the first point sets them all, so a genuine −1 in the file is an
// ordinary value rather than "unset".
class BoundsTracker {
public:
    void add(float a, float b, float h)
    {
        if (empty_) {
            bounds_ = {a, b, h, a, b, h};
            empty_ = false;
            return;
        }
        bounds_.maxX = std::max(bounds_.maxX, a);
        bounds_.maxY = std::max(bounds_.maxY, b);
        bounds_.maxZ = std::max(bounds_.maxZ, h);
        bounds_.minX = std::min(bounds_.minX, a);
        bounds_.minY = std::min(bounds_.minY, b);
        bounds_.minZ = std::min(bounds_.minZ, h);
    }
    const TerrainBounds &bounds() const { return bounds_; }

private:
    TerrainBounds bounds_;
    bool empty_ = true;
};

// Restores the caller's locale on every way out; DEM numbers always use a decimal point.
class ClassicLocale {
public:
    explicit ClassicLocale(std::istream &in) : in_(in), saved_(in.imbue(std::locale::classic())) {}
    ~ClassicLocale() { in_.imbue(saved_); }
    ClassicLocale(const ClassicLocale &) = delete;
    ClassicLocale &operator=(const ClassicLocale &) = delete;

private:
    std::istream &in_;
    std::locale saved_;
};

DemLoadResult readError(int pointsRead, std::string detail)
{
    DemLoadResult result;
    result.status = DemLoadResult::Status::ReadError;
    result.pointsRead = pointsRead;
    result.detail = std::move(detail);
    return result;
}

} // namespace

DemLoadResult DemReader::readDem(std::istream &in, DemData &out) const
{
    if (!in) {
        DemLoadResult result;
        result.status = DemLoadResult::Status::CouldNotOpen;
        result.detail = "the DEM stream is not readable";
        return result;
    }
    if (width_ <= 0 || height_ <= 0)
        return readError(0, "the terrain grid is empty");

    const ClassicLocale classic(in);
    const int total = width_ * height_;
    std::vector<math::Vector3f> grid(static_cast<std::size_t>(total));
    BoundsTracker tracker;
    for (int r = 0; r < height_; ++r) {
        for (int c = 0; c < width_; ++c) {
            const int point = c + r * width_;
            float a = 0.0f;
            float b = 0.0f;
            float h = 0.0f;
            in >> a >> b >> h;
            if (!in) {
                if (in.eof())
                    return readError(point, "the file ends after " + std::to_string(point) + " of " +
                                                std::to_string(total) + " points");
                return readError(point, "point " + std::to_string(point + 1) +
                                            " holds something that is not a finite number");
            }
            if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(h))
                return readError(point, "point " + std::to_string(point + 1) + " is not finite");
            grid[static_cast<std::size_t>(point)] =
                math::Vector3f(static_cast<float>(c) * 25.0f, h, static_cast<float>(r) * 25.0f);
            tracker.add(a, b, h);
        }
    }

    const TerrainBounds &bounds = tracker.bounds();
    const float range = bounds.maxZ - bounds.minZ;
    if (!(range <= MaxHeightRange))
        return readError(total, "the heights span more than " +
                                    std::to_string(static_cast<long long>(MaxHeightRange / 1000.0f)) + " km");
    for (auto &v : grid)
        v.y -= bounds.minZ;

    out.readerVertices = std::move(grid);
    out.bounds = bounds;
    out.heightRange = range;
    DemLoadResult result;
    result.pointsRead = total;
    return result;
}

namespace {

// One channel of a height picture at the texture's tiled position; positions wrap at each
// picture's own size so pictures of different sizes never read outside their pixels, and an
// empty picture counts as black.
int sample(const RgbImage &image, int px, int py, int channel)
{
    if (image.isEmpty())
        return 0;
    return image.channel(px % image.width(), py % image.height(), channel);
}

} // namespace

RgbImage DemReader::buildHeightTexture(const DemData &dem, const HeightImages &images) const
{
    constexpr int size = 128;
    RgbImage texture(size, size);
    if (dem.readerVertices.size() != static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_))
        return texture;
    const float range = dem.bounds.maxZ - dem.bounds.minZ;

    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            const double u = i / 128.0;
            const double v = j / 128.0;
            const int column = static_cast<int>(width_ * u);
            const int row = static_cast<int>(height_ * v);
            const float y = dem.readerVertices[static_cast<std::size_t>(column + row * width_)].y;
            // A DEM of one height has no range to divide by: it is all lowest land.
            const float q = range > 0.0f ? y / range : 0.0f;

            const double f = q * 5.0;
            const int k = std::clamp(static_cast<int>(f), 0, 4);
            const RgbImage &main = images[static_cast<std::size_t>(k)];
            const RgbImage &previous = images[static_cast<std::size_t>(std::max(k - 1, 0))];
            const RgbImage &next = images[static_cast<std::size_t>(std::min(k + 1, 4))];
            const int wi = std::max(main.width(), 1);
            const int hi = std::max(main.height(), 1);
            const int px = static_cast<int>(wi * u * 15.0) % wi;
            const int py = static_cast<int>(hi * v * 15.0) % hi;
            const double t = 2.0 * std::abs(f - std::floor(f) - 0.5);

            std::uint8_t rgb[3];
            for (int channel = 0; channel < 3; ++channel) {
                const int value = static_cast<int>(
                    sample(main, px, py, channel) * t +
                    (sample(previous, px, py, channel) + sample(next, px, py, channel)) * (1.0 - t) * 0.5);
                rgb[channel] = static_cast<std::uint8_t>(value / 2);
            }
            texture.setPixel(i, size - 1 - j, rgb[0], rgb[1], rgb[2]);
        }
    }
    return texture;
}

} // namespace ecosystem
