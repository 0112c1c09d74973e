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
    // Filled as points arrive, so a short or damaged file costs only what it holds.
    std::vector<math::Vector3f> grid;
    grid.reserve(static_cast<std::size_t>(total));
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
            grid.emplace_back(static_cast<float>(c) * 25.0f, h, static_cast<float>(r) * 25.0f);
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

} // namespace ecosystem
