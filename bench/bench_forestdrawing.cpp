// N copies of one species tree (bin/zbirka-4, 1200 strands) on a grid seen across from one side,
// each at the level of detail of its distance and at one of 20 growth stages, drawn in a 512 x 512
// off-screen framebuffer: the immediate-mode reference, the mesh path with one draw per plant and
// batch (fixed function), the instanced mesh path, and plants in the wind. Needs a display.

#include "ecosystem/render/viewfrustum.h"
#include "lignet/gl/forestbatch.h"
#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/offscreencontext.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/gl/treetextures.h"
#include "lignet/treeparameterfile.h"
#include "lignet/treerenderer.h"

#include <QDir>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace {

using lignet::gl::TreeMeshDrawer;

constexpr int FrameSize = 512;

struct Plant {
    math::Vector3f position;
    double size;
    int levelOfDetail;
    int id;
};

// The view, the species tree with its textures, and the plants of one forest size.
struct Forest {
    std::unique_ptr<lignet::gl::OffscreenContext> view;
    std::unique_ptr<lignet::TreeRenderer> tree;
    lignet::gl::TreeTextures textures;
    std::vector<Plant> plants;
    const math::Vector3f eye{0.0f, 25.0f, 20.0f};
};

// Released before the application object goes.
std::map<int, Forest> &forests()
{
    static std::map<int, Forest> all;
    return all;
}

Forest *forestOf(int count, std::string *error)
{
    auto found = forests().find(count);
    if (found != forests().end())
        return &found->second;
    Forest f;
    f.view = std::make_unique<lignet::gl::OffscreenContext>(QSize(FrameSize, FrameSize));
    if (!f.view->isValid()) {
        *error = f.view->error().toStdString();
        return nullptr;
    }
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(FrameSize, FrameSize);
    f.tree = std::make_unique<lignet::TreeRenderer>();
    if (!lignet::TreeParameterFile::load(f.tree->designedParameters(),
                                         "bin/zbirka-4/manjseDefault100_vecjiListi.tree.xml", error))
        return nullptr;
    f.textures.bark = lignet::gl::uploadTreeTexture(":/gui/textures/bark.jpg");
    f.textures.leaf = lignet::gl::uploadTreeTexture(":/gui/textures/leaf.png");
    // A square grid 6 units apart in front of the eye.
    const int side = static_cast<int>(std::ceil(std::sqrt(count)));
    for (int i = 0; i < count; ++i) {
        const math::Vector3f p{static_cast<float>(i % side - side / 2) * 6.0f, 0.0f,
                               -static_cast<float>(i / side) * 6.0f};
        const double distance = static_cast<double>((p - f.eye).length());
        f.plants.push_back(
            {p, 0.05 * (1 + i % 20), ecosystem::render::levelOfDetailForDistance(distance), i});
    }
    return &forests().emplace(count, std::move(f)).first->second;
}

void beginFrame(const Forest &f)
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glNormal3f(0.0f, 0.0f, 1.0f);
    gluLookAt(f.eye.x, f.eye.y, f.eye.z, 0.0, 0.0, -200.0, 0.0, 1.0, 0.0);
    const GLfloat light0[4] = {4609.0f, 0.0f, 5750.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light0);
}

void placePlant(lignet::TreeRenderer &tree, const Plant &p, bool wind)
{
    auto &s = tree.settings();
    s.growing = true;
    s.windOn = wind;
    s.spinAngle = p.id * 17.19;
    s.growthProgress = p.size;
    s.levelOfDetail = p.levelOfDetail;
}

void Reference(benchmark::State &state)
{
    std::string error;
    Forest *f = forestOf(static_cast<int>(state.range(0)), &error);
    if (!f) {
        state.SkipWithError(error.c_str());
        return;
    }
    f->view->makeCurrent();
    for (auto _ : state) {
        beginFrame(*f);
        for (const Plant &p : f->plants) {
            glPushMatrix();
            glTranslatef(p.position.x, p.position.y, p.position.z);
            placePlant(*f->tree, p, false);
            lignet::gl::drawTreeAtLevelOfDetail(*f->tree, f->textures, p.levelOfDetail);
            glPopMatrix();
        }
        glFinish();
    }
    state.counters["plants"] = static_cast<double>(f->plants.size());
    state.counters["draw_calls"] = 0; // immediate mode: one glBegin/glEnd per primitive
}

