#include "lignet/gl/impostoratlas.h"

#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treerenderer.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace lignet::gl {

namespace {

// The part of each side of a cell left transparent, so linear filtering at a cell's edge takes
// little from the next cell.
constexpr float Margin = 0.1f;

// How much larger than a cell at level 0 a stage is first drawn to find what it covers.
constexpr int ProbeScale = 4;

// A rectangle in tree units in the picture plane (x to the right, y up).
struct Box {
    float left, right, bottom, top;
};

// drawn with a margin on each side, widened or heightened (upwards, so the trunk's foot stays
// near the bottom) to the cell's shape, so texels are square in tree units.
Box shapedBox(const Box &drawn, float cellAspect)
{
    const float width = std::max(drawn.right - drawn.left, 1e-3f);
    const float height = std::max(drawn.top - drawn.bottom, 1e-3f);
    float boxWidth = width * (1.0f + 2.0f * Margin);
    float boxHeight = height * (1.0f + 2.0f * Margin);
    if (boxWidth < cellAspect * boxHeight)
        boxWidth = cellAspect * boxHeight;
    else
        boxHeight = boxWidth / cellAspect;
    const float centre = 0.5f * (drawn.left + drawn.right);
    const float bottom = drawn.bottom - height * Margin;
    return {centre - 0.5f * boxWidth, centre + 0.5f * boxWidth, bottom, bottom + boxHeight};
}

// The alpha of texel (x, y) of RGBA rows width texels wide.
unsigned char alphaAt(const std::vector<unsigned char> &rgba, int width, int x, int y)
{
    return rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)) *
                    4 +
                3];
}

// The part of box that the picture (RGBA rows from the bottom) covers, to whole texels; none when
// nothing shows.
std::optional<Box> coveredBox(const std::vector<unsigned char> &rgba, int width, int height, const Box &box)
{
    int x0 = width, x1 = -1, y0 = height, y1 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (alphaAt(rgba, width, x, y) != 0) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return std::nullopt;
    const float sx = (box.right - box.left) / static_cast<float>(width);
    const float sy = (box.top - box.bottom) / static_cast<float>(height);
    return Box{box.left + static_cast<float>(x0) * sx, box.left + static_cast<float>(x1 + 1) * sx,
               box.bottom + static_cast<float>(y0) * sy, box.bottom + static_cast<float>(y1 + 1) * sy};
}

// The last level at which a cell is still at least one texel wide and high.
int lastLevel(int cellWidth, int cellHeight)
{
    int level = 0;
    while ((cellWidth >> (level + 1)) >= 1 && (cellHeight >> (level + 1)) >= 1)
        ++level;
    return level;
}

// Gives every texel the stage's geometry covered at least the smallest alpha, also where it drew
// nothing visible (the transparent rest of a leaf picture). The exact drawing writes depth there,
// hiding plants drawn after it behind; an impostor writes depth where its alpha is not zero, so
// a stand of impostors hides as much of itself as the exact stand does. The geometry's depth
// tells where it drew: a quad at the far end of the depth range passes only in front of it. The
// quad lies in the picture plane, whichever way the tree was turned.
void markCovered(QOpenGLFunctions &f, const Box &box, float depthRange)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    f.glUseProgram(0);
    f.glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glDepthMask(GL_FALSE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    f.glBlendEquation(GL_MAX);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f / 255.0f);
    const float z = -0.999f * depthRange;
    const float corners[] = {box.left,  box.bottom, z, box.right, box.bottom, z,
                             box.right, box.top,    z, box.left,  box.top,    z};
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, corners);
    glDrawArrays(GL_QUADS, 0, 4);
    f.glBlendEquation(GL_FUNC_ADD);
    glPopClientAttrib();
    glPopAttrib();
    glPopMatrix();
}

// The farthest any covered texel of a picture looking down on the tree (RGBA rows, box in tree
// units with the trunk axis at 0) lies from the trunk axis: no side view reaches wider.
std::optional<float> coveredRadius(const std::vector<unsigned char> &rgba, int width, int height,
                                   const Box &box)
{
    const float sx = (box.right - box.left) / static_cast<float>(width);
    const float sy = (box.top - box.bottom) / static_cast<float>(height);
    std::optional<float> radius;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (alphaAt(rgba, width, x, y) == 0)
                continue;
            // The texel's corner farthest from the axis.
            const float x0 = box.left + static_cast<float>(x) * sx;
            const float y0 = box.bottom + static_cast<float>(y) * sy;
            const float r = std::hypot(std::max(std::abs(x0), std::abs(x0 + sx)),
                                       std::max(std::abs(y0), std::abs(y0 + sy)));
            radius = std::max(radius.value_or(0.0f), r);
        }
    return radius;
}

