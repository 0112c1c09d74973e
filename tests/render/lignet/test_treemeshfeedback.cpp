// Tree mesh vertices against the immediate-mode drawing, both captured with OpenGL feedback mode
// (GL_3D_COLOR_TEXTURE): window positions, colours and texture coordinates in one pass, eye-space
// normals in a second pass with GL_NORMAL_MAP texture coordinate generation.

#include "lignet/gl/gltreesink.h"
#include "lignet/gl/gputreemesh.h"
#include "lignet/gl/offscreencontext.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/treemeshsink.h"
#include "lignet/treerenderer.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <functional>
#include <set>
#include <vector>

using lignet::MeshBatchKind;
using lignet::TreeRenderer;

namespace {

struct FeedbackVertex {
    std::array<float, 11> v; // x, y, z, r, g, b, a, s, t, r, q
};

// Feedback primitives by type, each in drawing order.
struct Feedback {
    std::vector<std::vector<FeedbackVertex>> polygons;
    std::vector<std::vector<FeedbackVertex>> lines;
    std::vector<FeedbackVertex> points;
};

Feedback capture(const std::function<void()> &draw)
{
    std::vector<GLfloat> buffer(4 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    Feedback f;
    const auto vertexAt = [&](GLint &i) {
        FeedbackVertex v;
        for (float &x : v.v)
            x = buffer[static_cast<std::size_t>(i++)];
        return v;
    };
    for (GLint i = 0; i < n;) {
        const auto token = static_cast<GLint>(buffer[static_cast<std::size_t>(i++)]);
        if (token == GL_POLYGON_TOKEN) {
            const auto count = static_cast<int>(buffer[static_cast<std::size_t>(i++)]);
            std::vector<FeedbackVertex> polygon;
            for (int k = 0; k < count; ++k)
                polygon.push_back(vertexAt(i));
            f.polygons.push_back(polygon);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            f.lines.push_back({vertexAt(i), vertexAt(i)});
        } else if (token == GL_POINT_TOKEN) {
            f.points.push_back(vertexAt(i));
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return f;
}

// The reference drawing without the kinds a test leaves out (segments or leaves).
class FilteredGlSink : public lignet::gl::GlTreeSink {
public:
    // Generated coordinates need a complete texture bound.
    FilteredGlSink(const lignet::TreeDrawSettings &settings, const lignet::gl::TreeTextures &textures,
                   bool segments, bool leaves)
        : GlTreeSink(settings, textures), m_segments(segments), m_leaves(leaves)
    {
    }
    void segment(const math::Mat4 &frame, const lignet::TreeSegment &s) override
    {
        if (m_segments)
            GlTreeSink::segment(frame, s);
    }
    void leaf(const math::Mat4 &frame, const lignet::TreeLeaf &l) override
    {
        if (m_leaves)
            GlTreeSink::leaf(frame, l);
    }

private:
    bool m_segments;
    bool m_leaves;
};

class TreeMeshFeedback : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.isValid()) << context.error().toStdString();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-12, 12, -2, 22, -50, 50);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(25.0f, 0.3f, 1.0f, 0.1f); // normals must turn with the view
        glDisable(GL_LIGHTING);             // feedback colours are then the vertex colours
        glEnable(GL_TEXTURE_2D);
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        const unsigned char white[4] = {255, 255, 255, 255};
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        for (GLenum coordinate : {GL_S, GL_T, GL_R})
            glTexGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    }

