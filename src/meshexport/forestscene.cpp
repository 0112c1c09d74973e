#include "meshexport/forestscene.h"

#include "ecosystem/simulation/speciestable.h"
#include "lignet/treemeshsink.h"
#include "meshexport/batchmesh.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>

namespace meshexport {

ExportPrimitive terrainPrimitive(const ecosystem::TerrainModel &terrain, int material)
{
    ExportPrimitive mesh;
    mesh.material = material;
    const int w = terrain.width();
    const int h = terrain.height();
    const std::vector<math::Vector3f> &normals = terrain.normals();
    mesh.positions = terrain.vertices();
    mesh.normals.reserve(mesh.positions.size());
    mesh.texCoords.reserve(mesh.positions.size());
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            const auto i = static_cast<std::size_t>(c + r * w);
            mesh.normals.push_back(unitNormal(i < normals.size() ? normals[i] : math::Vector3f{}));
            // The frame's texture coordinates (c / W, r / H), turned to v down from the top row.
            mesh.texCoords.push_back({static_cast<float>(c) / static_cast<float>(w),
                                      1.0f - static_cast<float>(r) / static_cast<float>(h)});
        }
    }
    for (int r = 0; r + 1 < h; ++r) {
        for (int c = 0; c + 1 < w; ++c) {
            const auto a = static_cast<std::uint32_t>(c + r * w);
            const auto b = a + static_cast<std::uint32_t>(w);
            mesh.indices.insert(mesh.indices.end(), {a, b, a + 1, a + 1, b, b + 1});
        }
    }
    mesh.updateBounds();
    return mesh;
}

double growthProgressFor(float size, int growthStages)
{
    const double progress = std::min(static_cast<double>(size), 1.0);
    if (growthStages <= 0 || !std::isfinite(progress))
        return progress;
    const double stages = static_cast<double>(growthStages);
    return std::round(progress * stages) / stages;
}

namespace {

std::string sizeText(float size)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, size);
    return std::string(text, result.ptr);
}

// The meshes of one tree model, drawn on demand per plant size with a copy of the model.
class SpeciesMeshes {
public:
    SpeciesMeshes(const lignet::TreeRenderer &model, std::string name, TreeMaterials materials,
                  const ForestExportOptions &options)
        : tree_(model.designedParameters()), name_(std::move(name)), materials_(materials), options_(options)
    {
        tree_.settings().growthStep = model.settings().growthStep;
    }

    // The mesh for a plant of `size`; -1 when the drawing has no triangles.
    int mesh(ExportScene &scene, float size, std::size_t &drawn)
    {
        const double progress = growthProgressFor(size, options_.growthStages);
        const auto key = std::bit_cast<std::uint64_t>(progress);
        if (const auto found = cache_.find(key); found != cache_.end())
            return found->second;
        lignet::TreeDrawSettings &s = tree_.settings();
        s.growing = true;
        s.growthProgress = progress;
        tree_.drawTreeAtLevelOfDetail(sink_, std::clamp(options_.levelOfDetail, 0, 5));
        lignet::TreeMesh drawing;
        sink_.finish(drawing);
        ++drawn;
        ExportMesh mesh{name_ + " " + sizeText(static_cast<float>(progress)), {}};
        ExportPrimitive bark =
            primitiveOfBatch(drawing, lignet::MeshBatchKind::BarkTriangles, materials_.bark);
        if (!bark.empty())
            mesh.primitives.push_back(std::move(bark));
        ExportPrimitive leaves =
            primitiveOfBatch(drawing, lignet::MeshBatchKind::LeafTriangles, materials_.leaf);
        if (!leaves.empty() && materials_.leaf >= 0)
            mesh.primitives.push_back(std::move(leaves));
        const int id = mesh.primitives.empty() ? -1 : scene.addMesh(std::move(mesh));
        cache_.emplace(key, id);
        return id;
    }

private:
    lignet::TreeRenderer tree_;
    lignet::TreeMeshSink sink_;
    std::string name_;
    TreeMaterials materials_;
    ForestExportOptions options_;
    std::map<std::uint64_t, int> cache_;
};

} // namespace

ExportScene forestScene(const ecosystem::EcosystemScene &scene, const ForestPictures &pictures,
                        const ForestExportOptions &options, ForestCounts *counts)
{
    ExportScene out;
    out.name = "forest";
    ForestCounts tally;
    ExportNode root{"forest", -1, {}, {}};

    const int terrainPicture =
        pictures.terrainPng.empty() ? -1 : out.addPicture({"terrain", pictures.terrainPng});
    const int terrainMaterial = out.addMaterial({"terrain", terrainPicture, AlphaMode::Opaque, 0.5f, false});
    const int terrain = out.addMesh({"terrain", {terrainPrimitive(scene.terrain(), terrainMaterial)}});
    root.children.push_back(out.addNode({"terrain", terrain, {}, {}}));

    // Materials per tree model, added when a species first needs them.
    std::array<std::unique_ptr<SpeciesMeshes>, ecosystem::EcosystemScene::TreeCount> models;
    for (const ecosystem::Species &species : scene.simulation().species()) {
        const std::size_t treeIndex = ecosystem::EcosystemScene::treeIndexForSpecies(species.index);
        const std::string name = ecosystem::speciesName(species.index);
        ExportNode group{name, -1, {}, {}};
        for (const ecosystem::Plant &plant : species.plants) {
            if (options.area && !options.area->contains(plant.cellX, plant.cellY))
                continue;
            if (!models[treeIndex]) {
                const lignet::TreeRenderer &model = scene.tree(treeIndex);
                const TreeMaterials materials = addTreeMaterials(out, name, pictures.trees[treeIndex],
                                                                 model.designedParameters().displayLeaves);
                models[treeIndex] = std::make_unique<SpeciesMeshes>(model, name, materials, options);
            }
            // A seedling too small to have a strand draws nothing; its node still marks the plant.
            const int mesh = models[treeIndex]->mesh(out, plant.size, tally.treeMeshes);
            group.children.push_back(
                out.addNode({"plant " + std::to_string(plant.id), mesh, plant.position, {}}));
            ++tally.plants;
        }
        if (!group.children.empty())
            root.children.push_back(out.addNode(std::move(group)));
    }
    out.roots.push_back(out.addNode(std::move(root)));
    if (counts != nullptr)
        *counts = tally;
    return out;
}

} // namespace meshexport
