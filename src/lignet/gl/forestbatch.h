#pragma once

#include "lignet/gl/gputreemesh.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treemeshsink.h"
#include "math/mat4.h"

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace lignet {
class TreeRenderer;
}

namespace lignet::gl {

class GpuMeshCache;
class ImpostorAtlas;
class ImpostorSet;

// What one forest frame drew.
struct ForestFrameStats {
    std::uint64_t plants = 0;         // plants added
    std::uint64_t meshPlants = 0;     // drawn from cached meshes (instanced or one draw per plant)
    std::uint64_t streamedPlants = 0; // rebuilt this frame (wind, a pending export)
    std::uint64_t impostorPlants = 0; // drawn as impostor quads
    std::uint64_t speckPlants = 0;    // below the smallest picture: a line each, some seedlings none
    std::uint64_t meshes = 0;         // distinct meshes drawn
    DrawCounters draw;                // triangles, lines, points and draw calls (impostor quads included)
};

// The trees of one ecosystem frame, drawn batched instead of one immediate-mode drawing per plant.
// The caller keeps its own loop (culling, level of detail, per-species counts) and, where it drew
// a plant, sets the tree's per-plant settings exactly as before and calls add() instead:
//
//   batch.begin();                       // camera modelview current
//   for each visible plant: set tree.settings() for the plant; batch.add(tree, textures, position, scale);
//   batch.flush();
//
// add() counts as that plant's drawing of the tree (its clocks advance as they would). A still
// plant (no wind) is drawn from the mesh cache: plants sharing a mesh are drawn together, with
// instancing where the drawer has it. A plant with wind (or with a vertex export pending) is
// walked on the spot into a per-tree streaming mesh with its placement applied on the CPU, drawn
// at flush. With an impostor set, a still plant whose projected height is below the threshold is
// drawn as an impostor quad, and one below the atlas's smallest picture
// (ImpostorAtlas::smallestCellHeight) as a speck: one line from its foot to the top of its lines
// in their colour. Its triangles are thinner than a pixel there and seldom cover one, while its
// hundreds of lines merge into the pixel or two the speck lights (a tree without lines is drawn
// whole). Order at flush: meshes in order of first use, streamed trees, impostor quads, specks. Every call
// needs a context of the cache's share group current; add() and flush() must find the frame's
// camera modelview current (no plant translation pushed).
class ForestBatch {
public:
    ForestBatch(GpuMeshCache &cache, TreeMeshDrawer &drawer);
    ~ForestBatch();
    ForestBatch(const ForestBatch &) = delete;
    ForestBatch &operator=(const ForestBatch &) = delete;

    // Far-field tier: impostors for plants below thresholdPixels of projected height (infinity:
    // every still plant as a quad, however small or near); null (the default) draws every plant
    // exactly.
    void setImpostors(ImpostorSet *impostors, double thresholdPixels);
    double impostorThreshold() const { return m_threshold; }

    // Starts a frame: reads the modelview, projection and viewport for the far-field test.
    void begin();
    // The projected height in pixels of a plant, with the tree's settings for it, as the far-field
    // test of add() would find it; NaN when add() would not consider it for the far field (no
    // impostor set, wind, no picture). Between begin() and the plant's add(), so that a frame can
    // look at its plants before it sets the threshold.
    double projectedHeight(TreeRenderer &tree, const TreeTextures &textures, const math::Vector3f &position,
                           float scale = 1.0f);
    void setImpostorThreshold(double thresholdPixels) { m_threshold = thresholdPixels; }
    void add(TreeRenderer &tree, const TreeTextures &textures, const math::Vector3f &position,
             float scale = 1.0f);
    void flush();

    const ForestFrameStats &stats() const { return m_stats; }
    // Frees the streaming buffers; a context of their share group must be current.
    void release();

private:
    struct Group {
        std::shared_ptr<const GpuTreeMesh> mesh;
        TreeTextures textures;
        std::vector<MeshInstance> instances;
    };
    struct Stream {
        TreeMeshSink sink;
        TreeMesh mesh;
        GpuTreeMesh gpu;
        TreeTextures textures;
        std::uint64_t plants = 0;
    };

    // The plant's atlas, prepared for its growth, or null; sets progress.
    ImpostorAtlas *preparedAtlas(TreeRenderer &tree, const TreeTextures &textures, double &progress);
    double pixelsOf(const ImpostorAtlas &atlas, double progress, const math::Vector3f &position,
                    float scale) const;
    // Adds the plant as an impostor or a speck; false when it is to be drawn exactly.
    bool addFarField(TreeRenderer &tree, const TreeTextures &textures, const math::Vector3f &position,
                     float scale);
    void addMesh(TreeRenderer &tree, const TreeTextures &textures, const math::Vector3f &position,
                 float scale);
    void addStreamed(TreeRenderer &tree, const TreeTextures &textures, const math::Vector3f &position,
                     float scale);
    void drawStream(Stream &stream);

    GpuMeshCache &m_cache;
    TreeMeshDrawer &m_drawer;
    ImpostorSet *m_impostors = nullptr;
    double m_threshold = 0.0;
    math::Mat4 m_modelview;
    std::array<float, 16> m_projection{};
    int m_viewportHeight = 0;
    std::vector<Group> m_groups;
    std::unordered_map<const GpuTreeMesh *, std::size_t> m_groupOf; // group of each mesh
    // By tree model id and near or far leaf order.
    std::unordered_map<std::uint64_t, std::unique_ptr<Stream>> m_streams;
    ForestFrameStats m_stats;
};

} // namespace lignet::gl
