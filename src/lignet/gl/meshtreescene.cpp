#include "lignet/gl/meshtreescene.h"

#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treerenderer.h"

namespace lignet::gl {

MeshTreeScene::MeshTreeScene(GpuMeshCache &cache, TreeMeshDrawer &drawer) : m_cache(cache), m_drawer(drawer)
{
}

void MeshTreeScene::draw(TreeRenderer &tree, const TreeTextures &textures, double up, double side,
                         double distance, double pitch, double yaw)
{
    beginTreeScene(tree);
    const bool exporting = tree.vertexExporter().armed();
    if (!exporting)
        applyOrbitCamera(tree, up, side, distance, pitch, yaw);
    tree.settings().levelOfDetail = 0;
    // Edits made through the designed parameters (dialogs, designer) show in this frame.
    tree.updateRevision();
    const TreeDrawSettings &s = tree.settings();
    const MeshInstance origin;
    if (s.growing || !isMeshCacheable(tree)) {
        m_cache.buildInto(tree, m_stream);
        m_drawer.draw(m_stream, textures, {&origin, 1});
        return;
    }
    const auto mesh = m_cache.acquire(tree);
    m_drawer.draw(*mesh, textures, {&origin, 1});
}

} // namespace lignet::gl
