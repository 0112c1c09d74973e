#pragma once

#include "lignet/treemesh.h"
#include "meshexport/exportscene.h"

namespace meshexport {

// The triangles of one batch of a tree drawing as a primitive of their own: only the vertices the
// batch uses, in the order of first use, normals scaled to unit length and texture coordinates
// turned from OpenGL's (t up from the bottom row) to v down from the top row. A batch of lines or
// points, or one the drawing lacks, gives an empty primitive.
ExportPrimitive primitiveOfBatch(const lignet::TreeMesh &mesh, lignet::MeshBatchKind kind, int material);

// A unit vector along n; straight up when n has no length (a validator rejects zero normals).
math::Vector3f unitNormal(math::Vector3f n);

} // namespace meshexport
