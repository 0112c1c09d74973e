#include "lignet/gl/impostorstagedrawing.h"

#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treerenderer.h"

#include <QOpenGLContext>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace lignet::gl::impostor {

namespace {

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

} // namespace

PictureSession::PictureSession(TreeMeshDrawer &drawer) : m_drawer(drawer)
{
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_framebuffer);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    m_drawer.setAlphaAccumulation(true);
}

PictureSession::~PictureSession()
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

StageDrawing::StageDrawing(TreeRenderer &tree, GpuMeshCache &cache, double progress)
    : m_tree(tree), m_saved(tree.settings())
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

StageDrawing::~StageDrawing()
{
    m_tree.settings() = m_saved;
}

void StageDrawing::draw(QOpenGLFunctions &f, TreeMeshDrawer &drawer, const TreeTextures &textures,
                        const ImpostorSettings &settings, const Box &box, float turn, float elevation, int x,
                        int y, int w, int h) const
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
    glRotatef(elevation, 1.0f, 0.0f, 0.0f);
    glRotatef(turn, 0.0f, 1.0f, 0.0f);
    for (int light = 0; light < 3; ++light)
        glLightfv(static_cast<GLenum>(GL_LIGHT0 + light), GL_POSITION,
                  settings.lightPositions[static_cast<std::size_t>(light)].data());
    const MeshInstance origin;
    drawer.draw(*m_mesh, textures, {&origin, 1});
    markCovered(f, box, m_depthRange);
}

} // namespace lignet::gl::impostor
