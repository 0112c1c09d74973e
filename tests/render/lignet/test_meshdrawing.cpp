// The tree edit frame drawn immediately and from meshes, its state, exports and read-back pictures,
// and the tree mesh's vertices against the immediate drawing's.

#include "core/tempfolder.h"
#include "lignet/gl/framebuffertarget.h"
#include "lignet/gl/gltreesink.h"
#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/gputreemesh.h"
#include "lignet/gl/meshtreescene.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treemeshsink.h"
#include "lignet/treerenderer.h"
#include "lignet/treesink.h"
#include "render/offscreengl.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <vector>

using lignet::MeshBatchKind;
using lignet::TreeRenderer;
using lignet::gl::TreeMeshDrawer;

namespace {

const QRgb Sky = qRgb(68, 121, 137);
const QRgb White = qRgb(255, 255, 255);
using Prepare = std::function<void(TreeRenderer &)>;

// The tree edit frame of the reset orbit camera, drawn immediately; prepare may change the tree.
QImage referenceScene(OffscreenGl &view, const Prepare &prepare,
                      const lignet::gl::TreeTextures &textures = {})
{
    TreeRenderer tree;
    if (prepare)
        prepare(tree);
    glNormal3f(0, 0, 1);
    lignet::gl::drawTreeScene(tree, textures, -13.0, 0.0, -15.0, 0.0, 0.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return view.grab();
}

// The same on a new 256 px view with the program's state, without textures.
QImage drawScene(const Prepare &prepare = {})
{
    OffscreenGl view;
    EXPECT_TRUE(view.create(256, 256));
    return referenceScene(view, prepare);
}

// A tree edit view drawing from meshes: cache, drawer and scene of one share group.
struct MeshView {
    explicit MeshView(TreeMeshDrawer::Path path) { drawer.setPath(path); }
    ~MeshView()
    {
        cache.clear();
        scene.release();
        drawer.release();
    }
    void draw(TreeRenderer &tree, const lignet::gl::TreeTextures &textures)
    {
        scene.draw(tree, textures, -13.0, 0.0, -15.0, 0.0, 0.0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    lignet::gl::GpuMeshCache cache;
    TreeMeshDrawer drawer;
    lignet::gl::MeshTreeScene scene{cache, drawer};
};

QImage meshScene(MeshTestView &view, const Prepare &prepare, TreeMeshDrawer::Path path)
{
    MeshView meshes(path);
    TreeRenderer tree;
    prepare(tree);
    meshes.draw(tree, view.textures);
    return view.grab();
}

} // namespace

TEST(TreeScene, defaultTreeStandsOnTheSkyOrWhiteSetsTheLightsAndPicturesShowColoursAsDrawn)
{
    constexpr int Size = 256;
    const QImage image = drawScene();
    EXPECT_EQ(image.pixel(0, 0), Sky);
    // The trunk base sits 13 units below the eye at 15 units distance: near the bottom centre of a
    // 90 degree view, with nothing below it.
    EXPECT_NE(image.pixel(Size / 2, static_cast<int>(Size * 0.9)), Sky);
    EXPECT_EQ(countPixels(image.copy(0, Size - 3, Size, 1), [](QRgb p) { return p != Sky; }), 0);
    const QImage white = drawScene([](TreeRenderer &tree) { tree.settings().backgroundSky = false; });
    EXPECT_EQ(white.pixel(Size - 1, 0), White);

    // A wireframe is only black lines, which lighting makes one dark grey.
    const QImage lines = drawScene([](TreeRenderer &tree) {
        tree.settings().wireframe = true;
        tree.designedParameters().displayLeaves = false;
    });
    const auto darkGrey = [](QRgb p) {
        return qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) <= 60;
    };
    EXPECT_GT(countPixels(lines, darkGrey), 1000);
    EXPECT_EQ(countPixels(lines, [&](QRgb p) { return p != Sky && !darkGrey(p); }), 0);

    // The scene sets the lights and the branch state and restores the modelview.
    OffscreenGl view;
    ASSERT_TRUE(view.create(64, 64));
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    TreeRenderer tree;
    tree.designedParameters().numberOfStrands = 3;
    lignet::gl::drawTreeScene(tree, {}, -13.0, 2.0, -15.0, 10.0, 20.0);
    const std::pair<GLenum, std::array<GLfloat, 4>> lights[] = {
        {GL_LIGHT0, {4609, 0, 0, 5}}, {GL_LIGHT1, {4609, -3, 0, 5}}, {GL_LIGHT2, {4609, -3, 3, 5}}};
    for (const auto &[light, position] : lights) {
        std::array<GLfloat, 4> p{};
        glGetLightfv(light, GL_POSITION, p.data());
        EXPECT_EQ(p, position);
    }
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && glIsEnabled(GL_TEXTURE_2D));
    std::array<GLfloat, 16> modelview{};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    EXPECT_EQ((std::array{modelview[12], modelview[13], modelview[14]}), (std::array{-2.0f, -13.0f, -15.0f}));
    GLint depth = 0, modes[2] = {};
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);

