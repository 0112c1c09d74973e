#include "lignet/gl/gpumeshcache.h"

#include "lignet/treerenderer.h"

#include <GL/gl.h>

namespace lignet::gl {

void GpuMeshCache::walk(TreeRenderer &tree)
{
    // As the immediate-mode drawing does, an export written during this walk holds the modelview
    // the tree is drawn in (camera and placement in an ecosystem frame).
    if (tree.vertexExporter().armed()) {
        math::Mat4 modelview;
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
        tree.vertexExporter().setBaseFrame(modelview);
    }
    tree.drawTree(m_sink);
    m_sink.finish(m_scratch);
    ++m_built;
}

std::shared_ptr<const GpuTreeMesh> GpuMeshCache::acquire(TreeRenderer &tree, bool store)
{
    return acquire(
        tree,
        [this](TreeRenderer &t) {
            walk(t);
            auto mesh = std::make_shared<GpuTreeMesh>();
            mesh->upload(m_scratch);
            return std::shared_ptr<const GpuTreeMesh>(std::move(mesh));
        },
        store);
}

void GpuMeshCache::buildInto(TreeRenderer &tree, GpuTreeMesh &target)
{
    walk(tree);
    target.upload(m_scratch, true);
}

} // namespace lignet::gl
