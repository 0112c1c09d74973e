#pragma once

#include "ecosystem/scene/ecosystemscene.h"

#include <QFutureWatcher>
#include <QObject>

namespace ecosystem::render {

// Runs simulation steps (and their autosaves) on a worker thread, so that the window keeps
// answering keys and menus while a grown forest takes its step. While a step runs, nothing else may
// touch the scene: whoever needs it calls join() first, which waits for the step to end. The step's
// report is handed out once, through `finished`, from the event loop or from finishNow().
class BackgroundStep : public QObject {
    Q_OBJECT

public:
    explicit BackgroundStep(EcosystemScene &scene);
    // Waits for a running step: the scene outlives no worker.
    ~BackgroundStep() override;
    BackgroundStep(const BackgroundStep &) = delete;
    BackgroundStep &operator=(const BackgroundStep &) = delete;

    // A step was started and its report has not been handed out yet.
    bool pending() const { return pending_; }
    // Starts the next step on a worker thread; does nothing while one is pending.
    void start();
    // Waits until no step runs; the report of a finished step stays pending.
    void join() const;
    // Waits for a pending step and hands out its report now.
    void finishNow();

signals:
    void finished(const ecosystem::EcosystemScene::StepReport &report);

private:
    void handOut();

    EcosystemScene &scene_;
    QFutureWatcher<EcosystemScene::StepReport> watcher_;
    bool pending_ = false;
};

} // namespace ecosystem::render