// RGBA rows of a rectangle of the bound framebuffer, from the bottom.
std::vector<unsigned char> framebufferPixels(int x, int y, int width, int height)
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPopClientAttrib();
    return rgba;
}

// What the opaque texels of each cell of one row (RGBA, premultiplied, so opaque texels hold their
// colour as it is) show: the tree's lines and bark, which merge into a pixel or two when it is
// that small. The exact drawing lights those pixels in the colour of whichever segment wins them,
// dark or light, so the shades are kept apart: the texels sorted by brightness and split into
// equal parts, each part's mean colour one shade.
struct OpaqueTexels {
    ImpostorAtlas::SpeckShades shades{}; // alpha 0 for a cell without opaque texels
    int topRow = -1;                     // highest row of the cell with an opaque texel
};

std::vector<OpaqueTexels> opaqueTexelsOf(const std::vector<unsigned char> &rgba, int cells, int cellWidth,
                                         int cellHeight)
{
    const int width = cells * cellWidth;
    std::vector<OpaqueTexels> result(static_cast<std::size_t>(cells));
    std::vector<std::array<int, 3>> opaque;
    for (int cell = 0; cell < cells; ++cell) {
        OpaqueTexels &texels = result[static_cast<std::size_t>(cell)];
        opaque.clear();
        for (int y = 0; y < cellHeight; ++y)
            for (int x = cell * cellWidth; x < (cell + 1) * cellWidth; ++x) {
                const unsigned char *texel =
                    rgba.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(x)) *
                                      4;
                if (texel[3] != 255)
                    continue;
                opaque.push_back({texel[0], texel[1], texel[2]});
                texels.topRow = y;
            }
        if (opaque.empty())
            continue;
        std::sort(opaque.begin(), opaque.end(),
                  [](const auto &a, const auto &b) { return a[0] + a[1] + a[2] < b[0] + b[1] + b[2]; });
        const std::size_t shades = texels.shades.size();
        for (std::size_t k = 0; k < shades; ++k) {
            // Every part holds at least one texel, so a cell of few texels repeats some.
            const std::size_t first = k * opaque.size() / shades;
            const std::size_t end = std::max(first + 1, (k + 1) * opaque.size() / shades);
            std::array<int, 3> sum{};
            for (std::size_t i = first; i < end; ++i)
                for (std::size_t c = 0; c < 3; ++c)
                    sum[c] += opaque[i][c];
            const auto n = static_cast<int>(end - first);
            for (std::size_t c = 0; c < 3; ++c)
                texels.shades[k][c] = static_cast<unsigned char>((sum[c] + n / 2) / n);
            texels.shades[k][3] = 255;
        }
    }
    return result;
}

// Texels of each cell of one row painted at least half opaque: what a tree drawn at that small
// size lights.
std::vector<int> litTexels(const std::vector<unsigned char> &rgba, int cells, int cellWidth)
{
    const auto width = static_cast<std::size_t>(cells * cellWidth);
    std::vector<int> lit(static_cast<std::size_t>(cells));
    for (std::size_t i = 0; i < rgba.size() / 4; ++i)
        if (rgba[4 * i + 3] >= 128)
            ++lit[(i % width) / static_cast<std::size_t>(cellWidth)];
    return lit;
}

// A framebuffer with a depth buffer and, if asked, a colour buffer of its own, deleted with it.
class Framebuffer {
public:
    Framebuffer(QOpenGLFunctions &f, int width, int height, bool withColour) : m_f(f)
    {
        m_f.glGenFramebuffers(1, &m_framebuffer);
        m_f.glGenRenderbuffers(2, m_buffers);
        m_f.glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        m_f.glBindRenderbuffer(GL_RENDERBUFFER, m_buffers[0]);
        m_f.glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        m_f.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_buffers[0]);
        if (withColour) {
            m_f.glBindRenderbuffer(GL_RENDERBUFFER, m_buffers[1]);
            m_f.glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
            m_f.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                          m_buffers[1]);
        }
    }
    ~Framebuffer()
    {
        m_f.glDeleteFramebuffers(1, &m_framebuffer);
        m_f.glDeleteRenderbuffers(2, m_buffers);
    }
    Framebuffer(const Framebuffer &) = delete;
    Framebuffer &operator=(const Framebuffer &) = delete;

    void bind() const { m_f.glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer); }
    bool complete() const
    {
        bind();
        return m_f.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }

