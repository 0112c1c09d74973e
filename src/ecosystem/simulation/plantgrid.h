#pragma once

#include "ecosystem/simulation/species.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

// The scan tests four slots at once where the processor can; the plain loop is what others run.
#if defined(__SSE2__) && !defined(VERDALIS_PLAIN_SCAN)
#define VERDALIS_GROUP_SCAN 1
#include <emmintrin.h>
#endif

namespace ecosystem {

// The living plants by place, so that the domination test looks only at the plants around one
// plant. Every plant belongs to its terrain cell (cellX, cellY); the domination window is a square
// of those cells. Inside, plants are split into a tall and a short layer and bucketed by position
// in squares sized from each layer's tallest crown, because only the few plants within crown
// reach matter and most plants are seedlings. The grid keeps a compact copy of what the test
// reads, field by field, so that the scan over a run of neighbours reads only what it compares.
//
// Plants are known by their registration number: their position in species-then-list order at
// the last rebuild. The grid is rebuilt from the species lists whenever their plants have changed
// (before each kill phase and after a load); a plant that dies is marked removed at once.
class PlantGrid {
public:
    // The registered plants in bucket order, one array per field: the scan reads the first four
    // for every candidate and the rest only for the few that come close.
    // The scan compares this many slots at once.
    static constexpr std::size_t SlotGroup = 4;

    struct Slots {
        std::vector<float> x;
        std::vector<float> z;
        std::vector<float> height;
        std::vector<float> weightedStrength; // its species' competitiveness × strength
        std::vector<float> y;
        std::vector<std::int32_t> registration;
        std::vector<std::int16_t> cellX;
        std::vector<std::int16_t> cellY;
        std::vector<std::uint8_t> doomed; // dies of age or weakness in the coming kill phase

        // All but y, cellX and cellY hold SlotGroup − 1 more, as padding.
        std::size_t count = 0;

        std::size_t size() const { return count; }
    };

    PlantGrid() = default;
    PlantGrid(int width, int height) { allocate(width, height); }

    // An empty grid of width × height terrain cells.
    void allocate(int width, int height);
    // Registers every plant of every species (species in index order, plants in list order),
    // replacing what was registered. Plants whose cell lies outside the grid are left out; the
    // simulation never creates or loads such plants.
    void rebuild(const std::vector<Species> &species);

    // The same rebuild for a caller that passes over every plant anyway: stage(p) for every plant
    // of every species in that order, each as it is to be registered, between beginRebuild and
    // finishRebuild, and the plant records are read once instead of twice. Nothing may use the grid
    // in between.
    class Staging; // plantgridstaging.h
    Staging beginRebuild(const std::vector<Species> &species);
    void finishRebuild(const Staging &staging);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Registration number of the plant at position plantIndex of the species' list at the last
    // rebuild, or -1 when it was not registered.
    std::int32_t entryOf(int species, std::size_t plantIndex) const { return entriesOf(species)[plantIndex]; }
    // The registration numbers of one species' plants at the last rebuild, by list position: what
    // entryOf gives, for a caller that walks the whole list, with the species looked up once.
    class SpeciesEntries {
    public:
        SpeciesEntries() = default;
        std::int32_t operator[](std::size_t plantIndex) const
        {
            return plantIndex < count_ && rows_[plantIndex] >= 0
                       ? first_ + static_cast<std::int32_t>(plantIndex)
                       : -1;
        }

    private:
        friend class PlantGrid;
        const std::int32_t *rows_ = nullptr;
        std::size_t count_ = 0;
        std::int32_t first_ = 0;
    };
    SpeciesEntries entriesOf(int species) const
    {
        SpeciesEntries entries;
        if (species < 0 || static_cast<std::size_t>(species) + 1 >= speciesOffset_.size())
            return entries;
        const auto s = static_cast<std::size_t>(species);
        entries.first_ = speciesOffset_[s];
        entries.rows_ = rowOf_.data() + speciesOffset_[s];
        entries.count_ = static_cast<std::size_t>(speciesOffset_[s + 1] - speciesOffset_[s]);
        return entries;
    }
    // Takes a dead plant out.
    void remove(std::int32_t registration)
    {
        const auto r = static_cast<std::size_t>(registration);
        if (registration < 0 || r >= rowOf_.size() || rowOf_[r] < 0 || isRemoved(registration))
            return;
        removed_[r / 64] |= std::uint64_t{1} << (r % 64);
        --living_;
    }
    // Whether the plant died since the rebuild; registration lies below registrations().
    bool isRemoved(std::int32_t registration) const
    {
        const auto r = static_cast<std::size_t>(registration);
        return (removed_[r / 64] >> (r % 64)) & 1u;
    }

