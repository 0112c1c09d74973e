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
    if (QOpenGLContext::currentContext())
        for (const GLuint texture : m_textures)
            if (texture != 0)
                glDeleteTextures(1, &texture);
    m_textures.clear();
    m_stages.clear();
    m_pictureDrawn.clear();
    m_speckSet.clear();
}

int ImpostorAtlas::viewFor(float dx, float dy, float dz) const
{
    // How far the look goes down, in degrees, and the nearest elevation pictured.
    const double down =
        std::atan2(-static_cast<double>(dy), std::hypot(static_cast<double>(dx), static_cast<double>(dz))) *
        180.0 / std::numbers::pi;
    const std::vector<float> &elevations = m_settings.elevations;
    const auto nearest = std::min_element(elevations.begin(), elevations.end(), [down](float a, float b) {
        return std::abs(down - static_cast<double>(a)) < std::abs(down - static_cast<double>(b));
    });
    const auto elevation = static_cast<int>(nearest - elevations.begin());
    // The heading of the look: 0 along -z, a quarter turn along +x.
    const double turns =
        std::atan2(static_cast<double>(dx), -static_cast<double>(dz)) / (2.0 * std::numbers::pi);
    const int count = headings();
    const auto view = static_cast<int>(std::lround(turns * count));
    return elevation * count + ((view % count) + count) % count;
}

int ImpostorAtlas::sizeFor(double quadPixels) const
{
    // The size nearest in ratio, so a picture shows at 0.84 to 1.19 times its size. Always shown
    // smaller, up to 0.7 times, a picture lost columns of texels and with them the trunks that a
    // forest's trees 16 to 64 pixels tall show in the exact drawing; always magnified, its
    // one-texel lines showed two pixels wide and the forest lighter.
    const std::vector<int> &sizes = m_settings.sizes;
    const auto fits = std::find_if(sizes.begin(), sizes.end(), [quadPixels](int size) {
        return static_cast<double>(size) >= quadPixels;
    });
    if (fits == sizes.end())
        return static_cast<int>(sizes.size()) - 1;
    if (fits == sizes.begin())
        return 0;
    const int above = static_cast<int>(fits - sizes.begin());
    // The nearer of the two in ratio.
    return static_cast<double>(*fits) * static_cast<double>(*(fits - 1)) > quadPixels * quadPixels ? above - 1
                                                                                                   : above;
}

int ImpostorAtlas::sizeForPlant(double progress, double pixels, int view) const
{
    const Stage &stage = stageFor(progress);
    const Box &box = boxOf(stage, view);
    return sizeFor(stage.height > 0.0f ? pixels * static_cast<double>(box.top - box.bottom) / stage.height
                                       : pixels);
}

int ImpostorAtlas::stageIndexFor(double progress) const
{
    const auto count = static_cast<long>(m_stages.size());
    const long k = std::lround(std::clamp(progress, 0.0, 1.0) * static_cast<double>(count)) - 1;
    return static_cast<int>(std::clamp(k, 0L, count - 1));
}

std::size_t ImpostorAtlas::textureBytes() const
{
    std::size_t bytes = 0;
    for (std::size_t index = 0; index < m_textures.size(); ++index)
        if (m_textures[index] != 0) {
            const auto cell =
                static_cast<std::size_t>(m_settings.sizes[index / m_settings.elevations.size()]);
            bytes += cell * m_stages.size() * cell * static_cast<std::size_t>(headings()) * 4;
        }
    return bytes;
}

int ImpostorAtlas::picturesDrawn(int view) const
{
    int drawn = 0;
    for (int stage = 0; stage < stageCount(); ++stage)
        for (int size = 0; size < static_cast<int>(m_settings.sizes.size()); ++size)
            drawn += hasPicture(view, stage, size) ? 1 : 0;
    return drawn;
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
    const int stages = std::max(settings.stages, 1);
    const int views = std::max(settings.views, 1);
    if (!QOpenGLContext::currentContext() || settings.sizes.empty() ||
        !std::is_sorted(settings.sizes.begin(), settings.sizes.end()) || settings.sizes.front() < 1)
        return false;
    m_settings = settings;
    m_settings.views = views;
    if (m_settings.elevations.empty())
        m_settings.elevations = {0.0f};
    const int directions = this->views();
    m_stages.resize(static_cast<std::size_t>(stages));
    for (int k = 0; k < stages; ++k) {
        Stage &stage = m_stages[static_cast<std::size_t>(k)];
        stage.progress = static_cast<double>(k + 1) / stages;
        stage.u0 = static_cast<float>(k) / static_cast<float>(stages);
        stage.u1 = static_cast<float>(k + 1) / static_cast<float>(stages);
        stage.specks.resize(static_cast<std::size_t>(directions));
    }
    m_textures.assign(m_settings.sizes.size() * m_settings.elevations.size(), 0);
    m_pictureDrawn.assign(static_cast<std::size_t>(directions) * m_stages.size() * m_settings.sizes.size(),
                          false);
    m_speckSet.assign(static_cast<std::size_t>(directions) * m_stages.size(), false);
    // The first stage is measured at once, which also tells whether the probe can be made.
    return measureStages({0}, tree, textures, cache, drawer);
}

