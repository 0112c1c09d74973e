#include "ecosystem/render/treemeshes.h"

#include <QOpenGLContext>

namespace ecosystem::render {

namespace {

// With shared contexts the group outlives every view in the application's global share context.
QOpenGLContext *groupOwner(QOpenGLContext *context)
{
    QOpenGLContext *global = QOpenGLContext::globalShareContext();
    if (global != nullptr && context != nullptr && QOpenGLContext::areSharing(global, context))
        return global;
    return context;
}

} // namespace

TreeMeshes::TreeMeshes(QOpenGLContext *context) : owner(groupOwner(context))
{
    if (owner) {
        surface.setFormat(owner->format());
        surface.create();
        connect(owner, &QOpenGLContext::aboutToBeDestroyed, this, &TreeMeshes::releaseBeforeContextGoes);
    }
}

TreeMeshes::~TreeMeshes()
{
    releaseBeforeContextGoes();
}

void TreeMeshes::releaseBeforeContextGoes()
{
    if (!owner)
        return;
    QOpenGLContext *previous = QOpenGLContext::currentContext();
    QSurface *previousSurface = previous != nullptr ? previous->surface() : nullptr;
    const bool sharing = previous != nullptr && QOpenGLContext::areSharing(previous, owner);
    if (sharing || owner->makeCurrent(&surface)) {
        releaseAll();
        if (!sharing) {
            owner->doneCurrent();
            if (previous != nullptr && previousSurface != nullptr)
                previous->makeCurrent(previousSurface);
        }
    }
    // The group is gone (or going); its buffers must never be deleted later.
    owner = nullptr;
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
