#include "ecosystem/render/treespass.h"

#include "ecosystem/render/scenetextures.h"
#include "ecosystem/render/speciesappearance.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/render/viewfrustum.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "lignet/gl/gltreesink.h"
#include "lignet/gl/treedrawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

namespace ecosystem::render {

namespace {

void drawNeighbourhood(int speciesIndex, float radius, bool lightingEnabled)
{
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    unsigned char rgb[3];
    neighbourhoodColour(speciesIndex, rgb);
    glColor3ub(rgb[0], rgb[1], rgb[2]);
    gluDisk(lignet::gl::treeQuadric(), 0.0, radius, 16, 1);
    if (lightingEnabled)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

// Every plant is drawn with its species' tree model under per-plant settings. The model is also a
// tree of tree edit mode (and may be the current tree, whose switches the menus show), so it gets
// its own settings back afterwards; only the wind clock keeps running.
class BorrowedTreeSettings {
public:
    explicit BorrowedTreeSettings(lignet::TreeDrawSettings &settings) : settings_(settings), own_(settings) {}
    ~BorrowedTreeSettings()
    {
        const double windTime = settings_.windTime;
        settings_ = own_;
        settings_.windTime = windTime;
    }
    BorrowedTreeSettings(const BorrowedTreeSettings &) = delete;
    BorrowedTreeSettings &operator=(const BorrowedTreeSettings &) = delete;

private:
    lignet::TreeDrawSettings &settings_;
    const lignet::TreeDrawSettings own_;
};

} // namespace

TreesPassResult drawTreesPass(EcosystemScene &scene, const SceneTextures &textures, const math::Vector3f &eye,
                              const TreesPassSettings &settings)
{
    const ViewFrustum frustum = ViewFrustum::fromCurrentMatrices();
    const lignet::TreeDrawSettings &current = scene.currentTree().settings();
    const bool disks = settings.showNeighbourhood && lignet::gl::treeQuadric() != nullptr;
    const float scale = settings.treeScale;
    lignet::gl::ForestBatch *batch = settings.meshes != nullptr ? &settings.meshes->forest() : nullptr;
    if (batch != nullptr) {
        // Edits made through the designed parameters (dialogs, designer, file loads) show in this
        // frame: a tree whose parameters changed gets a new revision, and its old meshes go.
        for (std::size_t i = 0; i < EcosystemScene::TreeCount; ++i)
            scene.tree(i).updateRevision();
        batch->setImpostors(settings.exactDistantTrees ? nullptr : &settings.meshes->impostors(),
                            settings.meshes->frameImpostorThreshold(settings.fastDistantTrees));
        batch->begin();
    }
    const bool scaled = scale != 1.0f;
    if (scaled && batch == nullptr)
        glEnable(GL_RESCALE_NORMAL);
    TreesPassResult result;
    lignet::gl::DrawCounters immediate;
    result.drawnPerSpecies.reserve(scene.simulation().species().size());
    for (const Species &species : scene.simulation().species()) {
        int drawn = 0;
        const std::size_t treeIndex = EcosystemScene::treeIndexForSpecies(species.index);
        lignet::TreeRenderer &tree = scene.tree(treeIndex);
        lignet::TreeDrawSettings &treeSettings = tree.settings();
        const lignet::gl::TreeTextures &treeTextures = textures.tree(treeIndex);
        const BorrowedTreeSettings borrowed(treeSettings);
        for (const Plant &plant : species.plants) {
            const math::Vector3f &p = plant.position;
            if (!frustum.isSphereVisible(p.x, p.y + 2.5 * scale, p.z, 5.0 * scale))
                continue;
            ++drawn;
            if (disks) {
                glPushMatrix();
                glTranslatef(p.x, p.y, p.z);
                drawNeighbourhood(species.index, plant.height, settings.lightingEnabled);
                glPopMatrix();
            }
            if (!settings.drawTrees)
                continue;
            treeSettings.wireframe = settings.wireframe;
            treeSettings.growing = true;
            treeSettings.windOn = current.windOn;
            treeSettings.spinning = current.spinning;
            treeSettings.spinAngle = static_cast<double>(plant.id) * 17.19;
            treeSettings.growthProgress = std::min(static_cast<double>(plant.size), 1.0);
            const double distance = static_cast<double>((p - eye).length());
            treeSettings.levelOfDetail = levelOfDetailForDistance(distance);
            if (batch != nullptr) {
                batch->add(tree, treeTextures, p, scale);
                continue;
            }
            glPushMatrix();
            glTranslatef(p.x, p.y, p.z);
            if (scaled)
                glScalef(scale, scale, scale);
            lignet::gl::drawTree(tree, treeTextures, &immediate);
            glPopMatrix();
        }
        result.drawnPerSpecies.push_back(drawn);
    }
    if (scaled && batch == nullptr)
        glDisable(GL_RESCALE_NORMAL);
    if (batch != nullptr) {
        batch->flush();
        immediate = batch->stats().draw;
    }
    result.triangles = immediate.triangles;
    result.drawCalls = immediate.drawCalls;
    return result;
}

} // namespace ecosystem::render