bool ImpostorAtlas::prepare(double progress, TreeRenderer &tree, const TreeTextures &textures,
                            GpuMeshCache &cache, TreeMeshDrawer &drawer)
{
    if (!valid())
        return false;
    // heightAt reads the first stage at or above progress and the one before it; the stage shown
    // is one of the two.
    progress = std::clamp(progress, 0.0, 1.0);
    const auto above = std::find_if(m_stages.begin(), m_stages.end(),
                                    [progress](const Stage &s) { return progress <= s.progress; });
    const int upper = above != m_stages.end() ? static_cast<int>(above - m_stages.begin()) : stageCount() - 1;
    std::vector<int> needed;
    for (const int k : {upper - 1, upper, stageIndexFor(progress)})
        if (k >= 0 && !m_stages[static_cast<std::size_t>(k)].measured &&
            std::find(needed.begin(), needed.end(), k) == needed.end())
            needed.push_back(k);
    return needed.empty() || measureStages(needed, tree, textures, cache, drawer);
}

bool ImpostorAtlas::measureStages(const std::vector<int> &stages, TreeRenderer &tree,
                                  const TreeTextures &textures, GpuMeshCache &cache, TreeMeshDrawer &drawer)
{
    QOpenGLFunctions *f = QOpenGLContext::currentContext()->functions();
    const PictureSession session(drawer);
    // Each stage is first drawn large into the probe, from the side, from straight above and from
    // each elevation pictured, to find what it really covers.
    const int probe = m_settings.sizes.back() * ProbeScale;
    const Framebuffer probeTarget(*f, probe, probe, true);
    if (!probeTarget.complete()) {
        release();
        return false;
    }
    for (const int k : stages) {
        Stage &stage = m_stages[static_cast<std::size_t>(k)];
        const StageDrawing stageDrawing(tree, cache, stage.progress);
        // The mesh's bounds hold more than shows (parts not grown yet, the transparent rest of
        // leaf pictures), so the picture's box is cut to what the stage draws: its height from
        // the side, its reach from the trunk axis from above, which no direction exceeds. A box
        // as large as the bounds would leave a stage a few texels in its cell, magnified on
        // screen into blots several pixels wide where the exact drawing shows a one-pixel trunk
        // or nothing.
        const Box bounds = stageDrawing.bounds();
        const Box sideBox = shapedBox(bounds);
        stageDrawing.draw(*f, drawer, textures, m_settings, sideBox, 0.0f, 0.0f, 0, 0, probe, probe);
        const std::optional<Box> side =
            impostor::coveredBox(impostor::framebufferPixels(0, 0, probe, probe), probe, probe, sideBox);
        const float r = stageDrawing.radius();
        const Box aboveBox{-r, r, -r, r};
        stageDrawing.draw(*f, drawer, textures, m_settings, aboveBox, 0.0f, 90.0f, 0, 0, probe, probe);
        const std::optional<float> reach =
            impostor::coveredRadius(impostor::framebufferPixels(0, 0, probe, probe), probe, probe, aboveBox);
        Box drawn = bounds;
        if (side)
            drawn = {-reach.value_or(r), reach.value_or(r), side->bottom, side->top};
        const Box box = shapedBox(drawn);

        stage.height = drawn.top;
        stage.boxes = {box};
        // Seen from above, the tree's height shortens and its crown's reach in front of and behind
        // the trunk shows below and above it. A box holding that much is drawn, and cut to what
        // shows, as the level one is.
        const float crown = drawn.right;
        for (std::size_t e = 1; e < m_settings.elevations.size(); ++e) {
            const double angle = static_cast<double>(m_settings.elevations[e]) * std::numbers::pi / 180.0;
            const auto cosine = static_cast<float>(std::cos(angle));
            const auto sine = static_cast<float>(std::sin(angle));
            const Box whole = shapedBox(
                {-crown, crown, drawn.bottom * cosine - crown * sine, drawn.top * cosine + crown * sine});
            stageDrawing.draw(*f, drawer, textures, m_settings, whole, 0.0f, m_settings.elevations[e], 0, 0,
                              probe, probe);
            const std::optional<Box> seen =
                impostor::coveredBox(impostor::framebufferPixels(0, 0, probe, probe), probe, probe, whole);
            stage.boxes.push_back(seen ? shapedBox({-crown, crown, seen->bottom, seen->top}) : whole);
        }
        const auto &batches = stageDrawing.mesh().batches();
        stage.hasLines = std::any_of(batches.begin(), batches.end(),
                                     [](const MeshBatch &b) { return b.primitive == MeshPrimitive::Lines; });
        stage.measured = true;
    }
    return true;
}

