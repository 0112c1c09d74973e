#include "ecosystem/render/treemeshes.h"

#include <QOpenGLContext>

#include <unistd.h>

#include <algorithm>

namespace ecosystem::render {

std::size_t TreeMeshes::meshCacheBound()
{
    std::size_t physical = 0;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        physical = static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
    return std::clamp(physical / 4, MinimumCacheBytes, MaximumCacheBytes);
}

TreeMeshes::TreeMeshes(QOpenGLContext *context) : group(context, [this] { releaseAll(); })
{
    meshCache.setByteLimit(meshCacheBound());
}

TreeMeshes::~TreeMeshes()
{
    group.releaseNow();
}

void TreeMeshes::releaseAll()
{
    forestBatch.release();
    scene.release();
    impostorSet.release();
    meshCache.clear();
    meshDrawer.release();
}

} // namespace ecosystem::render
