#include "forestpass.h"

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/speciesappearance.h"
#include "ecosystem/render/viewfrustum.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/treerenderer.h"

#include <algorithm>
#include <cstdlib>

std::vector<int> ForestPass::draw(ecosystem::render::EcosystemRender &model, const Options &options)
{
    using namespace ecosystem::render;
    const ViewFrustum frustum = ViewFrustum::fromCurrentMatrices();
    const math::Vector3f eye = model.getCamera()->position;
    const lignet::TreeDrawSettings &current = model.getCurrentTree()->settings();
    const bool wind = current.windOn;
    const bool spinning = current.spinning;
    for (lignet::TreeRenderer *tree : model.getTrees())
        tree->updateRevision();
    const double scale = options.treeScale;
    // VERDALIS_BENCH_CACHE_MIB sets the mesh cache's bound, to find a frame's working set.
    if (const char *mib = std::getenv("VERDALIS_BENCH_CACHE_MIB"))
        m_cache.setByteLimit(static_cast<std::size_t>(std::atol(mib)) << 20);
    m_drawer.setPath(options.fixedFunction ? lignet::gl::TreeMeshDrawer::Path::Fixed
                                           : lignet::gl::TreeMeshDrawer::Path::Instanced);
    m_batch.setImpostors(options.farField ? &m_impostors : nullptr, options.thresholdPixels);
    m_batch.begin();
    std::vector<int> counts;
    for (const auto &species : model.getSimulation().species()) {
        int drawn = 0;
        lignet::TreeRenderer &tree =
            *model.getTrees()[static_cast<std::size_t>(treeIndexForSpecies(species.index))];
        lignet::TreeDrawSettings &settings = tree.settings();
        for (const auto &plant : species.plants) {
            const math::Vector3f &p = plant.position;
            if (!frustum.isSphereVisible(p.x, p.y + 2.5 * scale, p.z, 5.0 * scale))
                continue;
            ++drawn;
            settings.wireframe = model.isWireframe();
            settings.growing = true;
            settings.windOn = wind;
            settings.spinning = spinning;
            settings.spinAngle = static_cast<double>(plant.id) * 17.19;
            settings.growthProgress = std::min(static_cast<double>(plant.size), 1.0);
            settings.levelOfDetail = levelOfDetailForDistance(static_cast<double>((p - eye).length()));
            m_batch.add(tree, p, options.treeScale);
        }
        counts.push_back(drawn);
    }
    m_batch.flush();
    return counts;
}

void ForestPass::release()
{
    m_batch.release();
    m_impostors.release();
    m_cache.clear();
    m_drawer.release();
}