bool ImpostorAtlas::drawCell(int view, int stage, int size, const StageDrawing &drawing,
                             const TreeTextures &textures, TreeMeshDrawer &drawer,
                             std::vector<unsigned char> *pixels)
{
    QOpenGLFunctions *f = QOpenGLContext::currentContext()->functions();
    const int cell = m_settings.sizes[static_cast<std::size_t>(size)];
    const int stages = stageCount();
    GLuint &texture = m_textures[textureIndex(size, view)];
    f->glActiveTexture(GL_TEXTURE0);
    if (texture == 0) {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        // Cleared, so that a texel sampled off a cell's edge shows nothing.
        const std::vector<unsigned char> clear(
            static_cast<std::size_t>(cell * stages) * static_cast<std::size_t>(cell * headings()) * 4, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, cell * stages, cell * headings(), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, clear.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        // Nearest texels of a picture drawn at about the quad's size: its one-pixel lines and
        // points show one pixel wide, as the exact drawing does, instead of smeared over the
        // neighbouring pixels.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    // Drawn in a framebuffer of one cell, then copied to the cell's place in the texture.
    const Framebuffer target(*f, cell, cell, true);
    if (!target.complete())
        return false;
    const Stage &s = m_stages[static_cast<std::size_t>(stage)];
    const float turn = 360.0f * static_cast<float>(levelView(view)) / static_cast<float>(headings());
    drawing.draw(*f, drawer, textures, m_settings, boxOf(s, view), turn, elevationOf(view), 0, 0, cell, cell);
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, stage * cell, levelView(view) * cell, 0, 0, cell, cell);
    if (pixels)
        *pixels = impostor::framebufferPixels(0, 0, cell, cell);
    m_pictureDrawn[pictureIndex(view, stage, size)] = true;
    return true;
}

bool ImpostorAtlas::canDraw(int view, int stage) const
{
    return inRange(view, stage) && m_stages[static_cast<std::size_t>(stage)].measured &&
           QOpenGLContext::currentContext() != nullptr;
}

bool ImpostorAtlas::drawPicture(int view, int stage, int size, TreeRenderer &tree,
                                const TreeTextures &textures, GpuMeshCache &cache, TreeMeshDrawer &drawer)
{
    if (hasPicture(view, stage, size))
        return true;
    if (!canDraw(view, stage) || size < 0 || static_cast<std::size_t>(size) >= m_settings.sizes.size())
        return false;
    const PictureSession session(drawer);
    const StageDrawing drawing(tree, cache, m_stages[static_cast<std::size_t>(stage)].progress);
    return drawCell(view, stage, size, drawing, textures, drawer, nullptr);
}

bool ImpostorAtlas::drawSpeck(int view, int stage, TreeRenderer &tree, const TreeTextures &textures,
                              GpuMeshCache &cache, TreeMeshDrawer &drawer)
{
    if (hasSpeck(view, stage))
        return true;
    if (!canDraw(view, stage))
        return false;
    const PictureSession session(drawer);
    Stage &s = m_stages[static_cast<std::size_t>(stage)];
    const StageDrawing drawing(tree, cache, s.progress);
    // The cells are drawn again even where a quad needed them already: reading them back from
    // their texture would cost a framebuffer as well.
    std::vector<unsigned char> pixels;
    const auto cellPixels = [&](int size) {
        return drawCell(view, stage, size, drawing, textures, drawer, &pixels);
    };
    Speck &speck = s.specks[static_cast<std::size_t>(view)];
    const Box &box = boxOf(s, view);
    // The shades, read from the pictures of one size.
    const int shadeSize = sizeFor(SpeckShadeSize);
    const int shadeCell = m_settings.sizes[static_cast<std::size_t>(shadeSize)];
    if (!cellPixels(shadeSize))
        return false;
    const impostor::OpaqueTexels opaque = impostor::opaqueTexelsOf(pixels, 1, shadeCell, shadeCell).front();
    if (s.hasLines && opaque.topRow >= 0) {
        speck.shades = opaque.shades;
        speck.top = box.bottom + (box.top - box.bottom) * static_cast<float>(opaque.topRow + 1) /
                                     static_cast<float>(shadeCell);
    }
    // How often a speck shows: what the stage lights when drawn a few pixels tall, against what
    // its line would light there. A seedling's few short lines light less than one line of its
    // height.
    double rows = 0.0;
    int lit = 0;
    for (const int shown : SpeckShareSizes) {
        const int size = sizeFor(shown);
        const int cell = m_settings.sizes[static_cast<std::size_t>(size)];
        if (!cellPixels(size))
            return false;
        lit += impostor::litTexels(pixels, 1, cell).front();
        rows += std::max(1.0,
                         static_cast<double>(speck.top / (box.top - box.bottom)) * static_cast<double>(cell));
    }
    speck.share = static_cast<float>(std::min(1.0, lit / rows));
    m_speckSet[static_cast<std::size_t>(view * stageCount() + stage)] = true;
    return true;
}

} // namespace lignet::gl
