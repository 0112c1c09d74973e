#pragma once

#include <QObject>

class QTimer;

namespace ecosystem::render {
class EcosystemRender;
}

namespace gui::actionhandling {

// Owns the three repeating timers (simulation, tree animation, camera animation), each of
// which exists only while its animation runs, and numbers the frames of a sequence export.
class TimeKeeper : public QObject {
    Q_OBJECT

public:
    TimeKeeper(QObject *parent, ecosystem::render::EcosystemRender *model);

    ecosystem::render::EcosystemRender *currentModel() const { return model; }
    bool isExporting() const { return animationExportingMode; }
    int nextFrameNumber() const { return frameNumber; }
    bool simulationRunning() const { return simulationTimer != nullptr; }
    bool treeAnimationRunning() const { return treeTimer != nullptr; }
    bool cameraAnimationRunning() const { return cameraTimer != nullptr; }
    // After the camera comes to rest its frames keep the quick tier this long, so that a next key
    // pressed meanwhile does not wait behind a grown forest's exact frame.
    static constexpr int RestDelayMs = 700;

signals:
    void updateOnlyGL();
    void updateSimulationAndGL();
    void grabFrameBuffer(int frame);
    void grabGeometry(int frame);
    void sequenceExportStopped();
    void animateTree();
    void animateCamera();

public slots:
    void setCurrentModel(ecosystem::render::EcosystemRender *newModel);
    void toggleAnimationExportingMode();
    void forceUpdateGl();
    void toggleRunSimulation();
    void startTreeAnimation();
    void stopTreeAnimation();
    void startCameraAnimation();
    void stopCameraAnimation();
    void treeTimerUpdate();
    void cameraTimerUpdate();
    void simmulationTimerUpdate();

private:
    // The step started by the last tick ran on the worker and has been reported.
    void resumeSimulationTimer();
    // Coasting frames, and those until RestDelayMs after the camera came to rest, draw the quick
    // tier (see EcosystemRender::setCameraMoving), except in a sequence export.
    void showCameraMotion();
    QTimer *makeTimer(int intervalMs, void (TimeKeeper::*tick)());
    static void discardTimer(QTimer *&timer);

    ecosystem::render::EcosystemRender *model;
    bool animationExportingMode = false;
    int frameNumber = 0;
    QTimer *treeTimer = nullptr;
    QTimer *cameraTimer = nullptr;
    QTimer *restDelay = nullptr; // single shot, running while the camera has just come to rest
    QTimer *simulationTimer = nullptr;
};

} // namespace gui::actionhandling
