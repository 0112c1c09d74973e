// Whole frames of the render model drawn off screen: the ecosystem frame after a simulation has
// grown a forest, and the tree edit frame, each with the immediate-mode reference drawing and with
// the tree meshes (batched exact, and with distant plants as impostors). Runs in the repository
// folder so the species trees of bin/zbirka-4 are drawn. Needs a display; `make bench` provides
// Xvfb.

#include "forestpass.h"

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/meshtreescene.h"
#include "lignet/gl/offscreencontext.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treerenderer.h"

#include <QImage>

#include <QDir>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>

namespace {

constexpr int FrameSize = 512;

// One off-screen view and one model per simulated step count, kept between benchmarks (a grown
// forest takes long to simulate).
struct Scene {
    Scene() = default;
    Scene(Scene &&) = default;
    ~Scene()
    {
        // The model and the meshes release their GL objects in their own context.
        if (view && model && view->makeCurrent()) {
            if (forest)
                forest->release();
            model.reset();
        }
    }

    std::unique_ptr<lignet::gl::OffscreenContext> view;
    std::unique_ptr<ecosystem::render::EcosystemRender> model;
    std::unique_ptr<ForestPass> forest = std::make_unique<ForestPass>();
    QImage reference; // the last reference ecosystem frame
    QImage exact;     // the last batched exact frame
};

// Share of pixels whose largest channel differs by more than 8 levels (of 255).
double differingShare(const QImage &a, const QImage &b)
{
    if (a.isNull() || a.size() != b.size())
        return -1.0;
    long long differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            differing += d > 8 ? 1 : 0;
        }
    return static_cast<double>(differing) / (a.width() * a.height());
}

// Released before the application object goes.
std::map<int, Scene> &scenes()
{
    static std::map<int, Scene> all;
    return all;
}

Scene *sceneAfter(int steps, std::string *error)
{
    auto found = scenes().find(steps);
    if (found != scenes().end())
        return &found->second;
    Scene scene;
    scene.view = std::make_unique<lignet::gl::OffscreenContext>(QSize(FrameSize, FrameSize));
    if (!scene.view->isValid()) {
        *error = scene.view->error().toStdString();
        return nullptr;
    }
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(FrameSize, FrameSize);
    scene.model = std::make_unique<ecosystem::render::EcosystemRender>(scene.view->context());
    scene.model->toggleShowFPS();
    for (int i = 0; i < steps; ++i)
        scene.model->getSimulation().simulateStep();
    return &scenes().emplace(steps, std::move(scene)).first->second;
}

