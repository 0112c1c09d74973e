#include "lignet/gl/framebuffertarget.h"

#include "lignet/gl/glviewdefaults.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObjectFormat>
#include <QOpenGLFunctions>

#include <GL/gl.h>

#include <algorithm>

namespace lignet::gl {

namespace {

QString sizeText(const QSize &size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

void clearGlErrors()
{
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

bool ranOutOfMemory()
{
    bool outOfMemory = false;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
        outOfMemory = outOfMemory || e == GL_OUT_OF_MEMORY;
    return outOfMemory;
}

} // namespace

QString FramebufferTarget::sizeProblem(const QSize &size, int maxRenderbufferSize, int maxViewportWidth,
                                       int maxViewportHeight)
{
    if (size.width() < 1 || size.height() < 1)
        return QStringLiteral("a picture of %1 pixels has no area").arg(sizeText(size));
    const int maxWidth = std::min(maxRenderbufferSize, maxViewportWidth);
    const int maxHeight = std::min(maxRenderbufferSize, maxViewportHeight);
    if (size.width() > maxWidth || size.height() > maxHeight)
        return QStringLiteral(
                   "a picture of %1 pixels is larger than this OpenGL driver can draw (at most %2)")
            .arg(sizeText(size), sizeText(QSize(maxWidth, maxHeight)));
    return {};
}

FramebufferTarget::FramebufferTarget(const QSize &size) : m_size(size)
{
    if (QOpenGLContext::currentContext() == nullptr) {
        m_error = QStringLiteral("no OpenGL context is current");
        return;
    }
    GLint maxRenderbuffer = 0;
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    m_error = sizeProblem(size, maxRenderbuffer, maxViewport[0], maxViewport[1]);
    if (!m_error.isEmpty())
        return;
    clearGlErrors();
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::Depth);
    m_framebuffer = std::make_unique<QOpenGLFramebufferObject>(size, format);
    if (!m_framebuffer->isValid() || ranOutOfMemory()) {
        m_framebuffer.reset();
        m_error =
            QStringLiteral("the OpenGL driver could not make a framebuffer of %1 pixels").arg(sizeText(size));
    }
}

bool FramebufferTarget::bind()
{
    return m_framebuffer && m_framebuffer->bind();
}

QImage FramebufferTarget::grab()
{
    if (!bind())
        return {};
    return readBoundFramebuffer(m_framebuffer->size());
}

QImage readBoundFramebuffer(const QSize &size)
{
    if (QOpenGLContext::currentContext() == nullptr || size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGBA8888);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    // OpenGL's rows start at the bottom.
    return image.mirrored().convertToFormat(QImage::Format_RGB32);
}

QImage renderOffscreen(const QSize &size, const std::function<void()> &draw, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QImage();
    };
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (context == nullptr)
        return fail(QStringLiteral("no OpenGL context is current"));
    GLint previousFramebuffer = 0;
    GLint previousViewport[4] = {0, 0, 0, 0};
    GLfloat previousProjection[16];
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer);
    glGetIntegerv(GL_VIEWPORT, previousViewport);
    glGetFloatv(GL_PROJECTION_MATRIX, previousProjection);

    QImage image;
    QString why;
    {
        FramebufferTarget target(size);
        if (!target.isValid() || !target.bind()) {
            why = target.isValid() ? QStringLiteral("could not draw into the framebuffer") : target.error();
        } else {
            applyViewProjection(size.width(), size.height());
            draw();
            glFinish();
            if (ranOutOfMemory())
                why = QStringLiteral("the OpenGL driver ran out of memory drawing %1 pixels")
                          .arg(sizeText(size));
            else
                image = target.grab();
        }
    }
    context->functions()->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
    glViewport(previousViewport[0], previousViewport[1], previousViewport[2], previousViewport[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(previousProjection);
    glMatrixMode(GL_MODELVIEW);
    if (!why.isEmpty())
        return fail(why);
    if (image.isNull())
        return fail(QStringLiteral("could not read the picture back from the framebuffer"));
    return image;
}

} // namespace lignet::gl
