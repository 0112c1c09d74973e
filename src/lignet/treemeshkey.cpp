#include "lignet/treemeshkey.h"

#include "lignet/treerenderer.h"

#include <bit>

namespace lignet {

TreeMeshKey TreeMeshKey::forNextDrawing(const TreeRenderer &tree)
{
    const TreeDrawSettings &s = tree.settings();
    TreeMeshKey key;
    key.modelId = tree.modelId();
    key.revision = tree.revision();
    key.growing = s.growing;
    if (s.growing) {
        const double progress = s.growthProgress > 1.0 ? 0.0 : s.growthProgress;
        key.growthBits = std::bit_cast<std::uint64_t>(progress);
        key.growthStepBits = std::bit_cast<std::uint64_t>(s.growthStep);
    }
    key.levelOfDetail = s.levelOfDetail;
    key.highlightGMin = s.highlightGMin;
    key.highlightGMax = s.highlightGMax;
    key.highlightWMin = s.highlightWMin;
    key.highlightWMax = s.highlightWMax;
    key.wireframe = s.wireframe;
    key.leavesShown = tree.designedParameters().displayLeaves;
    key.highQuality = s.highQuality;
    key.colourByOrders = s.colourByOrders;
    return key;
}

double TreeMeshKey::growthProgress() const
{
    return std::bit_cast<double>(growthBits);
}

std::size_t TreeMeshKeyHash::operator()(const TreeMeshKey &k) const
{
    // FNV-1a over the fields; the key is small and hashed once per plant and frame.
    std::uint64_t h = 1469598103934665603ull;
    const auto mix = [&h](std::uint64_t v) {
        for (int i = 0; i < 8; ++i) {
            h ^= (v >> (8 * i)) & 0xffu;
            h *= 1099511628211ull;
        }
    };
    mix(k.modelId);
    mix(k.revision);
    mix(k.growthBits);
    mix(k.growthStepBits);
    mix(static_cast<std::uint32_t>(k.levelOfDetail) | (std::uint64_t{k.growing} << 32) |
        (std::uint64_t{k.wireframe} << 33) | (std::uint64_t{k.leavesShown} << 34) |
        (std::uint64_t{k.highQuality} << 35) | (std::uint64_t{k.colourByOrders} << 36));
    mix(static_cast<std::uint32_t>(k.highlightGMin) |
        (std::uint64_t{static_cast<std::uint32_t>(k.highlightGMax)} << 32));
    mix(static_cast<std::uint32_t>(k.highlightWMin) |
        (std::uint64_t{static_cast<std::uint32_t>(k.highlightWMax)} << 32));
    return static_cast<std::size_t>(h);
}

bool isMeshCacheable(const TreeRenderer &tree)
{
    return !tree.settings().windOn && !tree.vertexExporter().armed();
}

} // namespace lignet
