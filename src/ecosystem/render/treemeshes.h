#pragma once

#include "lignet/gl/forestbatch.h"
#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/impostorset.h"
#include "lignet/gl/meshtreescene.h"
#include "lignet/gl/treemeshdrawer.h"

#include "ecosystem/render/sharegroupcontext.h"

#include <QObject>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

class QOpenGLContext;

namespace ecosystem::render {

// What the trees of the last frame sent to OpenGL.
struct TreeDrawCounts {
    std::uint64_t triangles = 0;
    std::uint64_t drawCalls = 0;
};

// The tree meshes every view draws from: the uploaded mesh cache, the drawer (instanced where the
// context offers it, else one fixed-function draw per plant), the forest batch, the far-field
// impostors and the tree edit frame from meshes. The buffers live in the share group of the
// context given at construction and are released when this object goes, or earlier when the
// group's long-lived context is about to be destroyed (made current on a surface of our own), as
// SceneTextures does with the texture names.
class TreeMeshes : public QObject {
    Q_OBJECT

public:
    // Projected height in pixels under which a still plant is drawn as an impostor (see
    // bench/README.md for the pictures and frame times it was chosen from).
    static constexpr double DefaultImpostorThreshold = 16.0;
    // The same with "Fast distant trees": a grown forest's frame at rest in a fraction of a second
    // instead of seconds, near trees up to this height drawn as pictures too (bench/README.md).
    static constexpr double FastImpostorThreshold = 64.0;
    // A frame at rest draws exactly no more above the threshold than this many grown trees would
    // cost (a plant counts as the square of its growth, as its mesh's triangles grow about so).
    // Where more stand there (a grown forest seen from afar), the frame raises its threshold, up to
    // FastImpostorThreshold, and keeps to about half a second (bench/README.md); a view among young
    // or few trees keeps the threshold.
    static constexpr double DefaultExactDrawingBudget = 150.0;

    // The mesh cache's bound: a quarter of the machine's memory, at least 256 MiB and at most
    // 2 GiB. The exact frame of a 300-step forest needs about 1.5 GiB of meshes (bench/README.md);
    // with less, the cache keeps what fits and rebuilds the rest each frame.
    static constexpr std::size_t MinimumCacheBytes = std::size_t{256} << 20;
    static constexpr std::size_t MaximumCacheBytes = std::size_t{2} << 30;
    static std::size_t meshCacheBound();

    // `context` is current.
    explicit TreeMeshes(QOpenGLContext *context);
    ~TreeMeshes() override;
    TreeMeshes(const TreeMeshes &) = delete;
    TreeMeshes &operator=(const TreeMeshes &) = delete;

    lignet::gl::GpuMeshCache &cache() { return meshCache; }
    lignet::gl::TreeMeshDrawer &drawer() { return meshDrawer; }
    lignet::gl::ForestBatch &forest() { return forestBatch; }
    lignet::gl::ImpostorSet &impostors() { return impostorSet; }
    lignet::gl::MeshTreeScene &treeScene() { return scene; }

    double impostorThreshold() const { return threshold; }
    void setImpostorThreshold(double pixels) { threshold = pixels; }
    // In grown trees, as DefaultExactDrawingBudget.
    double exactDrawingBudget() const { return budget; }
    void setExactDrawingBudget(double grownTrees) { budget = grownTrees; }
    // While the simulation runs, every still plant the far-field tier can take is an impostor: a
    // grown forest's exact frame takes seconds, and the window must keep answering between steps.
    void setSimulationRunning(bool running) { simulationRunning = running; }
    bool isSimulationRunning() const { return simulationRunning; }
    // The same while the camera coasts after a navigation key (a frame is drawn every tick of the
    // motion) and a moment after it has come to rest; the exact frame follows.
    void setCameraMoving(bool moving) { cameraMoving = moving; }
    bool isCameraMoving() const { return cameraMoving; }
    // The threshold the next frame uses; fast (the "Fast distant trees" option) raises it to
    // FastImpostorThreshold.
    double frameImpostorThreshold(bool fast = false) const
    {
        if (simulationRunning || cameraMoving)
            return std::numeric_limits<double>::infinity();
        return fast ? std::max(threshold, FastImpostorThreshold) : threshold;
    }

    // Frees every buffer, program and atlas; a context of the group must be current.
    void releaseAll();

private:
    ShareGroupContext group;
    lignet::gl::GpuMeshCache meshCache;
    lignet::gl::TreeMeshDrawer meshDrawer;
    lignet::gl::ForestBatch forestBatch{meshCache, meshDrawer};
    lignet::gl::ImpostorSet impostorSet;
    lignet::gl::MeshTreeScene scene{meshCache, meshDrawer};
    double threshold = DefaultImpostorThreshold;
    double budget = DefaultExactDrawingBudget;
    bool simulationRunning = false;
    bool cameraMoving = false;
};

} // namespace ecosystem::render
