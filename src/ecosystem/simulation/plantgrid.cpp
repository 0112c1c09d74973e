#include "ecosystem/simulation/plantgrid.h"
#include "ecosystem/simulation/plantgridstaging.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace ecosystem {

namespace {

// Bucket side as a multiple of a layer's tallest crown radius, tall layer then short layer. A
// query reaches up to the plant's own height plus the layer's tallest; smaller buckets waste less
// of the area they cover but cost more rows per query.
constexpr double BucketSideToTallest[] = {1.5, 2.0};

// Plants taller than this share of the tallest go to the tall layer.
constexpr float TallShare = 0.25f;

// Buckets per registered plant at most: a terrain of seedlings spread thin (tiny crowns, huge
// area) would otherwise need millions of empty buckets.
constexpr double MaxBucketsPerPlant = 4.0;
constexpr double MinBucketCap = 1024.0;
// Bucket indices stay exact in single precision.
constexpr double MaxBucketIndex = 1 << 24;

} // namespace

void PlantGrid::allocate(int width, int height)
{
    width_ = std::clamp(width, 0, MaxSide);
    height_ = std::clamp(height, 0, MaxSide);
    for (Layer &layer : layers_)
        layer = Layer{};
    bucketStart_.assign(1, 0);
    resizeSlots(0);
    speciesOffset_.assign(1, 0);
    rowOf_.clear();
    ids_.clear();
    removed_.clear();
    largestHeight_ = 0.0f;
    living_ = 0;
    ++generation_;
}

PlantGrid::Staging PlantGrid::beginRebuild(const std::vector<Species> &species)
{
    speciesOffset_.clear();
    std::size_t total = 0;
    for (const Species &s : species) {
        speciesOffset_.push_back(static_cast<std::int32_t>(total));
        total += s.plants.size();
    }
    speciesOffset_.push_back(static_cast<std::int32_t>(total));
    staged_.resize(total);
    rowOf_.resize(total);
    ids_.resize(total);
    rowStart_.assign(static_cast<std::size_t>(layers_[Tall].bucketsZ + layers_[Short].bucketsZ) + 1, 0);
    return Staging(*this, species);
}

void PlantGrid::chooseBuckets(const Extent &extent)
{
    layers_[Tall].tallest = largestHeight_;
    layers_[Short].tallest = TallShare * largestHeight_;
    const double spanX = static_cast<double>(extent.maxX) - extent.minX;
    const double spanZ = static_cast<double>(extent.maxZ) - extent.minZ;
    const double cap = std::max(MaxBucketsPerPlant * static_cast<double>(extent.count), MinBucketCap);
    // No side below this keeps the bucket count within a small multiple of the cap.
    const double smallest = std::max(std::sqrt(spanX * spanZ / cap), std::max(spanX, spanZ) / cap);
    std::ptrdiff_t firstBucket = 0;
    for (std::size_t l = 0; l < LayerCount; ++l) {
        Layer &layer = layers_[l];
        layer.originX = extent.minX;
        layer.originZ = extent.minZ;
        double side = BucketSideToTallest[l] * static_cast<double>(layer.tallest);
        if (!(side >= smallest))
            side = smallest;
        if (!(side > 0.0) || !std::isfinite(side))
            side = 1.0;
        layer.inverseSide = static_cast<float>(1.0 / side);
        layer.bucketsX = static_cast<int>(std::min(std::floor(spanX / side), MaxBucketIndex)) + 1;
        layer.bucketsZ = static_cast<int>(std::min(std::floor(spanZ / side), MaxBucketIndex)) + 1;
        layer.lastX = static_cast<float>(layer.bucketsX - 1);
        layer.lastZ = static_cast<float>(layer.bucketsZ - 1);
        layer.firstBucket = firstBucket;
        firstBucket += static_cast<std::ptrdiff_t>(layer.bucketsX) * layer.bucketsZ;
    }
}

void PlantGrid::rebuild(const std::vector<Species> &species)
{
    Staging staging = beginRebuild(species);
    for (const Species &s : species)
        for (const Plant &p : s.plants)
            staging.stage(p);
    finishRebuild(staging);
}

