#include "gui/actionhandling/timekeeper.h"

#include "ecosystem/render/ecosystemrender.h"

#include <QTimer>

namespace gui::actionhandling {

TimeKeeper::TimeKeeper(QObject *parent, ecosystem::render::EcosystemRender *renderModel)
    : QObject(parent), model(nullptr), restDelay(new QTimer(this))
{
    restDelay->setSingleShot(true);
    restDelay->setInterval(RestDelayMs);
    connect(restDelay, &QTimer::timeout, this, &TimeKeeper::showCameraMotion);
    setCurrentModel(renderModel);
}

void TimeKeeper::setCurrentModel(ecosystem::render::EcosystemRender *newModel)
{
    if (model != nullptr) {
        disconnect(model, nullptr, this, nullptr);
        model->setCameraMoving(false);
    }
    model = newModel;
    if (model != nullptr) {
        showCameraMotion();
        connect(model, &ecosystem::render::EcosystemRender::stepReported, this,
                &TimeKeeper::resumeSimulationTimer);
    }
}

void TimeKeeper::toggleAnimationExportingMode()
{
    animationExportingMode = !animationExportingMode;
    showCameraMotion();
    if (!animationExportingMode) {
        frameNumber = 0;
        emit sequenceExportStopped();
    }
}

void TimeKeeper::forceUpdateGl()
{
    if (animationExportingMode)
        emit grabGeometry(frameNumber++);
    emit updateOnlyGL();
    if (animationExportingMode)
        emit grabFrameBuffer(frameNumber++);
}

void TimeKeeper::toggleRunSimulation()
{
    if (simulationTimer == nullptr)
        simulationTimer = makeTimer(0, &TimeKeeper::simmulationTimerUpdate);
    else
        discardTimer(simulationTimer);
    if (model)
        model->setSimulationRunning(simulationRunning());
}

void TimeKeeper::startTreeAnimation()
{
    if (treeTimer == nullptr)
        treeTimer = makeTimer(20, &TimeKeeper::treeTimerUpdate);
}

void TimeKeeper::stopTreeAnimation()
{
    discardTimer(treeTimer);
}

void TimeKeeper::startCameraAnimation()
{
    if (cameraTimer == nullptr)
        cameraTimer = makeTimer(10, &TimeKeeper::cameraTimerUpdate);
    restDelay->stop();
    showCameraMotion();
}

void TimeKeeper::stopCameraAnimation()
{
    if (cameraTimer != nullptr)
        restDelay->start();
    discardTimer(cameraTimer);
    showCameraMotion();
}

void TimeKeeper::showCameraMotion()
{
    // An exported sequence keeps the frames as they are drawn at rest.
    if (model)
        model->setCameraMoving((cameraTimer != nullptr || restDelay->isActive()) && !animationExportingMode);
}

void TimeKeeper::treeTimerUpdate()
{
    emit animateTree();
    forceUpdateGl();
}

void TimeKeeper::cameraTimerUpdate()
{
    emit animateCamera();
    forceUpdateGl();
}

void TimeKeeper::simmulationTimerUpdate()
{
    emit updateSimulationAndGL();
    if (model != nullptr && model->isStepPending()) {
        if (animationExportingMode)
            model->finishStep(); // the frame grabbed below shows this step
        else if (simulationTimer != nullptr)
            simulationTimer->stop(); // ticking on would only spin; the report resumes it
    }
    if (animationExportingMode)
        emit grabFrameBuffer(frameNumber++);
}

void TimeKeeper::resumeSimulationTimer()
{
    if (simulationTimer != nullptr && !simulationTimer->isActive())
        simulationTimer->start();
}

QTimer *TimeKeeper::makeTimer(int intervalMs, void (TimeKeeper::*tick)())
{
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, tick);
    timer->setSingleShot(false);
    timer->start(intervalMs);
    return timer;
}

void TimeKeeper::discardTimer(QTimer *&timer)
{
    if (timer == nullptr)
        return;
    // A timer is often stopped from inside its own tick (the frame it repaints reports that the
    // animation ended), so it is only stopped here and freed once that tick has returned.
    timer->stop();
    timer->deleteLater();
    timer = nullptr;
}

} // namespace gui::actionhandling
