#include "ecosystem/render/treemeshes.h"

#include <QOpenGLContext>

namespace ecosystem::render {

TreeMeshes::TreeMeshes(QOpenGLContext *context) : group(context, [this] { releaseAll(); }) {}

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
