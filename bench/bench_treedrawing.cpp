// The default tree drawn with OpenGL into an off-screen framebuffer: immediate mode (the reference
// drawing of the tree edit view), from the mesh cache, and with the mesh rebuilt every frame (as
// while the tree grows or sways). Needs a display; `make bench` provides Xvfb.

#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/meshtreescene.h"
#include "lignet/gl/offscreencontext.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treerenderer.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <GL/gl.h>

namespace {

void drawScenes(benchmark::State &state, bool wireframe, bool highQuality, bool wind = false)
{
    lignet::gl::OffscreenContext context(QSize(512, 512));
    if (!context.isValid()) {
        state.SkipWithError(context.error().toStdString().c_str());
        return;
    }
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(512, 512);
    lignet::TreeRenderer tree;
    tree.settings().wireframe = wireframe;
    tree.settings().highQuality = highQuality;
    tree.settings().windOn = wind;
    // Untextured: the figure is the geometry's cost.
    const lignet::gl::TreeTextures textures;
    for (auto _ : state) {
        lignet::gl::drawTreeScene(tree, textures, -13.0, 0.0, -15.0, 0.0, 0.0);
        glFinish();
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void DefaultTreeScene(benchmark::State &state)
{
    drawScenes(state, false, false);
}
BENCHMARK(DefaultTreeScene)->Unit(benchmark::kMillisecond)->UseRealTime();

void DefaultTreeSceneHighQuality(benchmark::State &state)
{
    drawScenes(state, false, true);
}
BENCHMARK(DefaultTreeSceneHighQuality)->Unit(benchmark::kMillisecond)->UseRealTime();

void DefaultTreeSceneWireframe(benchmark::State &state)
{
    drawScenes(state, true, false);
}
BENCHMARK(DefaultTreeSceneWireframe)->Unit(benchmark::kMillisecond)->UseRealTime();

void DefaultTreeSceneInWind(benchmark::State &state)
{
    drawScenes(state, false, false, true);
}
BENCHMARK(DefaultTreeSceneInWind)->Unit(benchmark::kMillisecond)->UseRealTime();

enum class MeshUse { Cached, Rebuilt };

void drawMeshScenes(benchmark::State &state, MeshUse use, lignet::gl::TreeMeshDrawer::Path path)
{
    lignet::gl::OffscreenContext context(QSize(512, 512));
    if (!context.isValid()) {
        state.SkipWithError(context.error().toStdString().c_str());
        return;
    }
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(512, 512);
    lignet::TreeRenderer tree;
    // In the wind every frame builds its mesh again (into a streaming buffer).
    tree.settings().windOn = use == MeshUse::Rebuilt;
    lignet::gl::GpuMeshCache cache;
    lignet::gl::TreeMeshDrawer drawer;
    drawer.setPath(path);
    lignet::gl::MeshTreeScene scene(cache, drawer);
    // Untextured, as the immediate-mode frames above.
    const lignet::gl::TreeTextures textures;
    for (auto _ : state) {
        scene.draw(tree, textures, -13.0, 0.0, -15.0, 0.0, 0.0);
        glFinish();
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["meshes_built"] = static_cast<double>(cache.meshesBuilt());
    cache.clear();
    scene.release();
    drawer.release();
}

void DefaultTreeMeshFromCache(benchmark::State &state)
{
    drawMeshScenes(state, MeshUse::Cached, lignet::gl::TreeMeshDrawer::Path::Fixed);
}
BENCHMARK(DefaultTreeMeshFromCache)->Unit(benchmark::kMillisecond)->UseRealTime();

void DefaultTreeMeshFromCacheInstanced(benchmark::State &state)
{
    drawMeshScenes(state, MeshUse::Cached, lignet::gl::TreeMeshDrawer::Path::Instanced);
}
BENCHMARK(DefaultTreeMeshFromCacheInstanced)->Unit(benchmark::kMillisecond)->UseRealTime();

void DefaultTreeMeshRebuiltInWind(benchmark::State &state)
{
    drawMeshScenes(state, MeshUse::Rebuilt, lignet::gl::TreeMeshDrawer::Path::Fixed);
}
BENCHMARK(DefaultTreeMeshRebuiltInWind)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
