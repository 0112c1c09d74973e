#include "lignet/gl/offscreencontext.h"

#include <QGuiApplication>
#include <QSurfaceFormat>

#include <GL/gl.h>

namespace lignet::gl {

OffscreenContext::OffscreenContext(const QSize &size, QOpenGLContext *shareWith) : m_size(size)
{
    if (!QGuiApplication::instance()) {
        m_error = QStringLiteral("off-screen drawing needs a running QGuiApplication");
        return;
    }
    if (size.width() < 1 || size.height() < 1) {
        m_error = QStringLiteral("off-screen image size must be positive");
        return;
    }
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    m_surface.setFormat(format);
    m_surface.create();
    if (!m_surface.isValid()) {
        m_error = QStringLiteral("could not create an off-screen surface");
        return;
    }
    m_context.setFormat(format);
    if (shareWith)
        m_context.setShareContext(shareWith);
    if (!m_context.create()) {
        m_error = QStringLiteral("could not create an OpenGL context");
        return;
    }
    if (!m_context.makeCurrent(&m_surface)) {
        m_error = QStringLiteral("could not make the OpenGL context current");
        return;
    }
    m_framebuffer = std::make_unique<FramebufferTarget>(size);
    if (!m_framebuffer->isValid() || !m_framebuffer->bind()) {
        m_error = m_framebuffer->isValid() ? QStringLiteral("could not draw into a %1x%2 framebuffer")
                                                 .arg(size.width())
                                                 .arg(size.height())
                                           : m_framebuffer->error();
        m_framebuffer.reset();
        return;
    }
    glViewport(0, 0, size.width(), size.height());
}

OffscreenContext::~OffscreenContext()
{
    // The framebuffer object must go while its context is current.
    if (m_framebuffer && m_context.makeCurrent(&m_surface)) {
        m_framebuffer.reset();
        m_context.doneCurrent();
    }
}

bool OffscreenContext::makeCurrent()
{
    if (!isValid() || !m_context.makeCurrent(&m_surface))
        return false;
    return m_framebuffer->bind();
}

void OffscreenContext::doneCurrent()
{
    m_context.doneCurrent();
}

QImage OffscreenContext::grab()
{
    if (!makeCurrent())
        return {};
    return m_framebuffer->grab();
}

} // namespace lignet::gl
