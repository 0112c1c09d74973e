#include "meshexport/exportscene.h"

#include <algorithm>

namespace meshexport {

void ExportPrimitive::updateBounds()
{
    boundsMin = {};
    boundsMax = {};
    if (positions.empty())
        return;
    boundsMin = boundsMax = positions.front();
    for (const math::Vector3f &p : positions) {
        boundsMin = {std::min(boundsMin.x, p.x), std::min(boundsMin.y, p.y), std::min(boundsMin.z, p.z)};
        boundsMax = {std::max(boundsMax.x, p.x), std::max(boundsMax.y, p.y), std::max(boundsMax.z, p.z)};
    }
}

namespace {

template <typename T> int append(std::vector<T> &items, T item)
{
    items.push_back(std::move(item));
    return static_cast<int>(items.size()) - 1;
}

} // namespace

int ExportScene::addPicture(ExportPicture picture)
{
    return append(pictures, std::move(picture));
}

int ExportScene::addMaterial(ExportMaterial material)
{
    return append(materials, std::move(material));
}

int ExportScene::addMesh(ExportMesh mesh)
{
    return append(meshes, std::move(mesh));
}

int ExportScene::addNode(ExportNode node)
{
    return append(nodes, std::move(node));
}

std::size_t ExportMesh::triangleCount() const
{
    std::size_t count = 0;
    for (const ExportPrimitive &primitive : primitives)
        count += primitive.triangleCount();
    return count;
}

bool ExportMesh::empty() const
{
    return std::all_of(primitives.begin(), primitives.end(),
                       [](const ExportPrimitive &primitive) { return primitive.empty(); });
}

std::size_t ExportScene::triangleCount() const
{
    std::size_t count = 0;
    for (const ExportMesh &mesh : meshes)
        count += mesh.triangleCount();
    return count;
}

} // namespace meshexport