void drawFrames(benchmark::State &state, Scene &scene)
{
    scene.view->makeCurrent();
    for (auto _ : state) {
        scene.model->render();
        glFinish();
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

Scene *ecosystemScene(benchmark::State &state)
{
    std::string error;
    Scene *scene = sceneAfter(static_cast<int>(state.range(0)), &error);
    if (scene == nullptr) {
        state.SkipWithError(error.c_str());
        return nullptr;
    }
    if (scene->model->viewOptions().isOn(ecosystem::render::ViewOption::SingleRender))
        scene->model->toggleSingleRender();
    auto *camera = scene->model->getCamera();
    camera->predefinedIndex = 0;
    camera->nextPredefinedCamera();
    return scene;
}

void plantCounters(benchmark::State &state, Scene &scene)
{
    int living = 0;
    for (const auto &species : scene.model->getSimulation().species())
        living += static_cast<int>(species.plants.size());
    state.counters["plants_drawn"] = scene.model->getLastRenderedCount();
    state.counters["plants_living"] = living;
}

// The ecosystem frame from the second predefined camera (the reset view over the valley), drawn
// by the render model with one immediate-mode drawing per plant.
void EcosystemFrame(benchmark::State &state)
{
    Scene *scene = ecosystemScene(state);
    if (!scene)
        return;
    if (scene->model->isDoNotDrawTrees())
        scene->model->toggleDoNotDrawTrees();
    drawFrames(state, *scene);
    scene->reference = scene->view->grab();
    plantCounters(state, *scene);
}
BENCHMARK(EcosystemFrame)->Arg(50)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The same frame with the trees drawn from meshes: the model draws sky and terrain (its tree pass
// only culls and counts), then the forest pass draws the plants it would have drawn. The first
// frame, which builds the meshes, is not timed; `first_frame_ms` gives its time.
void batchedFrames(benchmark::State &state, const ForestPass::Options &options)
{
    Scene *scene = ecosystemScene(state);
    if (!scene)
        return;
    if (!scene->model->isDoNotDrawTrees())
        scene->model->toggleDoNotDrawTrees();
    scene->view->makeCurrent();
    std::vector<int> counts;
    const auto frame = [&] {
        scene->model->render();
        counts = scene->forest->draw(*scene->model, options);
        glFinish();
    };
    const auto start = std::chrono::steady_clock::now();
    frame();
    const std::chrono::duration<double, std::milli> first = std::chrono::steady_clock::now() - start;
    scene->forest->cache().resetCounters();
    for (auto _ : state)
        frame();
    const QImage image = scene->view->grab();
    scene->model->toggleDoNotDrawTrees();
    plantCounters(state, *scene);
    int drawn = 0;
    for (int c : counts)
        drawn += c;
    state.counters["plants_batched"] = drawn; // must equal plants_drawn
    const auto &stats = scene->forest->stats();
    state.counters["first_frame_ms"] = first.count();
    state.counters["meshes"] = static_cast<double>(stats.meshes);
    state.counters["impostors"] = static_cast<double>(stats.impostorPlants);
    state.counters["triangles"] = static_cast<double>(stats.draw.triangles);
    state.counters["draw_calls"] = static_cast<double>(stats.draw.drawCalls);
    state.counters["cache_MiB"] = static_cast<double>(scene->forest->cache().stats().bytes) / (1 << 20);
    state.counters["cache_misses"] = static_cast<double>(scene->forest->cache().stats().misses);
    state.counters["differs_from_reference"] = differingShare(scene->reference, image);
    if (options.farField || options.fixedFunction)
        state.counters["differs_from_exact"] = differingShare(scene->exact, image);
    else
        scene->exact = image;
    if (const char *folder = std::getenv("VERDALIS_BENCH_PICTURES")) {
        const QString name = QStringLiteral("%1/ecosystem_%2_%3.png")
                                 .arg(QString::fromLocal8Bit(folder))
                                 .arg(state.range(0))
                                 .arg(options.farField        ? QString::number(options.thresholdPixels)
                                      : options.fixedFunction ? QStringLiteral("fixed")
                                                              : QStringLiteral("exact"));
        image.save(name);
        scene->reference.save(QStringLiteral("%1/ecosystem_%2_reference.png")
                                  .arg(QString::fromLocal8Bit(folder))
                                  .arg(state.range(0)));
    }
}

void EcosystemFrameBatched(benchmark::State &state)
{
    batchedFrames(state, ForestPass::Options{});
}
BENCHMARK(EcosystemFrameBatched)
    ->Arg(50)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The same with the fixed-function fallback (one draw per plant and batch).
void EcosystemFrameBatchedFixed(benchmark::State &state)
{
    ForestPass::Options options;
    options.fixedFunction = true;
    batchedFrames(state, options);
}
BENCHMARK(EcosystemFrameBatchedFixed)
    ->Arg(50)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// With distant plants as impostors; the second argument is the threshold in pixels of projected
// height.
void EcosystemFrameFarField(benchmark::State &state)
{
    ForestPass::Options options;
    options.farField = true;
    options.thresholdPixels = static_cast<double>(state.range(1));
    batchedFrames(state, options);
}
BENCHMARK(EcosystemFrameFarField)
    ->ArgsProduct({{50, 300}, {4, 8, 16, 32}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The tree edit frame of the current (editable, default) tree.
void TreeEditFrame(benchmark::State &state)
{
    std::string error;
    Scene *scene = sceneAfter(0, &error);
    if (scene == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    if (!scene->model->viewOptions().isOn(ecosystem::render::ViewOption::SingleRender))
        scene->model->toggleSingleRender();
    drawFrames(state, *scene);
}
BENCHMARK(TreeEditFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The tree edit frame drawn from the mesh cache (the still tree is built once).
void TreeEditFrameMesh(benchmark::State &state)
{
    std::string error;
    Scene *scene = sceneAfter(0, &error);
    if (scene == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    scene->view->makeCurrent();
    lignet::gl::MeshTreeScene mesh(scene->forest->cache(), scene->forest->drawer());
    lignet::TreeRenderer &tree = *scene->model->getCurrentTree();
    const auto *camera = scene->model->getCamera();
    for (auto _ : state) {
        glEnable(GL_LIGHTING);
        mesh.draw(tree, camera->orbitUp, camera->orbitSide, camera->orbitDistance, camera->orbitPitch,
                  camera->orbitYaw);
        glFinish();
    }
    mesh.release();
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(TreeEditFrameMesh)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    QDir::setCurrent(QStringLiteral(VERDALIS_SOURCE_DIR));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scenes().clear();
    return 0;
}
