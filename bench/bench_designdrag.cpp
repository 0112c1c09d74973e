// The real main window at its default size. Dragging a point of a distribution designer with auto
// proof on: every mouse move sends the curve, the table is recomputed and the tree edit view
// repaints at once; compared with repainting the same view without a change. And how long a key
// press waits while the simulation runs (F5) on a grown forest. Needs a display; `make bench`
// provides Xvfb.

#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/viewoptions.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
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

#include <memory>

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

// Notes when the view receives a key press.
class KeyWatch : public QObject {
public:
    bool received = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            received = true;
        return QObject::eventFilter(watched, event);
    }
};

// With the simulation running on the forest of N steps (grown beforehand without drawing), a key
// press (arrow up: the camera moves) is posted to the ecosystem view; the time until the view
// receives it is how long the window keeps the user waiting (a step and a frame at most).
void KeyAnswerWhileRunning(benchmark::State &state)
{
    std::string error;
    if (!prepare(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    gui::MainWindow &window = *scene().window;
    if (window.model()->isViewOptionOn(ecosystem::render::ViewOption::SingleRender))
        window.findChild<QAction *>(QStringLiteral("actionShow_ecosystem"))->trigger();
    auto &simulation = window.model()->getSimulation();
    while (simulation.step() < state.range(0))
        simulation.simulateStep();
    gui::OglWidget *view = window.firstView();
    KeyWatch watch;
    view->installEventFilter(&watch);
    QAction *run = window.findChild<QAction *>(QStringLiteral("actionRun_simulation"));
    run->trigger();
    const int stepsBefore = simulation.step();
    const int framesBefore = view->framesDrawn();
    for (auto _ : state) {
        watch.received = false;
        QElapsedTimer waited;
        waited.start();
        QApplication::postEvent(view, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
        while (!watch.received)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(static_cast<double>(waited.nsecsElapsed()) * 1e-9);
        QApplication::postEvent(view, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier));
        // Let a step and a frame or two pass before the next press.
        QElapsedTimer between;
        between.start();
        while (between.elapsed() < 300)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    run->trigger();
    view->removeEventFilter(&watch);
    state.counters["steps"] = simulation.step() - stepsBefore;
    state.counters["frames"] = view->framesDrawn() - framesBefore;
    int living = 0;
    for (const auto &species : simulation.species())
        living += static_cast<int>(species.plants.size());
    state.counters["plants_living"] = living;
}
BENCHMARK(KeyAnswerWhileRunning)
    ->Arg(50)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);

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
