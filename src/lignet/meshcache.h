#pragma once

#include "lignet/treemeshkey.h"
#include "lignet/treerenderer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>

namespace lignet {

// Counters of a mesh cache since its creation (or the last resetCounters).
struct MeshCacheStats {
    std::size_t bytes = 0; // held by the cached meshes
    std::size_t entries = 0;
    std::uint64_t hits = 0;
    std::uint64_t misses = 0;
    std::uint64_t evictions = 0; // meshes dropped to stay within the bound
    std::uint64_t refused = 0;   // built meshes not kept: the frame's own meshes fill the bound
};

// Meshes of tree drawings by TreeMeshKey, least recently used out first once their bytes exceed
// the bound. Mesh is any type with `std::size_t byteSize() const`: the CPU TreeMesh
// (TreeMeshCache) or uploaded buffers (the OpenGL layer's cache). Meshes are handed out as shared
// pointers, so a mesh in use outlives its eviction until its last user lets go.
//
// A user drawing frames calls beginFrame(): meshes used in the current or the previous frame are
// then never evicted for a mesh of the current frame, and a mesh that does not fit beside them is
// not kept. A frame needing more than the bound so keeps what fits and rebuilds only the rest
// when drawn again, where plain least-recently-used order would evict every mesh just before its
// next use; meshes a moving camera no longer needs make room one frame later.
//
// Stale meshes are never served: a key holds the tree's revision, and the first request with a
// new revision of a tree drops every mesh of that tree's older revisions.
template <class Mesh> class MeshCache {
public:
    // 256 MiB: the forest of a long simulation draws from a few thousand meshes of a few hundred
    // kilobytes each, and a laptop with 4 GiB keeps the bound with room to spare.
    static constexpr std::size_t DefaultByteLimit = std::size_t{256} << 20;

    // Draws the tree once and returns its mesh (which may be empty, never null).
    using Builder = std::function<std::shared_ptr<const Mesh>(TreeRenderer &)>;

    explicit MeshCache(std::size_t byteLimit = DefaultByteLimit) : m_limit(byteLimit) {}
    MeshCache(const MeshCache &) = delete;
    MeshCache &operator=(const MeshCache &) = delete;

    // The mesh of the tree's next drawing; it counts as that drawing. On a hit the tree's clocks
    // advance as a drawing would (TreeRenderer::advanceClocks); otherwise build draws the tree and
    // its mesh is kept when `store` is set, the drawing is cacheable (no wind, no export pending)
    // and the mesh fits the bound. Animated drawings pass store = false: they are rebuilt every
    // time without pushing still meshes out.
    std::shared_ptr<const Mesh> acquire(TreeRenderer &tree, const Builder &build, bool store = true)
    {
        if (!isMeshCacheable(tree))
            return build(tree);
        const TreeMeshKey key = TreeMeshKey::forNextDrawing(tree);
        dropOlderRevisions(key);
        if (auto found = find(key)) {
            tree.advanceClocks();
            return found;
        }
        std::shared_ptr<const Mesh> mesh = build(tree);
        if (store)
            insert(key, mesh);
        return mesh;
    }

    // The cached mesh of key, or null; a hit makes it the most recently used.
    std::shared_ptr<const Mesh> find(const TreeMeshKey &key)
    {
        const auto it = m_index.find(key);
        if (it == m_index.end()) {
            ++m_stats.misses;
            return nullptr;
        }
        ++m_stats.hits;
        it->second->frame = m_frame;
        m_order.splice(m_order.begin(), m_order, it->second);
        return it->second->mesh;
    }

    bool contains(const TreeMeshKey &key) const { return m_index.count(key) != 0; }

    // Starts a frame: the meshes it finds or keeps stay until the frame after the next begins.
    void beginFrame() { ++m_frame; }

    // Keeps mesh under key (replacing an older one) unless it alone exceeds the bound, then
    // evicts least recently used meshes until the bound holds.
    void insert(const TreeMeshKey &key, std::shared_ptr<const Mesh> mesh)
    {
        erase(key);
        const std::size_t bytes = mesh ? mesh->byteSize() : 0;
        if (!mesh || bytes > m_limit)
            return;
        m_order.push_front(Entry{key, std::move(mesh), bytes, m_frame});
        m_index.emplace(key, m_order.begin());
        m_stats.bytes += bytes;
        m_stats.entries = m_order.size();
        evictToLimit(true);
        if (m_stats.bytes > m_limit) {
            remove(m_order.begin());
            ++m_stats.refused;
        }
    }

    void erase(const TreeMeshKey &key)
    {
        const auto it = m_index.find(key);
        if (it != m_index.end())
            remove(it->second);
    }

    void clear()
    {
        m_order.clear();
        m_index.clear();
        m_revisions.clear();
        m_stats.bytes = 0;
        m_stats.entries = 0;
    }

    std::size_t byteLimit() const { return m_limit; }
    void setByteLimit(std::size_t bytes)
    {
        m_limit = bytes;
        evictToLimit(false);
    }

    const MeshCacheStats &stats() const { return m_stats; }
    void resetCounters()
    {
        m_stats.hits = 0;
        m_stats.misses = 0;
        m_stats.evictions = 0;
        m_stats.refused = 0;
    }

private:
    struct Entry {
        TreeMeshKey key;
        std::shared_ptr<const Mesh> mesh;
        std::size_t bytes = 0;
        std::uint64_t frame = 0; // the frame that used it last (0: no frames counted)
    };
    using Order = std::list<Entry>;

    void remove(typename Order::iterator it)
    {
        m_stats.bytes -= it->bytes;
        m_index.erase(it->key);
        m_order.erase(it);
        m_stats.entries = m_order.size();
    }

    template <class Predicate> void removeIf(Predicate predicate)
    {
        for (auto it = m_order.begin(); it != m_order.end();) {
            const auto next = std::next(it);
            if (predicate(it->key))
                remove(it);
            it = next;
        }
    }

    // Least recently used first; with keepFrames, the meshes of this and the previous frame stay.
    void evictToLimit(bool keepFrames)
    {
        while (m_stats.bytes > m_limit && !m_order.empty()) {
            const auto last = std::prev(m_order.end());
            if (keepFrames && m_frame != 0 && last->frame + 1 >= m_frame)
                return;
            remove(last);
            ++m_stats.evictions;
        }
    }

    void dropOlderRevisions(const TreeMeshKey &key)
    {
        auto [it, added] = m_revisions.try_emplace(key.modelId, key.revision);
        if (added || it->second == key.revision)
            return;
        it->second = key.revision;
        removeIf(
            [&key](const TreeMeshKey &k) { return k.modelId == key.modelId && k.revision != key.revision; });
    }

    std::size_t m_limit;
    Order m_order; // most recently used first
    std::unordered_map<TreeMeshKey, typename Order::iterator, TreeMeshKeyHash> m_index;
    std::unordered_map<std::uint64_t, std::uint64_t> m_revisions; // latest revision seen per model
    MeshCacheStats m_stats;
    std::uint64_t m_frame = 0;
};

} // namespace lignet