    void TearDown() override
    {
        glDeleteTextures(1, &texture);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    static void normalsAsTextureCoordinates(bool on)
    {
        for (GLenum coordinate : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
            on ? glEnable(coordinate) : glDisable(coordinate);
    }

    // Draws the reference (the tree's own settings; segments and leaves as asked) and the mesh
    // batches of the given kinds, both twice (plain, then normals), and compares vertex by vertex.
    void compare(const lignet::TreeParameters &parameters, bool segments, bool leaves,
                 const std::set<MeshBatchKind> &kinds, const char *name,
                 const std::function<void(TreeRenderer &)> &settings)
    {
        SCOPED_TRACE(name);
        for (bool normals : {false, true}) {
            normalsAsTextureCoordinates(normals);
            TreeRenderer reference(parameters);
            settings(reference);
            const Feedback expected = capture([&] {
                glNormal3f(0, 0, 1); // the state a drawing starts from (see TreeMeshSink)
                glTexCoord2f(0, 0);
                FilteredGlSink sink(reference.settings(), {texture, texture}, segments, leaves);
                reference.drawTree(sink);
            });
            TreeRenderer meshed(parameters);
            settings(meshed);
            lignet::TreeMeshSink sink;
            meshed.drawTree(sink);
            lignet::TreeMesh mesh;
            sink.finish(mesh);
            lignet::gl::GpuTreeMesh gpu;
            ASSERT_TRUE(gpu.upload(mesh));
            Feedback actual = capture([&] {
                glBindTexture(GL_TEXTURE_2D, texture);
                gpu.bindArrays();
                for (const lignet::MeshBatch &b : gpu.batches())
                    if (kinds.count(b.kind))
                        glDrawElements(b.primitive == lignet::MeshPrimitive::Triangles ? GL_TRIANGLES
                                       : b.primitive == lignet::MeshPrimitive::Lines   ? GL_LINES
                                                                                       : GL_POINTS,
                                       static_cast<GLsizei>(b.indexCount), gpu.indexType(),
                                       gpu.indexOffset(b));
                lignet::gl::GpuTreeMesh::unbindArrays();
            });
            ASSERT_FALSE(expected.polygons.empty() && expected.lines.empty() && expected.points.empty());
            // The leaf batch holds every point again as a triangle after its disk, with its three
            // corners at the point (a vertex program spreads them over the point's pixel).
            std::vector<FeedbackVertex> pointTriangles;
            std::erase_if(actual.polygons, [&](const std::vector<FeedbackVertex> &p) {
                const auto at = [&](std::size_t k) { return std::array{p[k].v[0], p[k].v[1], p[k].v[2]}; };
                if (p.size() != 3 || at(0) != at(1) || at(0) != at(2))
                    return false;
                pointTriangles.push_back(p[0]);
                return true;
            });
            if (kinds.count(MeshBatchKind::LeafTriangles))
                compareLists({expected.points}, {pointTriangles}, normals, "point triangle");
            compareLists(expected.polygons, actual.polygons, normals, "polygon");
            compareLists(expected.lines, actual.lines, normals, "line");
            compareLists({expected.points}, {actual.points}, normals, "point");
        }
    }

    static void compareLists(const std::vector<std::vector<FeedbackVertex>> &expected,
                             const std::vector<std::vector<FeedbackVertex>> &actual, bool normals,
                             const char *what)
    {
        ASSERT_EQ(expected.size(), actual.size()) << what << "s";
        int failures = 0;
        for (std::size_t p = 0; p < expected.size() && failures < 5; ++p) {
            ASSERT_EQ(expected[p].size(), actual[p].size()) << what << " " << p;
            for (std::size_t k = 0; k < expected[p].size(); ++k) {
                const auto &e = expected[p][k].v;
                const auto &a = actual[p][k].v;
                // Window x and y within a thousandth of a pixel, depth within 1e-6; colours within
                // half a level of 255 (uploaded as bytes); texture coordinates within 1e-5, normals
                // within 1e-4 (uploaded as shorts).
                const float c = 0.5f / 255.0f + 1e-6f, t = normals ? 1e-4f : 1e-5f;
                const float tolerance[10] = {1e-3f, 1e-3f, 1e-6f, c, c, c, c, t, t, t};
                bool same = true;
                for (std::size_t i = 0; i < 10; ++i)
                    same = same && std::abs(e[i] - a[i]) < tolerance[i];
                if (!same) {
                    ++failures;
                    ADD_FAILURE() << what << " " << p << " vertex " << k << (normals ? " (normals)" : "")
                                  << ": expected " << ::testing::PrintToString(e) << " got "
                                  << ::testing::PrintToString(a);
                }
            }
        }
    }

    lignet::gl::OffscreenContext context{QSize(256, 256)};
    GLuint texture = 0;
};

lignet::TreeParameters smallTree(bool leaves)
{
    lignet::TreeParameters p;
    p.numberOfStrands = 40;
    p.displayLeaves = leaves;
    return p;
}

} // namespace

TEST_F(TreeMeshFeedback, cylindersLinesWireframeLeafDisksAndPointsMatchTheImmediateDrawing)
{
    using Settings = std::function<void(TreeRenderer &)>;
    const auto level = [](int lod) -> Settings {
        return [lod](TreeRenderer &t) { t.settings().levelOfDetail = lod; };
    };
    const std::set<MeshBatchKind> bark{MeshBatchKind::BarkTriangles}, lines{MeshBatchKind::BarkLines},
        leaves{MeshBatchKind::LeafTriangles, MeshBatchKind::LeafPoints};
    // Cylinders up to level 5, single lines beyond.
    for (int lod = 0; lod <= 9; ++lod)
        compare(smallTree(false), true, false, lod <= 5 ? bark : lines,
                ("level " + std::to_string(lod)).c_str(), level(lod));
    compare(smallTree(false), true, false, bark, "high quality",
            [](TreeRenderer &t) { t.settings().highQuality = true; });
    compare(smallTree(false), true, false, bark, "coloured by orders",
            [](TreeRenderer &t) { t.settings().colourByOrders = true; });
    compare(smallTree(true), true, true, {MeshBatchKind::WireLines}, "wireframe prisms and leaf outlines",
            [](TreeRenderer &t) { t.settings().wireframe = true; });
    for (int type : {lignet::SPIRAL, lignet::BUNCHED, lignet::CONIFEROUS}) {
        lignet::TreeParameters p = smallTree(true);
        p.leafType = type;
        compare(p, false, true, leaves, lignet::leafTypeName(type), level(0));
    }
    // Far away only the points remain; their normal and texture coordinate are those left
    // current before the tree (level 12) or by the previous disk.
    compare(smallTree(true), false, true, leaves, "points only", level(12));
}
