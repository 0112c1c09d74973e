#include "lignet/gl/impostoratlas.h"

#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treerenderer.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace lignet::gl {

namespace {

// The part of each side of a cell left transparent, so linear filtering at a cell's edge takes
// little from the next cell.
constexpr float Margin = 0.1f;

// The last level at which a cell is still at least one texel wide and high.
int lastLevel(int cellWidth, int cellHeight)
{
    int level = 0;
    while ((cellWidth >> (level + 1)) >= 1 && (cellHeight >> (level + 1)) >= 1)
        ++level;
    return level;
}

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
    GLuint framebuffer = 0;
    GLuint depth = 0;
    f->glGenFramebuffers(1, &framebuffer);
    f->glGenRenderbuffers(1, &depth);
    f->glBindRenderbuffer(GL_RENDERBUFFER, depth);
    f->glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    f->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    f->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);

    const TreeDrawSettings saved = tree.settings();
    const float cellAspect = static_cast<float>(settings.cellWidth) / static_cast<float>(settings.cellHeight);
    bool complete = true;
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
        const float tall = std::max(hi.y - lo.y, 1e-3f);
        Stage stage;
        stage.progress = static_cast<double>(k) / stages;
        stage.height = hi.y;
        float halfWidth = radius * (1.0f + 2.0f * Margin);
        float boxHeight = tall * (1.0f + 2.0f * Margin);
        if (2.0f * halfWidth < cellAspect * boxHeight)
            halfWidth = 0.5f * cellAspect * boxHeight;
        else
            boxHeight = 2.0f * halfWidth / cellAspect;
        stage.left = -halfWidth;
        stage.right = halfWidth;
        stage.bottom = lo.y - tall * Margin;
        stage.top = stage.bottom + boxHeight;
        stage.u0 = static_cast<float>(k - 1) / static_cast<float>(stages);
        stage.u1 = static_cast<float>(k) / static_cast<float>(stages);
        m_stages.push_back(stage);

        for (int level = 0; level < levels && complete; ++level) {
            f->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_texture, level);
            complete = f->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
            if (!complete)
                break;
            const int cellWidth = settings.cellWidth >> level;
            const int cellHeight = settings.cellHeight >> level;
            glEnable(GL_SCISSOR_TEST);
            glScissor((k - 1) * cellWidth, 0, cellWidth, cellHeight);
            glViewport((k - 1) * cellWidth, 0, cellWidth, cellHeight);
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glDisable(GL_SCISSOR_TEST);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            const double depthRange = 2.0 * static_cast<double>(std::max(radius, tall)) + 1.0;
            glOrtho(stage.left, stage.right, stage.bottom, stage.top, -depthRange, depthRange);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            for (int light = 0; light < 3; ++light)
                glLightfv(static_cast<GLenum>(GL_LIGHT0 + light), GL_POSITION,
                          settings.lightPositions[static_cast<std::size_t>(light)].data());
            const MeshInstance origin;
            drawer.draw(*mesh, textures, {&origin, 1});
        }
    }
    drawer.setAlphaAccumulation(false);
    tree.settings() = saved;

    f->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
    f->glDeleteFramebuffers(1, &framebuffer);
    f->glDeleteRenderbuffers(1, &depth);
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
