#pragma once

#include <cstddef>
#include <cstdint>

namespace lignet {

class TreeRenderer;

// Everything the mesh of one drawing of a tree depends on: the tree model and its revision
// (parameters and textures), the growth state the drawing uses and the draw settings that change
// geometry or colours. Spin angle and textures do not change the mesh (the spin is a transform,
// textures are bound at draw time); wind animates it, so a drawing with wind has no key.
// Doubles are compared by their bits, so even a non-number progress finds its mesh again.
struct TreeMeshKey {
    std::uint64_t modelId = 0;
    std::uint64_t revision = 0;
    std::uint64_t growthBits = 0;     // the progress the drawing grows with; 0 when not growing
    std::uint64_t growthStepBits = 0; // 0 when not growing
    std::int32_t levelOfDetail = 0;
    std::int32_t highlightGMin = -1;
    std::int32_t highlightGMax = -1;
    std::int32_t highlightWMin = -1;
    std::int32_t highlightWMax = -1;
    bool growing = false;
    bool wireframe = false;
    bool leavesShown = true;
    bool highQuality = false;
    bool colourByOrders = false;

    bool operator==(const TreeMeshKey &) const = default;

    // The key of the tree's next drawing, taken before that drawing advances its clocks (a
    // progress above 1 restarts at 0 first, as the drawing does).
    static TreeMeshKey forNextDrawing(const TreeRenderer &tree);
    double growthProgress() const;
};

struct TreeMeshKeyHash {
    std::size_t operator()(const TreeMeshKey &key) const;
};

// Whether the next drawing of tree can be served from a cache: not while the wind moves it, nor
// while a vertex export waits to be written during it.
bool isMeshCacheable(const TreeRenderer &tree);

} // namespace lignet
