// Whole frames of the render model drawn off screen: the ecosystem frame after a simulation has
// grown a forest, and the tree edit frame, each with the immediate-mode reference drawing and with
// the tree meshes (batched exact, the fixed-function fallback, and with distant plants as
// impostors). Runs in the repository folder so the species trees of bin/zbirka-4 are drawn. Needs a
// display; `make bench` provides Xvfb.

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>

namespace {

constexpr int FrameSize = 512;
using ecosystem::render::ViewOption;

// One off-screen view and one model per simulated step count, kept between benchmarks (a grown
// forest takes long to simulate).
struct Scene {
    Scene() = default;
    Scene(Scene &&) = default;
    ~Scene()
    {
        // The model releases its GL objects in its own context.
        if (view && model && view->makeCurrent())
            model.reset();
    }

    std::unique_ptr<lignet::gl::OffscreenContext> view;
    std::unique_ptr<ecosystem::render::EcosystemRender> model;
    QImage reference; // the last reference ecosystem frame
    QImage exact;     // the last batched exact frame
};

// Share of pixels whose largest channel differs by more than `level` levels (of 255).
double differingShare(const QImage &a, const QImage &b, int level = 8)
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
            differing += d > level ? 1 : 0;
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

// How the trees of one benchmark are drawn.
struct Drawing {
    bool reference = false;
    bool fixedFunction = false; // the fallback path instead of instancing
    bool farField = false;
    double thresholdPixels = ecosystem::render::TreeMeshes::DefaultImpostorThreshold;
    double exactDrawingBudget = ecosystem::render::TreeMeshes::DefaultExactDrawingBudget;
    int treeScale = 1;
    const char *name = "exact";
};

void useDrawing(Scene &scene, const Drawing &drawing)
{
    ecosystem::render::EcosystemRender &model = *scene.model;
    model.setReferenceDrawing(drawing.reference);
    if (model.isViewOptionOn(ViewOption::ExactDistantTrees) == drawing.farField)
        model.toggleViewOptionFromMenu(ViewOption::ExactDistantTrees);
    model.setTreeScale(drawing.treeScale);
    ecosystem::render::TreeMeshes &meshes = model.treeMeshes();
    meshes.setImpostorThreshold(drawing.thresholdPixels);
    meshes.setExactDrawingBudget(drawing.exactDrawingBudget);
    meshes.drawer().setPath(drawing.fixedFunction ? lignet::gl::TreeMeshDrawer::Path::Fixed
                                                  : lignet::gl::TreeMeshDrawer::Path::Instanced);
    // VERDALIS_BENCH_CACHE_MIB sets the mesh cache's bound, to find a frame's working set.
    if (const char *mib = std::getenv("VERDALIS_BENCH_CACHE_MIB"))
        meshes.cache().setByteLimit(static_cast<std::size_t>(std::atol(mib)) << 20);
}

// Draws the frame; with meshes the first, which builds them, is not timed (`first_frame_ms`).
void drawFrames(benchmark::State &state, Scene &scene)
{
    scene.view->makeCurrent();
    const auto start = std::chrono::steady_clock::now();
    if (!scene.model->isReferenceDrawing()) {
        scene.model->render();
        glFinish();
    }
    const std::chrono::duration<double, std::milli> first = std::chrono::steady_clock::now() - start;
    scene.model->treeMeshes().cache().resetCounters();
    for (auto _ : state) {
        scene.model->render();
        glFinish();
    }
    const auto &cache = scene.model->treeMeshes().cache().stats();
    state.counters["first_frame_ms"] = first.count();
    state.counters["triangles"] = static_cast<double>(scene.model->getLastTreeTriangles());
    state.counters["draw_calls"] = static_cast<double>(scene.model->getLastTreeDrawCalls());
    state.counters["cache_MiB"] = static_cast<double>(cache.bytes) / (1 << 20);
    state.counters["cache_misses"] = static_cast<double>(cache.misses);
}

Scene *ecosystemScene(benchmark::State &state)
{
    std::string error;
    Scene *scene = sceneAfter(static_cast<int>(state.range(0)), &error);
    if (scene == nullptr) {
        state.SkipWithError(error.c_str());
        return nullptr;
    }
    if (scene->model->viewOptions().isOn(ViewOption::SingleRender))
        scene->model->toggleSingleRender();
    auto *camera = scene->model->getCamera();
    camera->predefinedIndex = 0;
    camera->nextPredefinedCamera();
    return scene;
}

void keepPicture(const QImage &image, int steps, const QString &name)
{
    if (const char *folder = std::getenv("VERDALIS_BENCH_PICTURES"))
        image.save(QStringLiteral("%1/ecosystem_%2_%3.png")
                       .arg(QString::fromLocal8Bit(folder))
                       .arg(steps)
                       .arg(name));
}

// The ecosystem frame from the second predefined camera (the reset view over the valley).
void ecosystemFrames(benchmark::State &state, const Drawing &drawing)
{
    Scene *scene = ecosystemScene(state);
    if (!scene)
        return;
    useDrawing(*scene, drawing);
    drawFrames(state, *scene);
    const QImage image = scene->view->grab();
    int living = 0;
    for (const auto &species : scene->model->getSimulation().species())
        living += static_cast<int>(species.plants.size());
    state.counters["plants_drawn"] = scene->model->getLastRenderedCount();
    state.counters["plants_living"] = living;
    if (drawing.treeScale != 1) {
        // Compared with nothing: the other frames are drawn at the grown size.
    } else if (drawing.reference) {
        scene->reference = image;
    } else {
        state.counters["differs_from_reference"] = differingShare(scene->reference, image);
        if (drawing.farField || drawing.fixedFunction) {
            state.counters["differs_from_exact"] = differingShare(scene->exact, image);
            state.counters["differs_from_exact_64"] = differingShare(scene->exact, image, 64);
        } else
            scene->exact = image;
    }
    QString name = drawing.farField && drawing.name == Drawing{}.name
                       ? QStringLiteral("farfield_%1").arg(drawing.thresholdPixels)
                       : QString::fromLatin1(drawing.name);
    if (drawing.treeScale != 1)
        name += QStringLiteral("_scale_%1").arg(drawing.treeScale);
    keepPicture(image, static_cast<int>(state.range(0)), name);
    useDrawing(*scene, Drawing{});
}

// One immediate-mode drawing per plant, as specified; a 300-step frame takes minutes, so once.
void EcosystemFrame(benchmark::State &state)
{
    Drawing drawing;
    drawing.reference = true;
    drawing.name = "reference";
    ecosystemFrames(state, drawing);
}
BENCHMARK(EcosystemFrame)->Arg(50)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Every plant from meshes, instanced.
void EcosystemFrameBatched(benchmark::State &state)
{
    ecosystemFrames(state, Drawing{});
}
BENCHMARK(EcosystemFrameBatched)
    ->Arg(50)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The fixed-function fallback (one draw per plant and batch).
void EcosystemFrameBatchedFixed(benchmark::State &state)
{
    Drawing drawing;
    drawing.fixedFunction = true;
    drawing.name = "fixed";
    ecosystemFrames(state, drawing);
}
BENCHMARK(EcosystemFrameBatchedFixed)
    ->Arg(50)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

void countImpostors(benchmark::State &state)
{
    auto &meshes = scenes().at(static_cast<int>(state.range(0))).model->treeMeshes();
    const auto &stats = meshes.forest().stats();
    state.counters["threshold"] = meshes.forest().impostorThreshold();
    state.counters["impostors"] = static_cast<double>(stats.impostorPlants);
    state.counters["speck_plants"] = static_cast<double>(stats.speckPlants);
    // The pictures of every frame drawn in this scene so far, lower thresholds included.
    state.counters["impostor_MiB"] = static_cast<double>(meshes.impostors().textureBytes()) / (1 << 20);
    state.counters["impostor_atlases"] = static_cast<double>(meshes.impostors().atlasCount());
}

// With distant plants as impostors; the second argument is a fixed threshold in pixels of
// projected height, however many plants stand above it.
void EcosystemFrameFarField(benchmark::State &state)
{
    Drawing drawing;
    drawing.farField = true;
    drawing.thresholdPixels = static_cast<double>(state.range(1));
    drawing.exactDrawingBudget = std::numeric_limits<double>::infinity();
    ecosystemFrames(state, drawing);
    countImpostors(state);
}
BENCHMARK(EcosystemFrameFarField)
    ->ArgsProduct({{50, 300}, {8, 16, 24, 32, 64, 128}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The program's frame at rest: the default threshold, raised where the plants above it would cost
// more than the exact-drawing budget.
void EcosystemFrameDefault(benchmark::State &state)
{
    Drawing drawing;
    drawing.farField = true;
    drawing.name = "default";
    ecosystemFrames(state, drawing);
    countImpostors(state);
}
BENCHMARK(EcosystemFrameDefault)
    ->Arg(50)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The frame the window draws between steps while the simulation runs (F5), and while the camera
// coasts: every still plant the far-field tier can take is an impostor, however near.
void EcosystemFrameWhileRunning(benchmark::State &state)
{
    Scene *scene = ecosystemScene(state);
    if (!scene)
        return;
    useDrawing(*scene, Drawing{.farField = true});
    scene->model->setSimulationRunning(true);
    drawFrames(state, *scene);
    scene->model->setSimulationRunning(false);
    state.counters["plants_drawn"] = scene->model->getLastRenderedCount();
    state.counters["impostors"] =
        static_cast<double>(scene->model->treeMeshes().forest().stats().impostorPlants);
    useDrawing(*scene, Drawing{});
}
BENCHMARK(EcosystemFrameWhileRunning)
    ->Arg(50)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The forest seen from the same camera with the trees drawn five times their size (far-field tier
// on, as the program starts), the second argument the scale.
void EcosystemFrameTreeScale(benchmark::State &state)
{
    Drawing drawing;
    drawing.farField = true;
    drawing.treeScale = static_cast<int>(state.range(1));
    ecosystemFrames(state, drawing);
}
BENCHMARK(EcosystemFrameTreeScale)
    ->Args({50, 5})
    ->Args({300, 5})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The tree edit frame of the current (editable, default) tree; the argument 1 draws it from the
// mesh cache, 0 in immediate mode.
void TreeEditFrame(benchmark::State &state)
{
    std::string error;
    Scene *scene = sceneAfter(0, &error);
    if (scene == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    if (!scene->model->viewOptions().isOn(ViewOption::SingleRender))
        scene->model->toggleSingleRender();
    Drawing drawing;
    drawing.reference = state.range(0) == 0;
    useDrawing(*scene, drawing);
    drawFrames(state, *scene);
    useDrawing(*scene, Drawing{});
}
BENCHMARK(TreeEditFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
