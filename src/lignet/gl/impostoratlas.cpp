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

// The part of box that the picture (RGBA rows from the bottom) covers, to whole texels; none when
// nothing shows.
std::optional<Box> coveredBox(const std::vector<unsigned char> &rgba, int width, int height, const Box &box)
{
    int x0 = width, x1 = -1, y0 = height, y1 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)) *
                         4 +
                     3] != 0) {
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
// tells where it drew: a quad at the far end of the depth range passes only in front of it.
void markCovered(QOpenGLFunctions &f, const Box &box, float depthRange)
{
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
}

// RGBA rows of one level of the bound texture, from the bottom.
std::vector<unsigned char> levelPixels(int level, int width, int height)
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPopClientAttrib();
    return rgba;
}

// What the opaque texels of each cell of the texture's first level show (premultiplied RGBA, so
// opaque texels hold their colour as it is): the tree's lines and bark, which merge into a pixel
// or two when it is that small. The exact drawing lights those pixels in the colour of whichever
// segment wins them, dark or light, so the shades are kept apart: the texels sorted by brightness
// and split into equal parts, each part's mean colour one shade.
struct Speck {
    ImpostorAtlas::SpeckShades shades{}; // alpha 0 for a cell without opaque texels
    int topRow = -1;                     // highest row of the cell with an opaque texel
};

std::vector<Speck> specksOf(int cells, int cellWidth, int cellHeight)
{
    const int width = cells * cellWidth;
    const std::vector<unsigned char> rgba = levelPixels(0, width, cellHeight);
    std::vector<Speck> specks(static_cast<std::size_t>(cells));
    std::vector<std::array<int, 3>> opaque;
    for (int cell = 0; cell < cells; ++cell) {
        Speck &speck = specks[static_cast<std::size_t>(cell)];
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
                speck.topRow = y;
            }
        if (opaque.empty())
            continue;
        std::sort(opaque.begin(), opaque.end(),
                  [](const auto &a, const auto &b) { return a[0] + a[1] + a[2] < b[0] + b[1] + b[2]; });
        const std::size_t shades = speck.shades.size();
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
                speck.shades[k][c] = static_cast<unsigned char>((sum[c] + n / 2) / n);
            speck.shades[k][3] = 255;
        }
    }
    return specks;
}

