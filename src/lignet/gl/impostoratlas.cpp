#include "lignet/gl/impostoratlas.h"

#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/impostorstagedrawing.h"
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

using impostor::Box;
using impostor::Framebuffer;
using impostor::PictureSession;
using impostor::StageDrawing;

namespace {

// The part of each side of a cell left transparent, so a quad whose edge falls a texel off shows
// nothing of the next cell.
constexpr float Margin = 0.1f;

// How much larger than the largest picture a stage is first drawn to find what it covers.
constexpr int ProbeScale = 4;

// The size whose pictures the specks' shades are read from, and those whose lit texels tell how
// often a speck shows (a tree drawn a few pixels tall).
constexpr int SpeckShadeSize = 64;
constexpr int SpeckShareSizes[] = {8, 4};

// drawn with a margin on each side, widened or heightened (upwards, so the trunk's foot stays
// near the bottom) to a square, the cells' shape, so texels are square in tree units.
Box shapedBox(const Box &drawn)
{
    const float width = std::max(drawn.right - drawn.left, 1e-3f);
    const float height = std::max(drawn.top - drawn.bottom, 1e-3f);
    const float side = std::max(width, height) * (1.0f + 2.0f * Margin);
    const float centre = 0.5f * (drawn.left + drawn.right);
    const float bottom = drawn.bottom - height * Margin;
    return {centre - 0.5f * side, centre + 0.5f * side, bottom, bottom + side};
}

} // namespace

ImpostorAtlas::~ImpostorAtlas()
{
    release();
}

void ImpostorAtlas::release()
{
    if (!m_textures.empty() && QOpenGLContext::currentContext())
        glDeleteTextures(static_cast<GLsizei>(m_textures.size()), m_textures.data());
    m_textures.clear();
    m_stages.clear();
    m_viewDrawn.clear();
}

int ImpostorAtlas::viewFor(float dx, float dz) const
{
    // The heading of the look: 0 along -z, a quarter turn along +x.
    const double turns =
        std::atan2(static_cast<double>(dx), -static_cast<double>(dz)) / (2.0 * std::numbers::pi);
    const int count = views();
    const auto view = static_cast<int>(std::lround(turns * count));
    return ((view % count) + count) % count;
}

