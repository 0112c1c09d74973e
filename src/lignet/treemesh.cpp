#include "lignet/treemesh.h"

namespace lignet {

std::uint32_t MeshBatch::primitiveCount() const
{
    switch (primitive) {
    case MeshPrimitive::Triangles:
        return indexCount / 3 - pointTriangles;
    case MeshPrimitive::Lines:
        return indexCount / 2;
    case MeshPrimitive::Points:
        return indexCount;
    }
    return 0;
}

MeshBatch batchStateOf(MeshBatchKind kind)
{
    MeshBatch b;
    b.kind = kind;
    switch (kind) {
    case MeshBatchKind::BarkTriangles:
        b.primitive = MeshPrimitive::Triangles;
        b.texture = MeshTexture::Bark;
        break;
    case MeshBatchKind::BarkLines:
        b.primitive = MeshPrimitive::Lines;
        b.texture = MeshTexture::Bark;
        break;
    case MeshBatchKind::WireLines:
        // The wireframe drawing switches texturing and blending off for the whole tree.
        b.primitive = MeshPrimitive::Lines;
        b.texture = MeshTexture::None;
        return b;
    case MeshBatchKind::LeafTriangles:
        b.primitive = MeshPrimitive::Triangles;
        b.texture = MeshTexture::Leaf;
        break;
    case MeshBatchKind::LeafPoints:
        b.primitive = MeshPrimitive::Points;
        b.texture = MeshTexture::Leaf;
        b.pointSize = 1.4f;
        break;
    }
    b.textured = true;
    b.blended = true;
    return b;
}

bool leafPointsBeforeDisks(int levelOfDetail)
{
    return levelOfDetail >= 3;
}

namespace {

std::uint64_t countOf(const TreeMesh &mesh, MeshPrimitive primitive)
{
    std::uint64_t count = 0;
    for (const MeshBatch &b : mesh.batches)
        if (b.primitive == primitive)
            count += b.primitiveCount();
    return count;
}

} // namespace

std::uint64_t TreeMesh::triangleCount() const
{
    return countOf(*this, MeshPrimitive::Triangles);
}

std::uint64_t TreeMesh::lineCount() const
{
    return countOf(*this, MeshPrimitive::Lines);
}

std::uint64_t TreeMesh::pointCount() const
{
    return countOf(*this, MeshPrimitive::Points);
}

const MeshBatch *TreeMesh::batch(MeshBatchKind kind) const
{
    for (const MeshBatch &b : batches)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

std::size_t TreeMesh::byteSize() const
{
    return positions.size() * sizeof(positions[0]) + normals.size() * sizeof(normals[0]) +
           texCoords.size() * sizeof(texCoords[0]) + colours.size() * sizeof(colours[0]) +
           pointCorners.size() + indices.size() * sizeof(indices[0]);
}

void TreeMesh::clear()
{
    positions.clear();
    normals.clear();
    texCoords.clear();
    colours.clear();
    pointCorners.clear();
    indices.clear();
    batches.clear();
    boundsMin = {};
    boundsMax = {};
    wireframe = false;
}

} // namespace lignet
