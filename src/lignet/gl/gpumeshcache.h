#pragma once

#include "lignet/gl/gputreemesh.h"
#include "lignet/meshcache.h"
#include "lignet/treemesh.h"
#include "lignet/treemeshsink.h"

#include <memory>

namespace lignet::gl {

// Uploaded meshes of tree drawings, one cache for every view of a share group (see MeshCache for
// keys, bound and revisions). Every call needs a context of that share group current: building
// uploads, and evicting or clearing deletes buffers.
class GpuMeshCache : public MeshCache<GpuTreeMesh> {
public:
    using MeshCache<GpuTreeMesh>::MeshCache;
    using MeshCache<GpuTreeMesh>::acquire;

    // The uploaded mesh of the tree's next drawing; it counts as that drawing. Kept when `store`
    // is set and the drawing is cacheable; otherwise built anew (see MeshCache::acquire).
    std::shared_ptr<const GpuTreeMesh> acquire(TreeRenderer &tree, bool store = true);

    // Draws the tree once into target with a streaming upload, for a drawing that changes every
    // frame (wind, growth); target's buffers are reused.
    void buildInto(TreeRenderer &tree, GpuTreeMesh &target);

    // Drawings walked into meshes since construction (misses, uncached and streamed drawings).
    std::uint64_t meshesBuilt() const { return m_built; }

private:
    void walk(TreeRenderer &tree);

    TreeMeshSink m_sink;
    TreeMesh m_scratch;
    std::uint64_t m_built = 0;
};

} // namespace lignet::gl
