#include "meshexport/batchmesh.h"

#include <limits>
#include <vector>

namespace meshexport {

math::Vector3f unitNormal(math::Vector3f n)
{
    const float length = n.length();
    if (!(length > 0.0f))
        return {0.0f, 1.0f, 0.0f};
    return n * (1.0f / length);
}

ExportPrimitive primitiveOfBatch(const lignet::TreeMesh &mesh, lignet::MeshBatchKind kind, int material)
{
    ExportPrimitive out;
    out.material = material;
    const lignet::MeshBatch *batch = mesh.batch(kind);
    if (batch == nullptr || batch->primitive != lignet::MeshPrimitive::Triangles)
        return out;

    constexpr std::uint32_t Unused = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> remap(mesh.vertexCount(), Unused);
    out.indices.reserve(batch->indexCount);
    for (std::uint32_t i = 0; i < batch->indexCount; ++i) {
        const std::uint32_t source = mesh.indices[batch->firstIndex + i];
        // A leaf point's triangle has no area of its own: only a vertex program gives it a pixel.
        if (i % 3 == 0 && mesh.isPointCorner(source)) {
            i += 2;
            continue;
        }
        std::uint32_t &target = remap[source];
        if (target == Unused) {
            target = static_cast<std::uint32_t>(out.positions.size());
            out.positions.push_back(mesh.positions[source]);
            out.normals.push_back(unitNormal(mesh.normals[source]));
            const std::array<float, 2> &st = mesh.texCoords[source];
            out.texCoords.push_back({st[0], 1.0f - st[1]});
        }
        out.indices.push_back(target);
    }
    out.updateBounds();
    return out;
}

} // namespace meshexport
