#include "ecosystem/render/treespass.h"

#include "ecosystem/render/scenetextures.h"
#include "ecosystem/render/speciesappearance.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/render/viewfrustum.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "lignet/gl/gltreesink.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/projectedsize.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

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

// The tree's settings for drawing one plant: its growth from the plant's size, the current tree's
// wind and spin, a turn of its own and the level of detail of its distance from the eye.
void setPlantSettings(lignet::TreeDrawSettings &plantSettings, const lignet::TreeDrawSettings &current,
                      const Plant &plant, const math::Vector3f &eye, bool wireframe)
{
    plantSettings.wireframe = wireframe;
    plantSettings.growing = true;
    plantSettings.windOn = current.windOn;
    plantSettings.spinning = current.spinning;
    plantSettings.spinAngle = static_cast<double>(plant.id) * 17.19;
    plantSettings.growthProgress = std::min(static_cast<double>(plant.size), 1.0);
    const double distance = static_cast<double>((plant.position - eye).length());
    plantSettings.levelOfDetail = levelOfDetailForDistance(distance);
}

bool isPlantVisible(const ViewFrustum &frustum, const Plant &plant, float scale)
{
    const math::Vector3f &p = plant.position;
    return frustum.isSphereVisible(p.x, p.y + 2.5 * scale, p.z, 5.0 * scale);
}

// The frame's impostor threshold: the meshes' own, raised where the plants above it would cost more
// than the meshes' exact-drawing budget (they are measured as the batch will find them).
double budgetedThreshold(EcosystemScene &scene, const SceneTextures &textures, const math::Vector3f &eye,
                         const TreesPassSettings &settings, const ViewFrustum &frustum, double threshold)
{
    TreeMeshes &meshes = *settings.meshes;
    const double ceiling = std::max(threshold, TreeMeshes::FastImpostorThreshold);
    if (!std::isfinite(threshold) || !(ceiling > threshold))
        return threshold;
    lignet::gl::ForestBatch &batch = meshes.forest();
    const lignet::TreeDrawSettings &current = scene.currentTree().settings();
    std::vector<lignet::ProjectedPlant> plants;
    for (const Species &species : scene.simulation().species()) {
        const std::size_t treeIndex = EcosystemScene::treeIndexForSpecies(species.index);
        lignet::TreeRenderer &tree = scene.tree(treeIndex);
        const BorrowedTreeSettings borrowed(tree.settings());
        for (const Plant &plant : species.plants) {
            if (!isPlantVisible(frustum, plant, settings.treeScale))
                continue;
            setPlantSettings(tree.settings(), current, plant, eye, settings.wireframe);
            const double height =
                batch.projectedHeight(tree, textures.tree(treeIndex), plant.position, settings.treeScale);
            const double growth = tree.settings().growthProgress;
            if (!std::isnan(height))
                plants.push_back({height, growth * growth});
        }
    }
    return lignet::thresholdWithinBudget(plants, threshold, ceiling, meshes.exactDrawingBudget());
}

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
        const double threshold = settings.meshes->frameImpostorThreshold(settings.fastDistantTrees);
        batch->setImpostors(settings.exactDistantTrees ? nullptr : &settings.meshes->impostors(), threshold);
        batch->begin();
        if (settings.drawTrees && !settings.exactDistantTrees && !settings.fastDistantTrees)
            batch->setImpostorThreshold(
                budgetedThreshold(scene, textures, eye, settings, frustum, threshold));
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
            if (!isPlantVisible(frustum, plant, scale))
                continue;
            const math::Vector3f &p = plant.position;
            ++drawn;
            if (disks) {
                glPushMatrix();
                glTranslatef(p.x, p.y, p.z);
                drawNeighbourhood(species.index, plant.height, settings.lightingEnabled);
                glPopMatrix();
            }
            if (!settings.drawTrees)
                continue;
            setPlantSettings(treeSettings, current, plant, eye, settings.wireframe);
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
