#pragma once

#include "lignet/meshcache.h"
#include "lignet/treemesh.h"
#include "lignet/treemeshsink.h"

#include <memory>

namespace lignet {

// Draws the tree once (advancing its clocks) and returns the drawing as a mesh in the tree's own
// coordinates. The sink is reused between builds to keep its buffers.
std::shared_ptr<const TreeMesh> buildTreeMesh(TreeRenderer &tree, TreeMeshSink &sink);

// CPU meshes of tree drawings (see MeshCache), built with a TreeMeshSink.
class TreeMeshCache : public MeshCache<TreeMesh> {
public:
    using MeshCache<TreeMesh>::MeshCache;
    using MeshCache<TreeMesh>::acquire;

    // The mesh of the tree's next drawing, built on a miss; see MeshCache::acquire.
    std::shared_ptr<const TreeMesh> acquire(TreeRenderer &tree, bool store = true);

private:
    TreeMeshSink m_sink;
};

} // namespace lignet