// Texels of each cell of the texture's level painted at least half opaque: what a tree drawn at
// that small size lights.
std::vector<int> litTexels(int level, int cells, int cellWidth, int cellHeight)
{
    const int width = cells * cellWidth;
    const std::vector<unsigned char> rgba = levelPixels(level, width, cellHeight);
    std::vector<int> lit(static_cast<std::size_t>(cells));
    for (std::size_t i = 0; i < rgba.size() / 4; ++i)
        if (rgba[4 * i + 3] >= 128)
            ++lit[(i % static_cast<std::size_t>(width)) / static_cast<std::size_t>(cellWidth)];
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
    if (!context || settings.cellWidth < 1 || settings.cellHeight < 1)
        return false;
    QOpenGLFunctions *f = context->functions();
    const int width = settings.cellWidth * stages;
    const int height = settings.cellHeight;
    const int levels = lastLevel(settings.cellWidth, settings.cellHeight) + 1;
    m_smallestCellHeight = settings.cellHeight >> (levels - 1);

    GLint previousFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    for (int level = 0; level < levels; ++level)
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width >> level, height >> level, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
    // Nearest texels of the nearest level: a level drawn at the quad's size then shows its
    // one-pixel lines and points one pixel wide, as the exact drawing does, instead of smearing
    // them over the neighbouring pixels.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // The atlas's levels are attached to one in turn; each stage is first drawn large into the
    // probe to find what it really covers.
    const Framebuffer atlasTarget(*f, width, height, false);
    const int probeWidth = settings.cellWidth * ProbeScale;
    const int probeHeight = settings.cellHeight * ProbeScale;
    const Framebuffer probeTarget(*f, probeWidth, probeHeight, true);
    bool complete = probeTarget.complete();

    const TreeDrawSettings saved = tree.settings();
    const float cellAspect = static_cast<float>(settings.cellWidth) / static_cast<float>(settings.cellHeight);
    std::vector<bool> stageHasLines; // levels of detail from 6 on
    std::vector<unsigned char> probe(static_cast<std::size_t>(probeWidth) *
                                     static_cast<std::size_t>(probeHeight) * 4);
    drawer.setAlphaAccumulation(true);
    for (int k = 1; k <= stages && complete; ++k) {
        TreeDrawSettings &s = tree.settings();
        s.growing = true;
        s.growthProgress = static_cast<double>(k) / stages;
        s.windOn = false;
        s.spinning = false;
        const auto mesh = cache.acquire(tree, false);
        const math::Vector3f lo = mesh->boundsMin();
        const math::Vector3f hi = mesh->boundsMax();
        const float radius =
            std::max({std::abs(lo.x), std::abs(hi.x), std::abs(lo.z), std::abs(hi.z), 1e-3f});
        const float depthRange = 2.0f * std::max(radius, hi.y - lo.y) + 1.0f;
        const auto drawStage = [&](const Box &box, int x, int y, int w, int h) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(x, y, w, h);
            glViewport(x, y, w, h);
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glDisable(GL_SCISSOR_TEST);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrtho(box.left, box.right, box.bottom, box.top, -depthRange, depthRange);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            for (int light = 0; light < 3; ++light)
                glLightfv(static_cast<GLenum>(GL_LIGHT0 + light), GL_POSITION,
                          settings.lightPositions[static_cast<std::size_t>(light)].data());
            const MeshInstance origin;
            drawer.draw(*mesh, textures, {&origin, 1});
            markCovered(*f, box, depthRange);
        };

        // The mesh's bounds hold more than shows (parts not grown yet, the transparent rest of
        // leaf pictures), so the picture's box is cut to what the stage draws. A box as large as
        // the bounds would leave a stage a few texels in its cell, magnified on screen into blots
        // several pixels wide where the exact drawing shows a one-pixel trunk or nothing.
        const Box bounds = shapedBox({-radius, radius, lo.y, hi.y}, cellAspect);
        probeTarget.bind();
        drawStage(bounds, 0, 0, probeWidth, probeHeight);
        glReadPixels(0, 0, probeWidth, probeHeight, GL_RGBA, GL_UNSIGNED_BYTE, probe.data());
        const Box drawn =
            coveredBox(probe, probeWidth, probeHeight, bounds).value_or(Box{-radius, radius, lo.y, hi.y});
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
        const auto &batches = mesh->batches();
        stageHasLines.push_back(std::any_of(batches.begin(), batches.end(), [](const MeshBatch &b) {
            return b.primitive == MeshPrimitive::Lines;
        }));
        m_stages.push_back(stage);

        atlasTarget.bind();
        for (int level = 0; level < levels && complete; ++level) {
            f->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_texture, level);
            complete = f->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
            if (!complete)
                break;
            const int cellWidth = settings.cellWidth >> level;
            const int cellHeight = settings.cellHeight >> level;
            drawStage(box, (k - 1) * cellWidth, 0, cellWidth, cellHeight);
        }
    }
    drawer.setAlphaAccumulation(false);
    tree.settings() = saved;
    if (complete) {
        glBindTexture(GL_TEXTURE_2D, m_texture);
        const auto specks = specksOf(stages, settings.cellWidth, settings.cellHeight);
        for (std::size_t k = 0; k < m_stages.size(); ++k) {
            Stage &stage = m_stages[k];
            if (!stageHasLines[k] || specks[k].topRow < 0)
                continue;
            stage.speckShades = specks[k].shades;
            stage.speckTop = stage.bottom + (stage.top - stage.bottom) *
                                                static_cast<float>(specks[k].topRow + 1) /
                                                static_cast<float>(settings.cellHeight);
        }
        // How often a speck shows: what the stage lights when drawn a few pixels tall (the levels
        // whose cells are 8 and 4 pixels high), against what its line would light there. A
        // seedling's few short lines light less than one line of its height.
        std::vector<double> rows(m_stages.size());
        std::vector<int> litByStage(m_stages.size());
        for (const int cellRows : {8, 4}) {
            int level = 0;
            while ((settings.cellHeight >> level) > cellRows && level + 1 < levels)
                ++level;
            const auto counts =
                litTexels(level, stages, settings.cellWidth >> level, settings.cellHeight >> level);
            for (std::size_t k = 0; k < m_stages.size(); ++k) {
                const Stage &stage = m_stages[k];
                litByStage[k] += counts[k];
                rows[k] += std::max(1.0, static_cast<double>(stage.speckTop / (stage.top - stage.bottom)) *
                                             static_cast<double>(settings.cellHeight >> level));
            }
        }
        for (std::size_t k = 0; k < m_stages.size(); ++k)
            m_stages[k].speckShare = static_cast<float>(std::min(1.0, litByStage[k] / rows[k]));
    }

    f->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    if (!complete)
        release();
    return complete;
}

} // namespace lignet::gl