    tree.settings().wireframe = true;
    lignet::gl::drawTreeScene(tree, {}, -13.0, 0.0, -15.0, 0.0, 0.0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_TEXTURE_2D));
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    lignet::gl::OffscreenContext empty(QSize(0, 10));
    EXPECT_FALSE(empty.isValid());
    EXPECT_TRUE(empty.grab().isNull());

    // A half-transparent colour blended over a cleared, transparent background leaves the
    // framebuffer half-transparent; a window shows the colour as drawn, and so must every picture
    // read back (the view, a larger export), not the colour divided by that alpha.
    const auto draw = [] {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (GLenum capability : {GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST})
            glDisable(capability);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1.0f, 0.5f, 0.25f, 0.5f);
        glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    };
    draw();
    const QRgb drawn = qRgb(128, 64, 32);
    EXPECT_EQ(view.grab().pixel(32, 32), drawn);
    QString error;
    const QImage exported = lignet::gl::renderOffscreen({100, 50}, draw, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(exported.pixel(50, 25), drawn);
}

TEST(MeshTreeScene, matchesTheImmediateDrawingAStillTreeComesFromTheCacheAndExportsUseTheTreesCoordinates)
{
    MeshTestView view(300);
    ASSERT_TRUE(view.valid());
    // (Settings that change only the mesh's vertices are compared vertex by vertex in TreeMeshFeedback.)
    const std::vector<std::pair<const char *, Prepare>> cases = {
        {"plain", [](TreeRenderer &) {}},
        {"wireframe", [](TreeRenderer &t) { t.settings().wireframe = true; }},
        {"highlight", [](TreeRenderer &t) { t.settings().highlightGMin = t.settings().highlightGMax = 1; }},
    };
    for (const auto &[name, prepare] : cases) {
        SCOPED_TRACE(name);
        const QImage reference = referenceScene(view, prepare, view.textures);
        const QImage fixed = meshScene(view, prepare, TreeMeshDrawer::Path::Fixed);
        const QImage instanced = meshScene(view, prepare, TreeMeshDrawer::Path::Instanced);
        // Bark is drawn before all leaves, so where a leaf covers a branch drawn later in the walk
        // the blend differs: at most 1 % of the pixels by more than 8 levels (of 255). Wireframe
        // (no blending) is identical.
        const double allowed = std::string(name) == "wireframe" ? 0.0 : 0.01;
        EXPECT_LE(shareApart(reference, fixed, 8), allowed);
        EXPECT_LE(shareApart(reference, instanced, 8), allowed);
        // One program, one draw per plant or all plants at once: the same picture.
        EXPECT_EQ(meshScene(view, prepare, TreeMeshDrawer::Path::PerPlant), instanced);
        // The shader and the fixed-function pipeline light alike. The fixed-function pipeline draws
        // the leaf points after all disks (0.09 % of the pixels apart from the program's, which
        // keeps each after its disk), so at most 0.15 % of the pixels apart by more than 8 levels.
        EXPECT_LE(shareApart(fixed, instanced, 8), 0.0015);
    }

    // A still tree comes from the cache until it changes.
    MeshView meshes(TreeMeshDrawer::Path::Fixed);
    TreeRenderer tree;
    meshes.draw(tree, view.textures);

    // Orbiting turns the frame, not the mesh; a frame shows the angle before its drawing's step.
    tree.settings().spinning = true;
    meshes.draw(tree, view.textures);
    meshes.draw(tree, view.textures);
    const QImage turned = view.grab();
    EXPECT_EQ(meshes.cache.meshesBuilt(), 1u);
    const Prepare turnedBy = [](TreeRenderer &t) { t.settings().spinAngle = 5.37; };
    EXPECT_LE(shareApart(referenceScene(view, turnedBy, view.textures), turned, 8), 0.01);

    // A designer edit of the parameters shows in the next frame.
    tree.settings().spinning = false;
    tree.settings().spinAngle = 0.0;
    tree.designedParameters().numberOfStrands = 600;
    meshes.draw(tree, view.textures);
    const QImage edited = view.grab();
    const Prepare strands = [](TreeRenderer &t) { t.designedParameters().numberOfStrands = 600; };
    EXPECT_LE(shareApart(referenceScene(view, strands, view.textures), edited, 8), 0.01);

    // The camera and the spin stay out of an export: the scene writes what the tree alone writes. A
    // placement made on the modelview before the tree goes in.
    testsupport::TempFolder folder;
    const auto exported = [&folder](const std::string &name, const Prepare &draw) {
        TreeRenderer spun;
        spun.settings().spinAngle = 40.0;
        spun.requestVertexExport(folder.file(name));
        draw(spun);
        return testsupport::readBytes(folder.file(name));
    };
    MeshView exporting(TreeMeshDrawer::Path::Instanced);
    const std::string written =
        exported("mesh.crs", [&](TreeRenderer &t) { exporting.draw(t, view.textures); });
    EXPECT_GT(written.size(), 1000u);
    lignet::TreeSink nothing;
    EXPECT_EQ(written, exported("alone.crs", [&](TreeRenderer &t) {
                  t.settings().spinAngle = 0.0;
                  t.drawTreeAtLevelOfDetail(nothing, 0);
              }));

    glLoadIdentity();
    glTranslatef(100.0f, 0.0f, 0.0f);
    lignet::TreeParameters single;
    single.numberOfStrands = 1;
    single.phyllotaxisAngle = 0.0;
    TreeRenderer placed(single);
    placed.requestVertexExport(folder.file("placed.crs"));
    lignet::gl::drawTreeAtLevelOfDetail(placed, {}, 3);
    // bottom[0] of the trunk, moved with the modelview
    EXPECT_EQ(testsupport::readBytes(folder.file("placed.crs"))
                  .rfind("B 0\n100.01 0 -0.01\n100 5 0\n100 5 0\n100.01 0 0.01\n", 0),
              0u);
}

