#pragma once

#include "lignet/gl/gputreemesh.h"
#include "lignet/gl/treetextures.h"

namespace lignet {
class TreeRenderer;
}

namespace lignet::gl {

class GpuMeshCache;
class TreeMeshDrawer;

// The tree edit frame of drawTreeScene drawn from a mesh instead of immediate mode: the same
// clear, lights, orbit camera and spin, then the tree's mesh at level of detail 0. A still tree
// (no growth, no wind; spinning only turns the frame) comes from the cache and is rebuilt only
// after a change of its revision or draw settings; a growing or swaying tree, or one with a
// vertex export pending, is rebuilt every frame into a streaming buffer (the export is written
// during that walk, in the tree's own coordinates as drawTreeScene writes it). Needs a context
// of the cache's share group current.
class MeshTreeScene {
public:
    MeshTreeScene(GpuMeshCache &cache, TreeMeshDrawer &drawer);

    void draw(TreeRenderer &tree, const TreeTextures &textures, double up, double side, double distance,
              double pitch, double yaw);
    // Frees the streaming buffer; a context of its share group must be current.
    void release() { m_stream.release(); }

private:
    GpuMeshCache &m_cache;
    TreeMeshDrawer &m_drawer;
    GpuTreeMesh m_stream;
};

} // namespace lignet::gl