private:
    QOpenGLFunctions &m_f;
    GLuint m_framebuffer = 0;
    GLuint m_buffers[2] = {};
};

// Keeps the framebuffer binding, matrices and OpenGL state of the frame while pictures are drawn,
// and the drawer's blending for pictures on.
class PictureSession {
public:
    explicit PictureSession(TreeMeshDrawer &drawer) : m_drawer(drawer)
    {
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_framebuffer);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        m_drawer.setAlphaAccumulation(true);
    }
    ~PictureSession()
    {
        m_drawer.setAlphaAccumulation(false);
        QOpenGLContext::currentContext()->functions()->glBindFramebuffer(GL_FRAMEBUFFER,
                                                                         static_cast<GLuint>(m_framebuffer));
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glPopAttrib();
    }
    PictureSession(const PictureSession &) = delete;
    PictureSession &operator=(const PictureSession &) = delete;

private:
    TreeMeshDrawer &m_drawer;
    GLint m_framebuffer = 0;
};

// The tree at one growth stage, as the pictures draw it.
class StageDrawing {
public:
    StageDrawing(TreeRenderer &tree, GpuMeshCache &cache, double progress)
    {
        TreeDrawSettings &s = tree.settings();
        s.growing = true;
        s.growthProgress = progress;
        s.windOn = false;
        s.spinning = false;
        m_mesh = cache.acquire(tree, false);
        const math::Vector3f lo = m_mesh->boundsMin();
        const math::Vector3f hi = m_mesh->boundsMax();
        // Reaches the mesh's farthest corner from the trunk axis, whichever way it is turned.
        m_radius = std::max(
            std::hypot(std::max(std::abs(lo.x), std::abs(hi.x)), std::max(std::abs(lo.z), std::abs(hi.z))),
            1e-3f);
        m_bottom = lo.y;
        m_top = hi.y;
        m_depthRange = 2.0f * std::max({m_radius, std::abs(lo.y), std::abs(hi.y)}) + 1.0f;
    }

    const GpuTreeMesh &mesh() const { return *m_mesh; }
    float radius() const { return m_radius; }
    // The mesh's bounds seen from the side.
    Box bounds() const { return {-m_radius, m_radius, m_bottom, m_top}; }

    // Draws the stage into the viewport (x, y, w, h), box in the picture plane, seen along -z
    // turned by turn (degrees) about the vertical axis, or looking down.
    void draw(QOpenGLFunctions &f, TreeMeshDrawer &drawer, const TreeTextures &textures,
              const ImpostorSettings &settings, const Box &box, float turn, bool fromAbove, int x, int y,
              int w, int h) const
    {
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, y, w, h);
        glViewport(x, y, w, h);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(box.left, box.right, box.bottom, box.top, -m_depthRange, m_depthRange);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // Turned as a camera looking that way turns the world; the lights turn with it, since
        // they stay where they are in the world.
        if (fromAbove)
            glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
        glRotatef(turn, 0.0f, 1.0f, 0.0f);
        for (int light = 0; light < 3; ++light)
            glLightfv(static_cast<GLenum>(GL_LIGHT0 + light), GL_POSITION,
                      settings.lightPositions[static_cast<std::size_t>(light)].data());
        const MeshInstance origin;
        drawer.draw(*m_mesh, textures, {&origin, 1});
        markCovered(f, box, m_depthRange);
    }

private:
    std::shared_ptr<const GpuTreeMesh> m_mesh;
    float m_radius = 0.0f, m_bottom = 0.0f, m_top = 0.0f, m_depthRange = 1.0f;
};

} // namespace

ImpostorAtlas::~ImpostorAtlas()
{
    release();
}

void ImpostorAtlas::release()
{
    if (m_texture != 0 && QOpenGLContext::currentContext())
        glDeleteTextures(1, &m_texture);
    m_texture = 0;
    m_stages.clear();
    m_viewDrawn.clear();
}

int ImpostorAtlas::viewFor(float dx, float dz) const
{
    // The heading of the look: 0 along -z, a quarter turn along +x.
    const double turns =
        std::atan2(static_cast<double>(dx), -static_cast<double>(dz)) / (2.0 * std::numbers::pi);
    const auto view = static_cast<int>(std::lround(turns * m_views));
    return ((view % m_views) + m_views) % m_views;
}

