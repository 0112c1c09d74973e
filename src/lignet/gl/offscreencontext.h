#pragma once

#include "lignet/gl/framebuffertarget.h"

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSize>
#include <QString>

#include <memory>

namespace lignet::gl {

// A compatibility-profile OpenGL context drawing into a framebuffer object of a fixed size,
// without a window. Needs a QGuiApplication and a display (or Xvfb). After construction the
// context is current and the framebuffer bound with the viewport covering it.
class OffscreenContext {
public:
    // With shareWith, the new context shares buffers, textures and programs with that one (as the
    // views of the program do).
    explicit OffscreenContext(const QSize &size, QOpenGLContext *shareWith = nullptr);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext &) = delete;
    OffscreenContext &operator=(const OffscreenContext &) = delete;

    bool isValid() const { return m_error.isEmpty(); }
    // Why the context could not be made, empty when it is valid.
    const QString &error() const { return m_error; }
    QSize size() const { return m_size; }
    QOpenGLContext *context() { return &m_context; }

    bool makeCurrent();
    void doneCurrent();
    // The framebuffer as an opaque image (what a window would show), top row first.
    QImage grab();

private:
    QSize m_size;
    QOffscreenSurface m_surface;
    QOpenGLContext m_context;
    std::unique_ptr<FramebufferTarget> m_framebuffer;
    QString m_error;
};

} // namespace lignet::gl
