#pragma once

#include "lignet/quadricgeometry.h"
#include "lignet/treemesh.h"
#include "lignet/treesink.h"
#include "math/mat4.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lignet {

// Turns drawings of trees into a TreeMesh with the vertices the immediate-mode drawing sends: GLU
// cylinders and disks (see quadricgeometry.h), wireframe prisms, leaf outlines, single lines and
// leaf points, each vertex moved by its frame on the CPU.
//
// Immediate mode keeps a current colour, normal and texture coordinate that a primitive without
// its own inherits; the sink keeps the same three values and gives them to such vertices, so a
// line at level of detail 6 or a leaf point carries what the drawing leaves current. A normal is
// kept as it was given and turned by the frame of the vertex that uses it, as OpenGL does. Every
// tree starts from colour (1, 1, 1, 1), normal (0, 0, 1) (OpenGL's initial normal, and the one a
// drawing leaves after its last leaf) and texture coordinate (0, 0).
//
// Quads become two triangles split as Mesa splits a quad strip: (2k+2, 2k, 2k+3) and
// (2k, 2k+1, 2k+3), winding kept, so two-sided lighting sees the same faces. Wireframe quads become
// their four edges in the order a filled-as-lines quad strip draws them, (2k+3, 2k+2), (2k+2, 2k),
// (2k, 2k+1), (2k+1, 2k+3); a line loop becomes its closed chain of lines.
//
// Several drawings may go into one sink (for instance many plants, each with its placement);
// finish moves them out as one mesh, batched by kind, leaf points and disks in the order
// leafPointsBeforeDisks gives for the level of detail of the last drawing. Every leaf point is
// also a triangle of the leaf batch, right after its disk (TreeMesh::pointCorners).
class TreeMeshSink : public TreeSink {
public:
    TreeMeshSink();

    // Placement put in front of every frame of the drawings that follow (a plant's translation
    // and scale); the identity unless set. With a scale, normals are scaled back to unit length.
    void setPlacement(const math::Mat4 &placement);

    void beginTree(const TreeDrawSettings &settings) override;
    void branchColour(const std::array<float, 3> &rgb) override;
    void segment(const math::Mat4 &frame, const TreeSegment &segment) override;
    void branchEnd(const math::Mat4 &frame, const TreeBranchEnd &end) override;
    void leafOutline(const math::Mat4 &frame, const std::vector<math::Vector3f> &loop) override;
    void leaf(const math::Mat4 &frame, const TreeLeaf &leaf) override;

    // Replaces the content of mesh with everything drawn since the last finish (batches in
    // drawing order, bounds computed) and starts afresh.
    void finish(TreeMesh &mesh);
    // Vertices collected since the last finish.
    std::size_t vertexCount() const { return m_mesh.positions.size(); }

private:
    using Colour = std::array<float, 4>;
    using TexCoord = std::array<float, 2>;

    math::Mat4 placed(const math::Mat4 &frame) const;
    std::uint32_t addVertex(const math::Mat4 &m, const math::Vector3f &p, const math::Vector3f &rawNormal,
                            const TexCoord &texCoord);
    std::vector<std::uint32_t> &indices(MeshBatchKind kind) { return m_indices[static_cast<int>(kind)]; }
    void addCylinder(const math::Mat4 &m, const TreeSegment &segment);
    void addBarkLine(const math::Mat4 &m, float length);
    void addPrism(const math::Mat4 &m, float length, float baseRadius, float topRadius);

    // Drawing state of the current tree.
    bool m_wireframe = false;
    bool m_highQuality = false;
    int m_levelOfDetail = 0;
    // What immediate mode would have current.
    Colour m_colour{1.0f, 1.0f, 1.0f, 1.0f};
    math::Vector3f m_normal{0.0f, 0.0f, 1.0f};
    TexCoord m_texCoord{0.0f, 0.0f};

    std::uint32_t m_pointTriangles = 0; // leaf points' triangles since the last finish

    math::Mat4 m_placement;
    bool m_hasPlacement = false;
    bool m_normalize = false;

    QuadricSlices m_fiveSlices{5};
    QuadricSlices m_tenSlices{10};
    QuadricSlices m_leafSlices{4};
    std::vector<QuadricVertex> m_quadric; // reused per primitive

    TreeMesh m_mesh; // vertex arrays being filled; indices are kept per kind until finish
    std::array<std::vector<std::uint32_t>, MeshBatchKindCount> m_indices;
};

} // namespace lignet