void PlantGrid::finishRebuild(const Staging &staging)
{
    ++generation_;
    // The layers the rows were staged with.
    const Layer previous[LayerCount] = {staging.tall_, staging.low_};
    largestHeight_ = staging.largest_;
    chooseBuckets(staging.found_);

    const Layer &last = layers_[LayerCount - 1];
    const auto bucketCount =
        static_cast<std::size_t>(last.firstBucket) +
        static_cast<std::size_t>(last.bucketsX) * static_cast<std::size_t>(last.bucketsZ);
    const auto rowCount = static_cast<std::size_t>(layers_[Tall].bucketsZ + layers_[Short].bucketsZ);
    const std::size_t total = staged_.size();
    removed_.assign((total + 63) / 64, 0);

    // Sorting the entries into bucket order moves each one far, so it goes in two steps that keep
    // the writes close together: first into rows (a few hundred write positions moving forward),
    // then within each row by column. The rows staged with the last rebuild's buckets are counted
    // again only when the buckets changed.
    if (!sameRows(previous[Tall], layers_[Tall]) || !sameRows(previous[Short], layers_[Short]) ||
        previous[Short].tallest != layers_[Short].tallest) {
        rowStart_.assign(rowCount + 1, 0);
        for (std::size_t r = 0; r < total; ++r) {
            if (rowOf_[r] < 0)
                continue;
            const Entry &e = staged_[r];
            const int row = rowOf(layers_[Tall], layers_[Short], e.height, e.z);
            rowOf_[r] = row;
            ++rowStart_[static_cast<std::size_t>(row) + 1];
        }
    }
    for (std::size_t row = 0; row < rowCount; ++row)
        rowStart_[row + 1] += rowStart_[row];
    const auto registered = static_cast<std::size_t>(rowStart_[rowCount]);
    byRow_.resize(registered);
    resizeSlots(registered);
    rowFill_.assign(rowStart_.begin(), rowStart_.end() - 1);
    {
        // Plain pointers again: a whole-entry copy may alias the vectors' own pointers.
        const Entry *const from = staged_.data();
        const std::int32_t *const rows = rowOf_.data();
        Entry *const to = byRow_.data();
        std::int32_t *const fill = rowFill_.data();
        for (std::size_t r = 0; r < total; ++r) {
            const std::int32_t row = rows[r];
            if (row >= 0)
                to[static_cast<std::size_t>(fill[static_cast<std::size_t>(row)]++)] = from[r];
        }
    }

    // Into the slots; written here, in line, since this runs for every plant. The arrays are held
    // by plain pointers: a byte store may alias anything, so the compiler would otherwise fetch
    // every vector's data pointer again after writing doomed.
    float *const toX = slots_.x.data();
    float *const toZ = slots_.z.data();
    float *const toHeight = slots_.height.data();
    float *const toStrength = slots_.weightedStrength.data();
    float *const toY = slots_.y.data();
    std::int32_t *const toRegistration = slots_.registration.data();
    std::int16_t *const toCellX = slots_.cellX.data();
    std::int16_t *const toCellY = slots_.cellY.data();
    std::uint8_t *const toDoomed = slots_.doomed.data();
    const auto place = [=](std::size_t slot, const Entry &e) {
        toX[slot] = e.x;
        toZ[slot] = e.z;
        toHeight[slot] = e.height;
        toStrength[slot] = e.weightedStrength;
        toY[slot] = e.y;
        toRegistration[slot] = e.registration;
        toCellX[slot] = e.cellX;
        toCellY[slot] = e.cellY;
        toDoomed[slot] = e.doomed ? 1 : 0;
    };
    bucketStart_.resize(bucketCount + 1);
    std::int32_t longestRow = 0;
    for (std::size_t row = 0; row < rowCount; ++row)
        longestRow = std::max(longestRow, rowStart_[row + 1] - rowStart_[row]);
    columnOf_.resize(static_cast<std::size_t>(longestRow));
    int *const column = columnOf_.data();
    for (std::size_t l = 0, row = 0; l < LayerCount; ++l) {
        const Layer layer = layers_[l]; // a copy, for the same reason
        const auto columns = static_cast<std::size_t>(layer.bucketsX);
        for (int z = 0; z < layer.bucketsZ; ++z, ++row) {
            const std::size_t base =
                static_cast<std::size_t>(layer.firstBucket) + static_cast<std::size_t>(z) * columns;
            std::int32_t *start = bucketStart_.data() + base;
            std::fill(start, start + columns, 0);
            const Entry *first = byRow_.data() + rowStart_[row];
            const auto count = static_cast<std::size_t>(rowStart_[row + 1] - rowStart_[row]);
            for (std::size_t k = 0; k < count; ++k) {
                const int c = layer.bucketX(first[k].x);
                column[k] = c;
                ++start[c];
            }
            // Each bucket's end first; placing the row backwards moves every end back to its
            // bucket's start, keeps the entries' order and needs no second array of the row.
            std::int32_t running = rowStart_[row];
            for (std::size_t c = 0; c < columns; ++c)
                start[c] = running += start[c];
            for (std::size_t k = count; k-- > 0;)
                place(static_cast<std::size_t>(--start[column[k]]), first[k]);
        }
    }
    bucketStart_[bucketCount] = static_cast<std::int32_t>(registered);
    for (std::size_t l = 0; l < LayerCount; ++l) {
        const Layer &layer = layers_[l];
        const auto first = static_cast<std::size_t>(layer.firstBucket);
        const std::size_t end =
            l + 1 < LayerCount ? static_cast<std::size_t>(layers_[l + 1].firstBucket) : bucketCount;
        layers_[l].empty = bucketStart_[first] == bucketStart_[end];
    }
    living_ = registered;
}

void PlantGrid::resizeSlots(std::size_t count)
{
    slots_.count = count;
    const std::size_t padded = count + SlotGroup - 1;
    slots_.x.resize(padded);
    slots_.z.resize(padded);
    slots_.height.resize(padded);
    slots_.weightedStrength.resize(padded);
    slots_.y.resize(count);
    slots_.registration.resize(padded);
    slots_.cellX.resize(count);
    slots_.cellY.resize(count);
    slots_.doomed.resize(padded);
}

std::vector<std::uint32_t> PlantGrid::idsInCell(int x, int y) const
{
    std::vector<std::pair<std::int32_t, std::uint32_t>> found;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const std::int32_t registration = slots_.registration[i];
        if (slots_.cellX[i] == x && slots_.cellY[i] == y && !isRemoved(registration))
            found.emplace_back(registration, ids_[static_cast<std::size_t>(registration)]);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::uint32_t> ids;
    ids.reserve(found.size());
    for (const auto &f : found)
        ids.push_back(f.second);
    return ids;
}

} // namespace ecosystem