// Tree mesh vertices against the immediate-mode drawing, both captured with OpenGL feedback mode
// (GL_3D_COLOR_TEXTURE): window positions, colours and texture coordinates in one pass, eye-space
// normals in a second pass with GL_NORMAL_MAP texture coordinate generation.
namespace {

using FeedbackVertex = std::array<float, 11>; // x, y, z, r, g, b, a, s, t, r, q
using Primitive = std::vector<FeedbackVertex>;
enum Kind { Polygons, Lines, Points };
using Feedback = std::array<std::vector<Primitive>, 3>; // by kind, each in drawing order

Feedback capture(const std::function<void()> &draw)
{
    std::vector<GLfloat> buffer(4 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    Feedback found;
    for (auto at = buffer.begin(); at < buffer.begin() + std::max(n, 0);) {
        const auto token = static_cast<GLint>(*at++);
        const Kind kind = token == GL_POLYGON_TOKEN ? Polygons : token == GL_POINT_TOKEN ? Points : Lines;
        if (kind == Lines && token != GL_LINE_TOKEN && token != GL_LINE_RESET_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const std::size_t count = kind == Polygons ? static_cast<std::size_t>(*at++) : kind == Lines ? 2 : 1;
        for (FeedbackVertex &v : found[kind].emplace_back(count)) {
            std::copy_n(at, v.size(), v.begin());
            at += static_cast<std::ptrdiff_t>(v.size());
        }
    }
    return found;
}

// The reference drawing, without the segments when a test compares only the leaves.
struct FilteredGlSink : lignet::gl::GlTreeSink {
    using GlTreeSink::GlTreeSink;
    void segment(const math::Mat4 &frame, const lignet::TreeSegment &s) override
    {
        if (segments)
            GlTreeSink::segment(frame, s);
    }
    bool segments = true;
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
        // Generated coordinates need a complete texture bound.
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

    // Draws the reference of a small tree, with or without leaves (without segments when only leaf
    // batches are compared), and the mesh batches of the given kinds, both twice (plain, then
    // normals), and compares vertex by vertex.
    void compare(bool leaves, const std::set<MeshBatchKind> &kinds, const std::string &name,
                 const Prepare &settings)
    {
        SCOPED_TRACE(name);
        lignet::TreeParameters parameters;
        parameters.numberOfStrands = 40;
        parameters.displayLeaves = leaves;
        const bool segments = !kinds.count(MeshBatchKind::LeafPoints);
        for (bool normals : {false, true}) {
            for (GLenum coordinate : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
                normals ? glEnable(coordinate) : glDisable(coordinate);
            TreeRenderer reference(parameters);
            settings(reference);
            const Feedback expected = capture([&] {
                glNormal3f(0, 0, 1); // the state a drawing starts from (see TreeMeshSink)
                glTexCoord2f(0, 0);
                FilteredGlSink sink(reference.settings(), {texture, texture});
                sink.segments = segments;
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
                const GLenum modes[] = {GL_TRIANGLES, GL_LINES, GL_POINTS}; // by lignet::MeshPrimitive
                for (const lignet::MeshBatch &b : gpu.batches())
                    if (kinds.count(b.kind))
                        glDrawElements(modes[static_cast<int>(b.primitive)],
                                       static_cast<GLsizei>(b.indexCount), gpu.indexType(),
                                       gpu.indexOffset(b));
                lignet::gl::GpuTreeMesh::unbindArrays();
            });
            ASSERT_FALSE(expected[Polygons].empty() && expected[Lines].empty() && expected[Points].empty());
            // The leaf batch holds every point again as a triangle after its disk, with its three
            // corners at the point (a vertex program spreads them over the point's pixel).
            std::vector<Primitive> pointTriangles;
            std::erase_if(actual[Polygons], [&](const Primitive &p) {
                const auto at = [&](std::size_t k) { return std::array{p[k][0], p[k][1], p[k][2]}; };
                if (p.size() != 3 || at(0) != at(1) || at(0) != at(2))
                    return false;
                pointTriangles.push_back({p[0]});
                return true;
            });
            if (kinds.count(MeshBatchKind::LeafTriangles))
                compareLists(expected[Points], pointTriangles, normals, "point triangle");
            for (const auto &[kind, what] :
                 {std::pair{Polygons, "polygon"}, {Lines, "line"}, {Points, "point"}})
                compareLists(expected[kind], actual[kind], normals, what);
        }
    }

    static void compareLists(const std::vector<Primitive> &expected, const std::vector<Primitive> &actual,
                             bool normals, const char *what)
    {
        ASSERT_EQ(expected.size(), actual.size()) << what << "s";
        // Window x and y within a thousandth of a pixel, depth within 1e-6; colours within half a
        // level of 255 (uploaded as bytes); texture coordinates within 1e-5, normals within 1e-4
        // (uploaded as shorts).
        const float c = 0.5f / 255.0f + 1e-6f, t = normals ? 1e-4f : 1e-5f;
        const float tolerance[10] = {1e-3f, 1e-3f, 1e-6f, c, c, c, c, t, t, t};
        // The first difference ends the list: one bad vertex usually shifts all that follow.
        for (std::size_t p = 0; p < expected.size(); ++p) {
            ASSERT_EQ(expected[p].size(), actual[p].size()) << what << " " << p;
            for (std::size_t k = 0; k < expected[p].size(); ++k)
                for (std::size_t i = 0; i < 10; ++i)
                    ASSERT_NEAR(expected[p][k][i], actual[p][k][i], tolerance[i])
                        << what << " " << p << " vertex " << k << " value " << i
                        << (normals ? " (normals)" : "");
        }
    }

    lignet::gl::OffscreenContext context{QSize(256, 256)};
    GLuint texture = 0;
};

} // namespace

TEST_F(TreeMeshFeedback, cylindersLinesWireframeLeafDisksAndPointsMatchTheImmediateDrawing)
{
    const auto level = [](int lod) -> Prepare {
        return [lod](TreeRenderer &t) { t.settings().levelOfDetail = lod; };
    };
    const std::set<MeshBatchKind> bark{MeshBatchKind::BarkTriangles}, lines{MeshBatchKind::BarkLines},
        leaves{MeshBatchKind::LeafTriangles, MeshBatchKind::LeafPoints};
    // Cylinders up to level 5, single lines beyond.
    for (int lod = 0; lod <= 9; ++lod)
        compare(false, lod <= 5 ? bark : lines, "level " + std::to_string(lod), level(lod));
    compare(false, bark, "high quality", [](TreeRenderer &t) { t.settings().highQuality = true; });
    compare(false, bark, "coloured by orders", [](TreeRenderer &t) { t.settings().colourByOrders = true; });
    compare(true, {MeshBatchKind::WireLines}, "wireframe prisms and leaf outlines",
            [](TreeRenderer &t) { t.settings().wireframe = true; });
    for (int type : {lignet::SPIRAL, lignet::BUNCHED, lignet::CONIFEROUS})
        compare(true, leaves, lignet::leafTypeName(type),
                [type](TreeRenderer &t) { t.designedParameters().leafType = type; });
    // Far away only the points remain; their normal and texture coordinate are those left
    // current before the tree (level 12) or by the previous disk.
    compare(true, leaves, "points only", level(12));
}