// Draws the forest with a batch; the first (untimed) frame fills the mesh cache.
void meshFrames(benchmark::State &state, TreeMeshDrawer::Path path, bool wind)
{
    std::string error;
    Forest *f = forestOf(static_cast<int>(state.range(0)), &error);
    if (!f) {
        state.SkipWithError(error.c_str());
        return;
    }
    f->view->makeCurrent();
    lignet::gl::GpuMeshCache cache;
    TreeMeshDrawer drawer;
    drawer.setPath(path);
    lignet::gl::ForestBatch batch(cache, drawer);
    const auto frame = [&] {
        beginFrame(*f);
        batch.begin();
        for (const Plant &p : f->plants) {
            placePlant(*f->tree, p, wind);
            batch.add(*f->tree, f->textures, p.position);
        }
        batch.flush();
        glFinish();
    };
    frame();
    for (auto _ : state)
        frame();
    const auto &stats = batch.stats();
    state.counters["plants"] = static_cast<double>(stats.plants);
    state.counters["meshes"] = static_cast<double>(stats.meshes);
    state.counters["triangles"] = static_cast<double>(stats.draw.triangles);
    state.counters["draw_calls"] = static_cast<double>(stats.draw.drawCalls);
    state.counters["cache_MiB"] = static_cast<double>(cache.stats().bytes) / (1 << 20);
    batch.release();
    cache.clear();
    drawer.release();
}

void MeshFixed(benchmark::State &state)
{
    meshFrames(state, TreeMeshDrawer::Path::Fixed, false);
}

void MeshInstanced(benchmark::State &state)
{
    meshFrames(state, TreeMeshDrawer::Path::Instanced, false);
}

// Wind: every plant walked into a streaming buffer every frame (each keeps its own phase).
void WindStreamedPerPlant(benchmark::State &state)
{
    meshFrames(state, TreeMeshDrawer::Path::Instanced, true);
}

// Wind with one shared phase per frame: each distinct (growth, level of detail) mesh rebuilt once
// per frame and drawn instanced. Cheaper, but every plant of a stage sways in step, which the
// reference does not do; it bounds what animating shared meshes (on the CPU or in a vertex
// shader) could gain.
void WindSharedPhase(benchmark::State &state)
{
    std::string error;
    Forest *f = forestOf(static_cast<int>(state.range(0)), &error);
    if (!f) {
        state.SkipWithError(error.c_str());
        return;
    }
    f->view->makeCurrent();
    lignet::gl::GpuMeshCache cache;
    TreeMeshDrawer drawer;
    drawer.setPath(TreeMeshDrawer::Path::Instanced);
    std::map<std::pair<double, int>, std::vector<lignet::gl::MeshInstance>> groups;
    for (const Plant &p : f->plants)
        groups[{p.size, p.levelOfDetail}].push_back({p.position.x, p.position.y, p.position.z, 1.0f});
    std::vector<std::unique_ptr<lignet::gl::GpuTreeMesh>> meshes;
    for (std::size_t i = 0; i < groups.size(); ++i)
        meshes.push_back(std::make_unique<lignet::gl::GpuTreeMesh>());
    const lignet::gl::TreeTextures &textures = f->textures;
    for (auto _ : state) {
        beginFrame(*f);
        std::size_t i = 0;
        for (const auto &[key, instances] : groups) {
            placePlant(*f->tree, Plant{{}, key.first, key.second, 0}, true);
            cache.buildInto(*f->tree, *meshes[i]);
            drawer.draw(*meshes[i], textures, instances);
            ++i;
        }
        glFinish();
    }
    state.counters["plants"] = static_cast<double>(f->plants.size());
    state.counters["meshes"] = static_cast<double>(groups.size());
    state.counters["draw_calls"] =
        static_cast<double>(drawer.counters().drawCalls) / static_cast<double>(state.iterations());
    meshes.clear();
    drawer.release();
}

BENCHMARK(Reference)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MeshFixed)->Arg(300)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MeshInstanced)->Arg(300)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WindStreamedPerPlant)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WindSharedPhase)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    for (auto &[count, forest] : forests())
        if (forest.view->makeCurrent())
            lignet::gl::releaseTreeTextures(forest.textures);
    forests().clear();
    return 0;
}
