#include "ecosystem/render/backgroundstep.h"

#include <QtConcurrent/QtConcurrentRun>

namespace ecosystem::render {

BackgroundStep::BackgroundStep(EcosystemScene &scene) : QObject(nullptr), scene_(scene)
{
    connect(&watcher_, &QFutureWatcherBase::finished, this, &BackgroundStep::handOut);
}

BackgroundStep::~BackgroundStep()
{
    join();
}

void BackgroundStep::start()
{
    if (pending_)
        return;
    pending_ = true;
    watcher_.setFuture(QtConcurrent::run([&scene = scene_] { return scene.stepAndAutosave(); }));
}

void BackgroundStep::join() const
{
    if (pending_)
        watcher_.future().waitForFinished();
}

void BackgroundStep::finishNow()
{
    join();
    handOut();
}

void BackgroundStep::handOut()
{
    // The watcher still reports a step that finishNow() has handed out already.
    if (!pending_)
        return;
    pending_ = false;
    emit finished(watcher_.result());
}

} // namespace ecosystem::render