const ImpostorAtlas::Stage &ImpostorAtlas::stageFor(double progress) const
{
    const auto count = static_cast<long>(m_stages.size());
    const long k = std::lround(std::clamp(progress, 0.0, 1.0) * static_cast<double>(count)) - 1;
    return m_stages[static_cast<std::size_t>(std::clamp(k, 0L, count - 1))];
}

double ImpostorAtlas::heightAt(double progress) const
{
    if (m_stages.empty())
        return 0.0;
    progress = std::clamp(progress, 0.0, 1.0);
    double previousProgress = 0.0;
    double previousHeight = 0.0;
    for (const Stage &s : m_stages) {
        if (progress <= s.progress) {
            const double span = s.progress - previousProgress;
            const double t = span > 0.0 ? (progress - previousProgress) / span : 1.0;
            return previousHeight + t * (s.height - previousHeight);
        }
        previousProgress = s.progress;
        previousHeight = s.height;
    }
    return m_stages.back().height;
}

bool ImpostorAtlas::build(TreeRenderer &tree, const TreeTextures &textures, GpuMeshCache &cache,
                          TreeMeshDrawer &drawer, const ImpostorSettings &settings)
{
    release();
    QOpenGLContext *context = QOpenGLContext::currentContext();
    const int stages = std::max(settings.stages, 1);
    const int views = std::max(settings.views, 1);
    if (!context || settings.cellWidth < 1 || settings.cellHeight < 1)
        return false;
    QOpenGLFunctions *f = context->functions();
    m_settings = settings;
    m_views = views;
    m_viewDrawn.assign(static_cast<std::size_t>(views), false);
    const int width = settings.cellWidth * stages;
    const int height = settings.cellHeight * views;
    m_levels = lastLevel(settings.cellWidth, settings.cellHeight) + 1;
    m_smallestCellHeight = settings.cellHeight >> (m_levels - 1);

    const PictureSession session(drawer);
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    for (int level = 0; level < m_levels; ++level)
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width >> level, height >> level, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, m_levels - 1);
    // Nearest texels of the nearest level: a level drawn at the quad's size then shows its
    // one-pixel lines and points one pixel wide, as the exact drawing does, instead of smearing
    // them over the neighbouring pixels.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Each stage is first drawn large into the probe, from the side and from above, to find what
    // it really covers.
    const int probeWidth = settings.cellWidth * ProbeScale;
    const int probeHeight = settings.cellHeight * ProbeScale;
    const Framebuffer probeTarget(*f, probeWidth, probeHeight, true);
    bool complete = probeTarget.complete();

    const TreeDrawSettings saved = tree.settings();
    const float cellAspect = static_cast<float>(settings.cellWidth) / static_cast<float>(settings.cellHeight);
    for (int k = 1; k <= stages && complete; ++k) {
        const StageDrawing stageDrawing(tree, cache, static_cast<double>(k) / stages);
        // The mesh's bounds hold more than shows (parts not grown yet, the transparent rest of
        // leaf pictures), so the picture's box is cut to what the stage draws: its height from
        // the side, its reach from the trunk axis from above, which no direction exceeds. A box
        // as large as the bounds would leave a stage a few texels in its cell, magnified on
        // screen into blots several pixels wide where the exact drawing shows a one-pixel trunk
        // or nothing.
        const Box bounds = stageDrawing.bounds();
        const Box sideBox = shapedBox(bounds, cellAspect);
        stageDrawing.draw(*f, drawer, textures, settings, sideBox, 0.0f, false, 0, 0, probeWidth,
                          probeHeight);
        const std::optional<Box> side =
            coveredBox(framebufferPixels(0, 0, probeWidth, probeHeight), probeWidth, probeHeight, sideBox);
        const float r = stageDrawing.radius();
        const Box aboveBox{-r, r, -r, r};
        stageDrawing.draw(*f, drawer, textures, settings, aboveBox, 0.0f, true, 0, 0, probeWidth, probeWidth);
        const std::optional<float> reach =
            coveredRadius(framebufferPixels(0, 0, probeWidth, probeWidth), probeWidth, probeWidth, aboveBox);
        Box drawn = bounds;
        if (side)
            drawn = {-reach.value_or(r), reach.value_or(r), side->bottom, side->top};
        const Box box = shapedBox(drawn, cellAspect);

        Stage stage;
        stage.progress = static_cast<double>(k) / stages;
        stage.height = drawn.top;
        stage.left = box.left;
        stage.right = box.right;
        stage.bottom = box.bottom;
        stage.top = box.top;
        stage.u0 = static_cast<float>(k - 1) / static_cast<float>(stages);
        stage.u1 = static_cast<float>(k) / static_cast<float>(stages);
        const auto &batches = stageDrawing.mesh().batches();
        stage.hasLines = std::any_of(batches.begin(), batches.end(),
                                     [](const MeshBatch &b) { return b.primitive == MeshPrimitive::Lines; });
        stage.specks.resize(static_cast<std::size_t>(views));
        m_stages.push_back(stage);
    }
    tree.settings() = saved;
    if (!complete)
        release();
    return complete;
}

