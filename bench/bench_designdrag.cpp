// The real main window at its default size. Dragging a point of a distribution designer with auto
// proof on: every mouse move sends the curve, the table is recomputed and the tree edit view
// repaints at once; compared with repainting the same view without a change. And how long a key
// press waits while the simulation runs (F5) on a grown forest, with the steps on a worker thread
// and on the window's own, and how long one navigation key keeps the view busy on a grown forest.
// Needs a display; `make bench` provides Xvfb.

#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/render/viewoptions.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/design/distributiondesigner.h"
#include "gui/design/hoverpoints.h"
#include "gui/design/widgetgraph.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"
#include "lignet/treerenderer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

namespace {

// The window and a strand designer, made once for all benchmarks.
struct Scene {
    std::unique_ptr<gui::MainWindow> window;
    gui::DistributionDesigner *designer = nullptr;
};

Scene &scene()
{
    static Scene shared;
    return shared;
}

bool prepare(std::string *error)
{
    Scene &s = scene();
    if (s.designer != nullptr)
        return true;
    s.window = std::make_unique<gui::MainWindow>();
    s.window->show();
    QElapsedTimer waited;
    waited.start();
    while (s.window->model() == nullptr && waited.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (s.window->model() == nullptr) {
        *error = "the window made no model";
        return false;
    }
    if (!s.window->model()->isViewOptionOn(ecosystem::render::ViewOption::SingleRender))
        s.window->findChild<QAction *>(QStringLiteral("actionShow_ecosystem"))->trigger();
    s.window->findChild<QAction *>(QStringLiteral("actionDesign_strand_distribution"))->trigger();
    s.designer = s.window->findChild<gui::DistributionDesigner *>();
    QApplication::processEvents();
    return s.designer != nullptr;
}

void sendMouse(QWidget *widget, QEvent::Type type, QPointF at, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Frames the view drew while the benchmark ran (a repaint request may be merged with the next).
void report(benchmark::State &state, int framesBefore)
{
    const QSize view = scene().window->firstView()->size();
    const int frames = scene().window->firstView()->framesDrawn() - framesBefore;
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["frames_per_request"] =
        static_cast<double>(frames) / static_cast<double>(state.iterations());
    state.counters["view_width"] = view.width();
    state.counters["view_height"] = view.height();
}

// One mouse move of the right end point of the G curve, up and down by a pixel in turn; with
// leaves when `leaves` is set (the default tree's look), else with the leaves switched off.
void dragPoint(benchmark::State &state, bool leaves)
{
    std::string error;
    if (!prepare(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    lignet::TreeParameters &live = scene().window->model()->getCurrentTree()->designedParameters();
    live.displayLeaves = leaves;
    gui::WidgetGraph *graph = scene().designer->graphG();
    const QPointF end = graph->hoverPoints()->points().last();
    const QPointF grip(end.x() - 2, end.y());
    sendMouse(graph, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    const int framesBefore = scene().window->firstView()->framesDrawn();
    int step = 0;
    for (auto _ : state) {
        sendMouse(graph, QEvent::MouseMove, QPointF(grip.x(), grip.y() + (step++ % 2)), Qt::LeftButton);
        // As between two moves of a real drag: a repaint the window put off runs here.
        QApplication::processEvents();
    }
    sendMouse(graph, QEvent::MouseButtonRelease, grip, Qt::NoButton);
    live.displayLeaves = true;
    report(state, framesBefore);
}

void DragPointRedraw(benchmark::State &state)
{
    dragPoint(state, true);
}
BENCHMARK(DragPointRedraw)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void DragPointRedrawWithoutLeaves(benchmark::State &state)
{
    dragPoint(state, false);
}
BENCHMARK(DragPointRedrawWithoutLeaves)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The same view repainted without any change: the drawing's own cost.
void PlainRedraw(benchmark::State &state)
{
    std::string error;
    if (!prepare(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    gui::OglWidget *view = scene().window->firstView();
    const int framesBefore = view->framesDrawn();
    for (auto _ : state) {
        view->updateGL();
        QApplication::processEvents();
    }
    report(state, framesBefore);
}
BENCHMARK(PlainRedraw)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Notes when the view receives a key press, and how many frames it had drawn by then.
class KeyWatch : public QObject {
public:
    explicit KeyWatch(const gui::OglWidget &watchedView) : view(watchedView) { clock.start(); }

    QElapsedTimer clock;
    qint64 receivedAt = -1;
    int framesAtReceipt = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && receivedAt < 0) {
            receivedAt = clock.nsecsElapsed();
            framesAtReceipt = view.framesDrawn();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const gui::OglWidget &view;
};

// The window in ecosystem mode with the forest of N steps (the first argument), grown without
// drawing; none when the window could not be made (the benchmark is then skipped).
gui::MainWindow *ecosystemWindow(benchmark::State &state)
{
    std::string error;
    if (!prepare(&error)) {
        state.SkipWithError(error.c_str());
        return nullptr;
    }
    gui::MainWindow &window = *scene().window;
    if (window.model()->isViewOptionOn(ecosystem::render::ViewOption::SingleRender))
        window.findChild<QAction *>(QStringLiteral("actionShow_ecosystem"))->trigger();
    auto &simulation = window.model()->getSimulation();
    while (simulation.step() < state.range(0))
        simulation.simulateStep();
    return &window;
}

// With the simulation running (F5) on the forest of N steps (grown beforehand without drawing), a
// key press (arrow up: the camera moves) arrives at a random moment, as a user's would: it is
// posted from another thread while the window is busy with whatever it was doing. The iteration
// time is how long the window took to take the key; `shown_ms` is the mean time until a frame drawn
// after it was on screen. The second argument: steps on the worker thread (1) or one per timer tick
// on the window's thread (0).
void KeyAnswerWhileRunning(benchmark::State &state)
{
    gui::MainWindow *const shown = ecosystemWindow(state);
    if (shown == nullptr)
        return;
    gui::MainWindow &window = *shown;
    auto &simulation = window.model()->getSimulation();
    window.model()->setStepsInBackground(state.range(1) != 0);
    gui::OglWidget *view = window.firstView();
    KeyWatch watch(*view);
    view->installEventFilter(&watch);
    QAction *run = window.findChild<QAction *>(QStringLiteral("actionRun_simulation"));
    run->trigger();
    // The first frames of a forest build its meshes and pictures; that wait is not the key's.
    const int framesAtStart = view->framesDrawn();
    while (view->framesDrawn() < framesAtStart + 2)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const int stepsBefore = simulation.step();
    const int framesBefore = view->framesDrawn();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> delayMs(0, 1000);
    double shownSeconds = 0.0;
    double longestSeconds = 0.0;
    for (auto _ : state) {
        watch.receivedAt = -1;
        std::atomic<qint64> postedAt{-1};
        std::thread user([&, delay = std::chrono::milliseconds(delayMs(random))] {
            std::this_thread::sleep_for(delay);
            postedAt = watch.clock.nsecsElapsed();
            QCoreApplication::postEvent(view, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
        });
        while (watch.receivedAt < 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        while (view->framesDrawn() == watch.framesAtReceipt)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const qint64 shownAt = watch.clock.nsecsElapsed();
        user.join();
        const double taken = static_cast<double>(watch.receivedAt - postedAt) * 1e-9;
        state.SetIterationTime(taken);
        longestSeconds = std::max(longestSeconds, taken);
        shownSeconds += static_cast<double>(shownAt - postedAt) * 1e-9;
        QApplication::postEvent(view, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier));
    }
    run->trigger();
    window.model()->finishStep();
    view->removeEventFilter(&watch);
    state.counters["shown_ms"] = shownSeconds * 1e3 / static_cast<double>(state.iterations());
    state.counters["longest_taken_ms"] = longestSeconds * 1e3;
    state.counters["steps"] = simulation.step() - stepsBefore;
    state.counters["frames"] = view->framesDrawn() - framesBefore;
    int living = 0;
    for (const auto &species : simulation.species())
        living += static_cast<int>(species.plants.size());
    state.counters["plants_living"] = living;
}
BENCHMARK(KeyAnswerWhileRunning)
    ->Args({50, 0})
    ->Args({50, 1})
    ->Args({300, 0})
    ->Args({300, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(12);

// In the forest of N steps (grown beforehand without drawing, the simulation stopped), one
// navigation key (move forward): the camera coasts to a stop, drawing a frame at every tick of its
// motion, and then, a moment after rest, the exact frame. The iteration time is from the key until
// that frame is on screen; `coast_ms` until the camera came to rest, `coast_frames` the frames drawn
// on the way.
void CameraCoast(benchmark::State &state)
{
    gui::MainWindow *const shown = ecosystemWindow(state);
    if (shown == nullptr)
        return;
    gui::MainWindow &window = *shown;
    gui::OglWidget *view = window.firstView();
    QAction *forward = window.findChild<QAction *>(QStringLiteral("actionMove_forward"));
    const gui::actionhandling::TimeKeeper &timers = *window.timeKeeper();
    QElapsedTimer clock;
    clock.start();
    double coastSeconds = 0.0;
    int coastFrames = 0;
    // Returns the seconds from the key until the frame at rest was drawn.
    const auto coast = [&] {
        const qint64 start = clock.nsecsElapsed();
        const int framesBefore = view->framesDrawn();
        forward->trigger();
        while (timers.cameraAnimationRunning())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        coastSeconds += static_cast<double>(clock.nsecsElapsed() - start) * 1e-9;
        coastFrames += view->framesDrawn() - framesBefore;
        // The frames keep the quick tier a moment after rest; the exact one may be drawn in the
        // same pass of the event loop that ends it.
        int framesQuick = view->framesDrawn();
        while (window.model()->treeMeshes().isCameraMoving()) {
            framesQuick = view->framesDrawn();
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        while (view->framesDrawn() == framesQuick)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return static_cast<double>(clock.nsecsElapsed() - start) * 1e-9;
    };
    // The first frames of a forest build its meshes and pictures; that wait is not the camera's.
    coast();
    coastSeconds = 0.0;
    coastFrames = 0;
    for (auto _ : state)
        state.SetIterationTime(coast());
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["coast_ms"] = coastSeconds * 1e3 / iterations;
    state.counters["coast_frames"] = static_cast<double>(coastFrames) / iterations;
}
BENCHMARK(CameraCoast)->Arg(50)->Arg(300)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    QDir::setCurrent(QStringLiteral(VERDALIS_SOURCE_DIR));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scene().window.reset();
    return 0;
}