    // Changes with every rebuild, so that work derived from one rebuild can tell it is still current.
    std::uint64_t generation() const { return generation_; }

    // Largest grid side the compact entries can address.
    static constexpr int MaxSide = 32767;

    // The two layers: plants taller than a quarter of the tallest, and the others.
    static constexpr std::size_t Tall = 0;
    static constexpr std::size_t Short = 1;

    // Calls visit(slot) for the slots of every bucket that may hold a plant of weighted strength
    // atLeast or more whose crown overlaps that of a plant of the given height at (x, z), leaving
    // out plants that are weaker or clearly too far apart, until visit returns true; returns
    // whether it did. Removed plants are visited too. Plants placed outside the terrain sit in the
    // border buckets, so none is missed.
    template <typename Visit> bool anyNear(float x, float z, float height, float atLeast, Visit &&visit) const
    {
        return anyNearIn(Tall, x, z, height, atLeast, visit) ||
               anyNearIn(Short, x, z, height, atLeast, visit);
    }

    // The same within one layer.
    template <typename Visit>
    bool anyNearIn(std::size_t layerIndex, float x, float z, float height, float atLeast, Visit &&visit) const
    {
        return anyNearIn(layerIndex, x, z, height, atLeast, allOfGroup, visit);
    }
    // The same, leaving out the slots of each group of SlotGroup starting at slot i whose bit
    // keep(i) clears (bit k for slot i + k). The plain loop does not call keep, so visit must
    // still test what keep tests.
    template <typename Keep, typename Visit>
    bool anyNearIn(std::size_t layerIndex, float x, float z, float height, float atLeast, Keep &&keep,
                   Visit &&visit) const
    {
        const Layer &layer = layers_[layerIndex];
        if (layer.empty)
            return false;
        const Near near{x, z, height, atLeast};
        const Box box = boxAround(layer, x, z, height);
        // The buckets of a row follow each other, so a row is one run of slots; the strength test
        // runs with the distance test.
        for (std::ptrdiff_t r = box.r0, row = box.firstRow; r <= box.r1; ++r, row += layer.bucketsX)
            if (visitRun<true>(bucketStart_[static_cast<std::size_t>(row + box.c0)],
                               bucketStart_[static_cast<std::size_t>(row + box.c1 + 1)], near, keep, visit))
                return true;
        return false;
    }

    // Every plant of the layer not clearly too far apart from a plant of the given height at
    // (x, z), whatever its strength.
    template <typename Visit>
    bool anyCloseIn(std::size_t layerIndex, float x, float z, float height, Visit &&visit) const
    {
        return anyCloseIn(layerIndex, x, z, height, allOfGroup, visit);
    }
    // The same, with keep as for anyNearIn.
    template <typename Keep, typename Visit>
    bool anyCloseIn(std::size_t layerIndex, float x, float z, float height, Keep &&keep, Visit &&visit) const
    {
        const Layer &layer = layers_[layerIndex];
        if (layer.empty)
            return false;
        const Near near{x, z, height, 0.0f};
        const Box box = boxAround(layer, x, z, height);
        // The buckets of a row follow each other, so a row is one run of slots.
        for (std::ptrdiff_t r = box.r0, row = box.firstRow; r <= box.r1; ++r, row += layer.bucketsX)
            if (visitRun<false>(bucketStart_[static_cast<std::size_t>(row + box.c0)],
                                bucketStart_[static_cast<std::size_t>(row + box.c1 + 1)], near, keep, visit))
                return true;
        return false;
    }

    // The entries of one layer in bucket order, as a range of entries().
    std::size_t layerBegin(std::size_t layerIndex) const
    {
        return static_cast<std::size_t>(
            bucketStart_[static_cast<std::size_t>(layers_[layerIndex].firstBucket)]);
    }
    std::size_t layerEnd(std::size_t layerIndex) const
    {
        return layerIndex + 1 < LayerCount ? layerBegin(layerIndex + 1) : slots_.size();
    }

