#pragma once

#include <QObject>
#include <QTimer>

class QLabel;
class QStatusBar;

namespace ecosystem::render {
class EcosystemRender;
}

namespace gui {

namespace actionhandling {
class TimeKeeper;
}

// What the program is doing, in the main window's status bar. On the left a hint before the
// forest has first grown, or the tree's growth while it is animated in tree edit mode; on the right
// the simulation step with the living plants, the plants drawn, the frame rate (while "Show frame
// rate" is on), the simulation steps per drawn frame (once changed) and the mode.
//
// Everything is read from the model. What changes with every step or frame is shown at most a few
// times a second: each change of the status bar makes the window compose its whole picture again,
// which can cost more than a simulation step.
class StatusReport : public QObject {
    Q_OBJECT

public:
    StatusReport(QStatusBar *bar, ecosystem::render::EcosystemRender *model,
                 const actionhandling::TimeKeeper *timeKeeper);

    // The most often the step, plant and frame figures change on screen.
    static constexpr int RefreshIntervalMs = 500;

public slots:
    // At once, after a command: a mode or view switch, the simulation started or stopped.
    void refresh();
    // After every simulation step (and a loaded simulation), every drawn frame and every model
    // change: the figures are shown within RefreshIntervalMs.
    void modelChanged();
    // At once, after "+" or "-".
    void frameSkipChanged();

private:
    QLabel *addLabel(QStatusBar *bar, const char *name, bool permanent);
    void showFigures();

    QTimer figuresDue;
    ecosystem::render::EcosystemRender *model;
    const actionhandling::TimeKeeper *timeKeeper;
    QLabel *message;
    QLabel *simulation;
    QLabel *drawn;
    QLabel *frameRate;
    QLabel *frameSkip;
    QLabel *mode;
};

} // namespace gui
