#include "ecosystem/render/sharegroupcontext.h"

#include <QOpenGLContext>

namespace ecosystem::render {

namespace {

QOpenGLContext *groupOwner(QOpenGLContext *context)
{
    QOpenGLContext *global = QOpenGLContext::globalShareContext();
    if (global != nullptr && context != nullptr && QOpenGLContext::areSharing(global, context))
        return global;
    return context;
}

} // namespace

ShareGroupContext::ShareGroupContext(QOpenGLContext *context, std::function<void()> releaseWork)
    : owner(groupOwner(context)), release(std::move(releaseWork))
{
    if (owner) {
        surface.setFormat(owner->format());
        surface.create();
        connect(owner, &QOpenGLContext::aboutToBeDestroyed, this, &ShareGroupContext::releaseNow);
    }
}

bool ShareGroupContext::run(const std::function<void()> &work)
{
    if (!owner) {
        work();
        return true;
    }
    QOpenGLContext *previous = QOpenGLContext::currentContext();
    QSurface *previousSurface = previous != nullptr ? previous->surface() : nullptr;
    const bool sharing = previous != nullptr && QOpenGLContext::areSharing(previous, owner);
    if (!sharing && !owner->makeCurrent(&surface))
        return false;
    work();
    if (!sharing) {
        owner->doneCurrent();
        if (previous != nullptr && previousSurface != nullptr)
            previous->makeCurrent(previousSurface);
    }
    return true;
}

void ShareGroupContext::releaseNow()
{
    if (!owner)
        return;
    run(release);
    // The group is gone (or going); its objects must never be deleted later.
    owner = nullptr;
}

} // namespace ecosystem::render
