#pragma once

#include "math/vector3f.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lignet {

// The kinds of primitives one drawing of a tree consists of. Each kind has fixed drawing state in
// the immediate-mode drawing, so a kind is one batch.
enum class MeshBatchKind : std::uint8_t {
    BarkTriangles, // cylinders up to level of detail 5, bark texture
    BarkLines,     // one line per segment from level of detail 6 on, bark texture
    WireLines,     // wireframe prisms (black) and leaf outlines (white), untextured, no blending
    LeafTriangles, // four-slice leaf disks, each followed by its point's one-pixel triangle
    LeafPoints,    // the point at every leaf's centre, leaf texture, point size 1.4
};
inline constexpr int MeshBatchKindCount = 5;

enum class MeshPrimitive : std::uint8_t { Triangles, Lines, Points };
// Which of the tree's two textures a batch binds.
enum class MeshTexture : std::uint8_t { None, Bark, Leaf };

// One range of the index array and the drawing state the immediate-mode drawing has for it.
struct MeshBatch {
    MeshBatchKind kind = MeshBatchKind::BarkTriangles;
    MeshPrimitive primitive = MeshPrimitive::Triangles;
    MeshTexture texture = MeshTexture::None;
    bool textured = false;  // GL_TEXTURE_2D on, GL_MODULATE
    bool blended = false;   // GL_BLEND on, source alpha over one minus source alpha
    float pointSize = 1.0f; // glPointSize for points
    std::uint32_t firstIndex = 0;
    std::uint32_t indexCount = 0;
    // Triangles of the range that stand for leaf points (see TreeMesh::pointCorners).
    std::uint32_t pointTriangles = 0;

    // Triangles, lines or points in the range; a leaf point's triangle counts as its point's.
    std::uint32_t primitiveCount() const;
};

// The drawing state of a batch kind.
MeshBatch batchStateOf(MeshBatchKind kind);

// Batches are drawn bark first, then the leaves. The immediate-mode drawing draws each leaf's point
// right after its disk, at the disk's last texture coordinate (0.5, 1): a transparent texel of the
// leaf texture, so a point only writes depth and hides whatever is drawn after it behind it (later
// branches, leaves and plants). Which of those shows depends on the drawing order, leaf by leaf.
// A point cannot share a draw call with triangles, so the leaf batch carries each point also as a
// triangle right after its disk, which a vertex program shrinks onto the one pixel the point
// covers (pointCorners): drawn that way the batch keeps the drawing's order exactly. The
// fixed-function pipeline cannot place such a triangle (its corners coincide, so it draws
// nothing) and draws the point batch instead, on one side of the disks: near a tree a point mostly
// lies on its own disk, drawn before it, so points go after the disks; further away (level of
// detail 3, 45 units, on) disks shrink below a pixel and a point mostly meets other leaves' disks,
// half of them drawn after it, and points before the disks comes nearer to the picture there.
bool leafPointsBeforeDisks(int levelOfDetail);

// One drawing of a tree as indexed vertex arrays in the tree's own coordinates (trunk base at the
// origin, +y up), or in the coordinates of a placement when the sink was given one. The vertices
// carry the normal, texture coordinates and colour the immediate-mode drawing gives them; every
// normal is already in these coordinates. Index ranges are split into batches by kind.
struct TreeMesh {
    std::vector<math::Vector3f> positions;
    std::vector<math::Vector3f> normals;
    std::vector<std::array<float, 2>> texCoords;
    std::vector<std::array<float, 4>> colours;
    // Per vertex: 0, or 1 to 3 for the corners of a leaf point's triangle. The three corners lie at
    // the point; a vertex program moves them around the centre of the pixel the point falls in.
    std::vector<std::uint8_t> pointCorners;
    std::vector<std::uint32_t> indices;
    std::vector<MeshBatch> batches; // non-empty batches in drawing order
    math::Vector3f boundsMin;       // box around every vertex; both 0 for an empty mesh
    math::Vector3f boundsMax;
    bool wireframe = false; // drawn in wireframe: texturing and blending off for the tree

    std::size_t vertexCount() const { return positions.size(); }
    bool empty() const { return indices.empty(); }
    std::uint64_t triangleCount() const;
    std::uint64_t lineCount() const;
    std::uint64_t pointCount() const;
    // The batch of a kind, or nullptr when the drawing has none.
    const MeshBatch *batch(MeshBatchKind kind) const;
    // Whether a vertex is a corner of a leaf point's triangle.
    bool isPointCorner(std::uint32_t vertex) const
    {
        return vertex < pointCorners.size() && pointCorners[vertex] != 0;
    }
    // Bytes of the vertex and index arrays (what an upload needs).
    std::size_t byteSize() const;
    // Empties the arrays, keeping their capacity for the next build.
    void clear();
};

// Every vertex is 3 + 3 + 2 + 4 floats and a corner byte; uploads copy the arrays as they are.
static_assert(sizeof(math::Vector3f) == 3 * sizeof(float));
static_assert(sizeof(std::array<float, 2>) == 2 * sizeof(float));
static_assert(sizeof(std::array<float, 4>) == 4 * sizeof(float));

} // namespace lignet
