#pragma once

// Drawing the pictures of impostor atlases: a tree at one growth stage drawn into a part of a
// framebuffer, and the OpenGL objects and state that drawing needs.

#include "lignet/gl/impostoratlas.h"
#include "lignet/gl/impostorpicturereading.h"
#include "lignet/treedrawsettings.h"

#include <QOpenGLFunctions>

#include <memory>

namespace lignet::gl {
class GpuTreeMesh;
}

namespace lignet::gl::impostor {

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
    explicit PictureSession(TreeMeshDrawer &drawer);
    ~PictureSession();
    PictureSession(const PictureSession &) = delete;
    PictureSession &operator=(const PictureSession &) = delete;

private:
    TreeMeshDrawer &m_drawer;
    GLint m_framebuffer = 0;
};

// The tree at one growth stage, as the pictures draw it.
class StageDrawing {
public:
    // Sets the tree's draw settings for the stage (growth, no wind or spin) and takes its mesh;
    // the settings are put back as they were when it goes.
    StageDrawing(TreeRenderer &tree, GpuMeshCache &cache, double progress);
    ~StageDrawing();
    StageDrawing(const StageDrawing &) = delete;
    StageDrawing &operator=(const StageDrawing &) = delete;

    const GpuTreeMesh &mesh() const { return *m_mesh; }
    float radius() const { return m_radius; }
    // The mesh's bounds seen from the side.
    Box bounds() const { return {-m_radius, m_radius, m_bottom, m_top}; }

    // Draws the stage into the viewport (x, y, w, h), box in the picture plane, seen along -z
    // turned by turn (degrees) about the vertical axis, looking down by elevation (degrees; 90
    // straight down), and marks what its geometry covered (see markCovered).
    void draw(QOpenGLFunctions &f, TreeMeshDrawer &drawer, const TreeTextures &textures,
              const ImpostorSettings &settings, const Box &box, float turn, float elevation, int x, int y,
              int w, int h) const;

private:
    TreeRenderer &m_tree;
    const TreeDrawSettings m_saved;
    std::shared_ptr<const GpuTreeMesh> m_mesh;
    float m_radius = 0.0f, m_bottom = 0.0f, m_top = 0.0f, m_depthRange = 1.0f;
};

} // namespace lignet::gl::impostor
