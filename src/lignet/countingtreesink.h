#pragma once

#include "lignet/treesink.h"

namespace lignet {

// Counts the branch segments and leaves that drawings of a tree produce and draws nothing;
// the counts add up over every drawing made into the same sink.
class CountingTreeSink : public TreeSink {
public:
    long long segments = 0;
    long long leaves = 0;
    void segment(const math::Mat4 &, const TreeSegment &) override { ++segments; }
    void leaf(const math::Mat4 &, const TreeLeaf &) override { ++leaves; }
};

} // namespace lignet