bool ImpostorAtlas::drawView(int view, TreeRenderer &tree, const TreeTextures &textures, GpuMeshCache &cache,
                             TreeMeshDrawer &drawer)
{
    if (!valid() || view < 0 || view >= m_views)
        return false;
    if (hasView(view))
        return true;
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return false;
    QOpenGLFunctions *f = context->functions();
    const ImpostorSettings &settings = m_settings;
    const int stages = static_cast<int>(m_stages.size());
    const int width = settings.cellWidth * stages;
    const float turn = 360.0f * static_cast<float>(view) / static_cast<float>(m_views);

    const PictureSession session(drawer);
    // The atlas's levels are attached to one in turn.
    const Framebuffer atlasTarget(*f, width, settings.cellHeight * m_views, false);
    atlasTarget.bind();
    const auto attach = [&](int level) {
        f->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_texture, level);
        return f->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    };
    const TreeDrawSettings saved = tree.settings();
    bool complete = true;
    for (int k = 0; k < stages && complete; ++k) {
        const Stage &stage = m_stages[static_cast<std::size_t>(k)];
        const StageDrawing stageDrawing(tree, cache, stage.progress);
        const Box box{stage.left, stage.right, stage.bottom, stage.top};
        for (int level = 0; level < m_levels && complete; ++level) {
            complete = attach(level);
            const int cellWidth = settings.cellWidth >> level;
            const int cellHeight = settings.cellHeight >> level;
            if (complete)
                stageDrawing.draw(*f, drawer, textures, settings, box, turn, false, k * cellWidth,
                                  view * cellHeight, cellWidth, cellHeight);
        }
    }
    tree.settings() = saved;
    if (!complete)
        return false;

    // The specks of this direction, read back from its row of the first level.
    attach(0);
    const auto opaque =
        opaqueTexelsOf(framebufferPixels(0, view * settings.cellHeight, width, settings.cellHeight), stages,
                       settings.cellWidth, settings.cellHeight);
    for (std::size_t k = 0; k < m_stages.size(); ++k) {
        Stage &stage = m_stages[k];
        Speck &speck = stage.specks[static_cast<std::size_t>(view)];
        if (!stage.hasLines || opaque[k].topRow < 0)
            continue;
        speck.shades = opaque[k].shades;
        speck.top = stage.bottom + (stage.top - stage.bottom) * static_cast<float>(opaque[k].topRow + 1) /
                                       static_cast<float>(settings.cellHeight);
    }
    // How often a speck shows: what the stage lights when drawn a few pixels tall (the levels
    // whose cells are 8 and 4 pixels high), against what its line would light there. A
    // seedling's few short lines light less than one line of its height.
    std::vector<double> rows(m_stages.size());
    std::vector<int> litByStage(m_stages.size());
    for (const int cellRows : {8, 4}) {
        int level = 0;
        while ((settings.cellHeight >> level) > cellRows && level + 1 < m_levels)
            ++level;
        attach(level);
        const int cellWidth = settings.cellWidth >> level;
        const int cellHeight = settings.cellHeight >> level;
        const auto counts =
            litTexels(framebufferPixels(0, view * cellHeight, width >> level, cellHeight), stages, cellWidth);
        for (std::size_t k = 0; k < m_stages.size(); ++k) {
            const Stage &stage = m_stages[k];
            litByStage[k] += counts[k];
            const float top = stage.specks[static_cast<std::size_t>(view)].top;
            rows[k] += std::max(1.0, static_cast<double>(top / (stage.top - stage.bottom)) *
                                         static_cast<double>(cellHeight));
        }
    }
    for (std::size_t k = 0; k < m_stages.size(); ++k)
        m_stages[k].specks[static_cast<std::size_t>(view)].share =
            static_cast<float>(std::min(1.0, litByStage[k] / rows[k]));
    m_viewDrawn[static_cast<std::size_t>(view)] = true;
    return true;
}

} // namespace lignet::gl
