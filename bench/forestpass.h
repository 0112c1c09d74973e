#pragma once

// The trees pass of the ecosystem frame drawn with a ForestBatch: the same culling, level of
// detail, per-plant settings and per-species counts as the render model's pass, with the plants
// batched by mesh (and, optionally, distant plants as impostors). The benchmark runs it after a
// frame drawn without trees, to measure the batched drawing before it is part of the render model.

#include "lignet/gl/forestbatch.h"
#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/impostorset.h"
#include "lignet/gl/treemeshdrawer.h"

#include <vector>

namespace ecosystem::render {
class EcosystemRender;
}

class ForestPass {
public:
    struct Options {
        bool farField = false;
        double thresholdPixels = 4.0;
        float treeScale = 1.0f;
        bool fixedFunction = false; // the fallback path instead of instancing
    };

    // Draws the plants of model into the current frame, whose modelview must be the frame's
    // camera (as after EcosystemRender::render). Returns the plants drawn per species.
    std::vector<int> draw(ecosystem::render::EcosystemRender &model, const Options &options);

    const lignet::gl::ForestFrameStats &stats() const { return m_batch.stats(); }
    lignet::gl::GpuMeshCache &cache() { return m_cache; }
    lignet::gl::TreeMeshDrawer &drawer() { return m_drawer; }
    // With the model's context current.
    void release();

private:
    lignet::gl::GpuMeshCache m_cache;
    lignet::gl::TreeMeshDrawer m_drawer;
    lignet::gl::ForestBatch m_batch{m_cache, m_drawer};
    lignet::gl::ImpostorSet m_impostors;
};