    // The registered plants in bucket order: neighbours in the arrays are neighbours on the terrain.
    const Slots &placed() const { return slots_; }
    // The tallest registered plant at the last rebuild: no crown reaches further than twice this.
    float largestHeight() const { return largestHeight_; }
    // Registered plants at the last rebuild, removed ones included: registration numbers lie below.
    std::size_t registrations() const { return rowOf_.size(); }
    // Ids of the living plants registered in terrain cell (x, y), in registration order.
    std::vector<std::uint32_t> idsInCell(int x, int y) const;
    // Number of living registered plants.
    std::size_t size() const { return living_; }

private:
    // The buckets of a layer that may hold a crown overlapping that of a plant of the given height
    // at (x, z): columns c0 … c1 of rows r0 … r1, the first row starting at bucket firstRow.
    struct Box {
        int c0, c1, r0, r1;
        std::ptrdiff_t firstRow;
    };
    struct Layer;
    Box boxAround(const Layer &layer, float x, float z, float height) const
    {
        // No crown of the layer overlaps from further away than the plant's height plus the
        // layer's tallest; the margin keeps rounding from losing a touching candidate.
        const float radius = (height + layer.tallest) * 1.001f + 0.01f;
        const int r0 = layer.bucketZ(z - radius);
        return {layer.bucketX(x - radius), layer.bucketX(x + radius), r0, layer.bucketZ(z + radius),
                layer.firstBucket + static_cast<std::ptrdiff_t>(r0) * layer.bucketsX};
    }

    // Keeps every slot of a group.
    static unsigned allOfGroup(std::size_t) { return (1u << SlotGroup) - 1u; }
    // What a run of slots is compared with: a plant of the given height at (x, z), and the
    // weighted strength a candidate needs.
    struct Near {
        float x, z, height, atLeast;
    };
    // Calls visit for the slots begin … end − 1 that pass the cheap tests and keep, until it
    // returns true.
    // The horizontal test rejects most candidates: when the crowns overlap, the horizontal
    // distance lies below the sum of the heights, and single-precision rounding cannot move the
    // two sides across the margin. The tests run on four slots at once where the processor can.
    template <bool WithStrength, typename Keep, typename Visit>
    bool visitRun(std::int32_t begin, std::int32_t end, const Near &near, Keep &keep, Visit &visit) const
    {
        const float *xs = slots_.x.data();
        const float *zs = slots_.z.data();
        const float *heights = slots_.height.data();
        const float *strengths = slots_.weightedStrength.data();
        auto i = static_cast<std::size_t>(begin);
        const auto last = static_cast<std::size_t>(end);
#ifdef VERDALIS_GROUP_SCAN
        // The arrays carry padding, so the last group of a run may read past it.
        const __m128 nearX = _mm_set1_ps(near.x);
        const __m128 nearZ = _mm_set1_ps(near.z);
        const __m128 nearHeight = _mm_set1_ps(near.height);
        const __m128 atLeast = _mm_set1_ps(near.atLeast);
        const __m128 margin = _mm_set1_ps(1.00001f);
        const __m128 tiny = _mm_set1_ps(1e-30f);
        for (; i < last; i += SlotGroup) {
            const __m128 dx = _mm_sub_ps(_mm_loadu_ps(xs + i), nearX);
            const __m128 dz = _mm_sub_ps(_mm_loadu_ps(zs + i), nearZ);
            const __m128 reach = _mm_add_ps(nearHeight, _mm_loadu_ps(heights + i));
            const __m128 squared = _mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dz, dz));
            const __m128 limit = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(reach, reach), margin), tiny);
            __m128 candidate = _mm_cmpngt_ps(squared, limit);
            if constexpr (WithStrength)
                candidate = _mm_and_ps(candidate, _mm_cmpge_ps(_mm_loadu_ps(strengths + i), atLeast));
            const std::size_t inRun = std::min(last - i, SlotGroup);
            auto mask = static_cast<unsigned>(_mm_movemask_ps(candidate)) & ((1u << inRun) - 1u);
            mask &= keep(i);
            for (; mask != 0; mask &= mask - 1)
                if (visit(i + static_cast<std::size_t>(std::countr_zero(mask))))
                    return true;
        }
