// The default tree drawn with OpenGL into an off-screen framebuffer (immediate mode, as every
// frame of the tree edit view does). Needs a display; `make bench` provides Xvfb.

#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/treerenderer.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <GL/gl.h>

namespace {

void drawScenes(benchmark::State &state, bool wireframe, bool highQuality)
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
