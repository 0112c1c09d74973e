#include "lignet/treemeshcache.h"

namespace lignet {

std::shared_ptr<const TreeMesh> buildTreeMesh(TreeRenderer &tree, TreeMeshSink &sink)
{
    tree.drawTree(sink);
    auto mesh = std::make_shared<TreeMesh>();
    sink.finish(*mesh);
    return mesh;
}

std::shared_ptr<const TreeMesh> TreeMeshCache::acquire(TreeRenderer &tree, bool store)
{
    return acquire(
        tree, [this](TreeRenderer &t) { return buildTreeMesh(t, m_sink); }, store);
}

} // namespace lignet