int ImpostorAtlas::sizeFor(double quadPixels) const
{
    // Magnified, a picture's one-texel lines would show two pixels wide here and there; shown
    // smaller, a few texels drop out, as a tree that size loses pixels in the exact drawing too.
    const std::vector<int> &sizes = m_settings.sizes;
    const auto fits = std::find_if(sizes.begin(), sizes.end(), [quadPixels](int size) {
        return static_cast<double>(size) >= quadPixels;
    });
    // The largest also for a quad of no finite size (a plant at the eye's plane).
    return fits != sizes.end() ? static_cast<int>(fits - sizes.begin()) : static_cast<int>(sizes.size()) - 1;
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
    if (!context || settings.sizes.empty() || !std::is_sorted(settings.sizes.begin(), settings.sizes.end()) ||
        settings.sizes.front() < 1)
        return false;
    QOpenGLFunctions *f = context->functions();
    m_settings = settings;
    m_settings.views = views;
    m_viewDrawn.assign(static_cast<std::size_t>(views), false);

    const PictureSession session(drawer);
    m_textures.resize(settings.sizes.size());
    glGenTextures(static_cast<GLsizei>(m_textures.size()), m_textures.data());
    for (std::size_t i = 0; i < m_textures.size(); ++i) {
        glBindTexture(GL_TEXTURE_2D, m_textures[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, settings.sizes[i] * stages, settings.sizes[i] * views, 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        // Nearest texels of a picture drawn at about the quad's size: its one-pixel lines and
        // points show one pixel wide, as the exact drawing does, instead of smeared over the
        // neighbouring pixels.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    // Each stage is first drawn large into the probe, from the side and from above, to find what
    // it really covers.
    const int probe = settings.sizes.back() * ProbeScale;
    const Framebuffer probeTarget(*f, probe, probe, true);
    bool complete = probeTarget.complete();

    const TreeDrawSettings saved = tree.settings();
    for (int k = 1; k <= stages && complete; ++k) {
        const StageDrawing stageDrawing(tree, cache, static_cast<double>(k) / stages);
        // The mesh's bounds hold more than shows (parts not grown yet, the transparent rest of
        // leaf pictures), so the picture's box is cut to what the stage draws: its height from
        // the side, its reach from the trunk axis from above, which no direction exceeds. A box
        // as large as the bounds would leave a stage a few texels in its cell, magnified on
        // screen into blots several pixels wide where the exact drawing shows a one-pixel trunk
        // or nothing.
        const Box bounds = stageDrawing.bounds();
        const Box sideBox = shapedBox(bounds);
        stageDrawing.draw(*f, drawer, textures, settings, sideBox, 0.0f, false, 0, 0, probe, probe);
        const std::optional<Box> side =
            impostor::coveredBox(impostor::framebufferPixels(0, 0, probe, probe), probe, probe, sideBox);
        const float r = stageDrawing.radius();
        const Box aboveBox{-r, r, -r, r};
        stageDrawing.draw(*f, drawer, textures, settings, aboveBox, 0.0f, true, 0, 0, probe, probe);
        const std::optional<float> reach =
            impostor::coveredRadius(impostor::framebufferPixels(0, 0, probe, probe), probe, probe, aboveBox);
        Box drawn = bounds;
        if (side)
            drawn = {-reach.value_or(r), reach.value_or(r), side->bottom, side->top};
        const Box box = shapedBox(drawn);

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
    if (!valid() || view < 0 || view >= views())
        return false;
    if (hasView(view))
        return true;
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return false;
    QOpenGLFunctions *f = context->functions();
    const ImpostorSettings &settings = m_settings;
    const int stages = static_cast<int>(m_stages.size());
    const float turn = 360.0f * static_cast<float>(view) / static_cast<float>(views());

    const PictureSession session(drawer);
    // The textures of the sizes are attached to it one in turn.
    const Framebuffer atlasTarget(*f, settings.sizes.back() * stages, settings.sizes.back() * views(), false);
    atlasTarget.bind();
    const auto attach = [&](int size) {
        f->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture(size), 0);
        return f->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    };
    const int sizes = static_cast<int>(settings.sizes.size());
    const TreeDrawSettings saved = tree.settings();
    bool complete = true;
    for (int k = 0; k < stages && complete; ++k) {
        const Stage &stage = m_stages[static_cast<std::size_t>(k)];
        const StageDrawing stageDrawing(tree, cache, stage.progress);
        const Box box{stage.left, stage.right, stage.bottom, stage.top};
        for (int size = 0; size < sizes && complete; ++size) {
            complete = attach(size);
            const int cell = settings.sizes[static_cast<std::size_t>(size)];
            if (complete)
                stageDrawing.draw(*f, drawer, textures, settings, box, turn, false, k * cell, view * cell,
                                  cell, cell);
        }
    }
    tree.settings() = saved;
    if (!complete)
        return false;

    // The specks of this direction, read back from its row of the pictures of one size.
    const int shadeSize = sizeFor(SpeckShadeSize);
    const int shadeCell = settings.sizes[static_cast<std::size_t>(shadeSize)];
    attach(shadeSize);
    const auto opaque = impostor::opaqueTexelsOf(
        impostor::framebufferPixels(0, view * shadeCell, shadeCell * stages, shadeCell), stages, shadeCell,
        shadeCell);
    for (std::size_t k = 0; k < m_stages.size(); ++k) {
        Stage &stage = m_stages[k];
        Speck &speck = stage.specks[static_cast<std::size_t>(view)];
        if (!stage.hasLines || opaque[k].topRow < 0)
            continue;
        speck.shades = opaque[k].shades;
        speck.top = stage.bottom + (stage.top - stage.bottom) * static_cast<float>(opaque[k].topRow + 1) /
                                       static_cast<float>(shadeCell);
    }
    // How often a speck shows: what the stage lights when drawn a few pixels tall, against what
    // its line would light there. A seedling's few short lines light less than one line of its
    // height.
    std::vector<double> rows(m_stages.size());
    std::vector<int> litByStage(m_stages.size());
    for (const int pixels : SpeckShareSizes) {
        const int size = sizeFor(pixels);
        const int cellHeight = settings.sizes[static_cast<std::size_t>(size)];
        attach(size);
        const auto counts = impostor::litTexels(
            impostor::framebufferPixels(0, view * cellHeight, cellHeight * stages, cellHeight), stages,
            cellHeight);
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