#else
        (void)keep;
        for (; i < last; ++i) {
            const float dx = xs[i] - near.x;
            const float dz = zs[i] - near.z;
            const float reach = near.height + heights[i];
            bool candidate = !(dx * dx + dz * dz > reach * reach * 1.00001f + 1e-30f);
            if constexpr (WithStrength)
                candidate &= strengths[i] >= near.atLeast;
            if (candidate && visit(i))
                return true;
        }
#endif
        return false;
    }

    // Plants of one height class, bucketed in squares sized from the class's tallest crown: the
    // many seedlings reach only their close neighbours, the few tall plants further.
    struct Layer {
        float tallest = 0.0f; // no plant of the layer is taller
        bool empty = true;
        float inverseSide = 1.0f;
        float originX = 0.0f;
        float originZ = 0.0f;
        int bucketsX = 1;
        int bucketsZ = 1;
        float lastX = 0.0f; // bucketsX − 1 and bucketsZ − 1, exact in single precision
        float lastZ = 0.0f;
        std::ptrdiff_t firstBucket = 0; // index of its first bucket in bucketStart_

        int bucketX(float x) const { return bucketIndex(x, originX, lastX); }
        int bucketZ(float z) const { return bucketIndex(z, originZ, lastZ); }
        // Monotonic in the coordinate (rounding never reverses an order), which is all the scan
        // needs; truncation is the floor here because negative values were clamped first.
        int bucketIndex(float coordinate, float origin, float last) const
        {
            const float f = (coordinate - origin) * inverseSide;
            if (!(f >= 0.0f))
                return 0;
            return static_cast<int>(f >= last ? last : f);
        }
    };
    // Whether a plant of the layer falls in the same row of buckets in both.
    static bool sameRows(const Layer &a, const Layer &b)
    {
        return a.inverseSide == b.inverseSide && a.originZ == b.originZ && a.bucketsZ == b.bucketsZ &&
               a.lastZ == b.lastZ;
    }
    static constexpr std::size_t LayerCount = 2;
    // Where the registered plants lie, and how many there are.
    struct Extent {
        float minX = 0.0f, maxX = 0.0f, minZ = 0.0f, maxZ = 0.0f;
        bool any = false;
        std::size_t count = 0;
    };

    // One plant as staged by a rebuild, before it goes to its slot.
    struct Entry {
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        float height = 0.0f;
        float weightedStrength = 0.0f;
        std::int32_t registration = 0;
        std::int16_t cellX = 0;
        std::int16_t cellY = 0;
        bool doomed = false;
    };

    // The row of buckets, counting the tall layer's rows first, of a plant of the given height at
    // depth z, with the given layers.
    static int rowOf(const Layer &tall, const Layer &low, float height, float z)
    {
        return height > low.tallest ? tall.bucketZ(z) : tall.bucketsZ + low.bucketZ(z);
    }
    void chooseBuckets(const Extent &extent);
    void resizeSlots(std::size_t count);

    int width_ = 0;
    int height_ = 0;
    Layer layers_[LayerCount];              // tall, then short
    std::vector<std::int32_t> bucketStart_; // per layer bucketsX × bucketsZ offsets, then the end
    Slots slots_;                           // by layer and bucket, row by row
    // Working lists of a rebuild, kept to avoid reallocation.
    std::vector<Entry> staged_;               // the entries in registration order
    std::vector<Entry> byRow_;                // the entries by row of buckets
    std::vector<std::int32_t> rowStart_;      // first entry of each row (both layers), then the end
    std::vector<std::int32_t> rowFill_;       // next free place in each row
    std::vector<int> columnOf_;               // bucket column of each entry of one row
    std::vector<std::int32_t> speciesOffset_; // first registration number per species, then the end
    std::vector<std::int32_t> rowOf_;         // per registration: its row of buckets, -1 when left out
    std::vector<std::uint32_t> ids_;          // plant id per registration
    std::vector<std::uint64_t> removed_;      // one bit per registration
    float largestHeight_ = 0.0f;
    std::size_t living_ = 0;
    std::uint64_t generation_ = 0;
};

} // namespace ecosystem
