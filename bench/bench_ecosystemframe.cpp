// Whole frames of the render model drawn off screen: the ecosystem frame after a simulation has
// grown a forest, and the tree edit frame. Runs in the repository folder so the species trees of
// bin/zbirka-4 are drawn. Needs a display; `make bench` provides Xvfb.

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"

#include <QDir>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <GL/gl.h>

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
        // The model releases its textures in its own context.
        if (view && model && view->makeCurrent())
            model.reset();
    }

    std::unique_ptr<lignet::gl::OffscreenContext> view;
    std::unique_ptr<ecosystem::render::EcosystemRender> model;
};

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

// The ecosystem frame from the second predefined camera (the reset view over the valley).
void EcosystemFrame(benchmark::State &state)
{
    std::string error;
    Scene *scene = sceneAfter(static_cast<int>(state.range(0)), &error);
    if (scene == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    if (scene->model->viewOptions().isOn(ecosystem::render::ViewOption::SingleRender))
        scene->model->toggleSingleRender();
    auto *camera = scene->model->getCamera();
    camera->predefinedIndex = 0;
    camera->nextPredefinedCamera();
    drawFrames(state, *scene);
    int living = 0;
    for (const auto &species : scene->model->getSimulation().species())
        living += static_cast<int>(species.plants.size());
    state.counters["plants_drawn"] = scene->model->getLastRenderedCount();
    state.counters["plants_living"] = living;
}
BENCHMARK(EcosystemFrame)->Arg(50)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

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
