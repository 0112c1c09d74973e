#include "meshexport/treescene.h"

#include "lignet/treemeshsink.h"
#include "lignet/treerenderer.h"
#include "meshexport/batchmesh.h"

namespace meshexport {

lignet::TreeMesh drawTreeMesh(const lignet::TreeParameters &parameters, const TreeExportOptions &options)
{
    lignet::TreeParameters set = parameters;
    if (!options.leaves)
        set.displayLeaves = false;
    lignet::TreeRenderer tree(set);
    tree.settings().highQuality = options.highQuality;
    lignet::TreeMeshSink sink;
    tree.drawTreeAtLevelOfDetail(sink, 0);
    lignet::TreeMesh mesh;
    sink.finish(mesh);
    return mesh;
}

TreeMaterials addTreeMaterials(ExportScene &scene, const std::string &name, const TreePictures &pictures,
                               bool withLeaf)
{
    TreeMaterials materials;
    ExportMaterial bark{name + " bark", -1, AlphaMode::Opaque, 0.5f, false};
    if (!pictures.barkPng.empty())
        bark.picture = scene.addPicture({name + " bark", pictures.barkPng});
    materials.bark = scene.addMaterial(std::move(bark));
    if (withLeaf) {
        // Engines sort cut-out leaves without trouble; blended ones flicker in a crown.
        ExportMaterial leaf{name + " leaf", -1, AlphaMode::Mask, 0.5f, true};
        if (!pictures.leafPng.empty())
            leaf.picture = scene.addPicture({name + " leaf", pictures.leafPng});
        materials.leaf = scene.addMaterial(std::move(leaf));
    }
    return materials;
}

ExportScene treeScene(const lignet::TreeParameters &parameters, const std::string &name,
                      const TreeExportOptions &options, const TreePictures &pictures)
{
    const lignet::TreeMesh drawing = drawTreeMesh(parameters, options);
    const lignet::MeshBatch *leafBatch = drawing.batch(lignet::MeshBatchKind::LeafTriangles);
    const bool hasLeaves = leafBatch != nullptr && leafBatch->primitiveCount() > 0;

    ExportScene scene;
    scene.name = name;
    const TreeMaterials materials = addTreeMaterials(scene, name, pictures, hasLeaves);
    ExportNode root{name, -1, {}, {}};
    ExportPrimitive bark = primitiveOfBatch(drawing, lignet::MeshBatchKind::BarkTriangles, materials.bark);
    if (!bark.empty())
        root.children.push_back(
            scene.addNode({"bark", scene.addMesh({name + " bark", {std::move(bark)}}), {}, {}}));
    if (hasLeaves) {
        ExportPrimitive leaves =
            primitiveOfBatch(drawing, lignet::MeshBatchKind::LeafTriangles, materials.leaf);
        root.children.push_back(
            scene.addNode({"leaves", scene.addMesh({name + " leaves", {std::move(leaves)}}), {}, {}}));
    }
    scene.roots.push_back(scene.addNode(std::move(root)));
    return scene;
}

} // namespace meshexport
