#pragma once

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <memory>

// A current compatibility-profile context drawing into a framebuffer object of a fixed size,
// with the projection the program's views use (90 degrees, aspect 1, near 1, far 30000).
class OffscreenGl {
public:
    bool create(int width, int height)
    {
        surface.setFormat(QSurfaceFormat::defaultFormat());
        surface.create();
        context.setFormat(QSurfaceFormat::defaultFormat());
        if (!context.create() || !context.makeCurrent(&surface))
            return false;
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
        fbo = std::make_unique<QOpenGLFramebufferObject>(width, height, format);
        if (!fbo->isValid() || !fbo->bind())
            return false;
        return true;
    }
    QImage grab() const { return fbo->toImage(); }
    QOpenGLContext *glContext() { return &context; }

private:
    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};
