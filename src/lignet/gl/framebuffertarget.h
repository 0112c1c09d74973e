#pragma once

#include <QImage>
#include <QOpenGLFramebufferObject>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

namespace lignet::gl {

// A framebuffer object with a depth buffer in the current context: where every off-screen
// picture is drawn (the command line's contexts and the desktop view's large exports). A size the
// driver cannot take is refused with a reason before anything is allocated, and an allocation the
// driver fails is reported the same way, never as a black picture.
class FramebufferTarget {
public:
    // A context must be current, and stay current while the target lives.
    explicit FramebufferTarget(const QSize &size);

    bool isValid() const { return m_error.isEmpty(); }
    // Why the target could not be made, empty when it is valid.
    const QString &error() const { return m_error; }
    QSize size() const { return m_size; }

    bool bind();
    // The pixels as an opaque image (what a window would show), top row first.
    QImage grab();

    // Why a picture of `size` cannot be drawn under these driver limits; empty when it can.
    static QString sizeProblem(const QSize &size, int maxRenderbufferSize, int maxViewportWidth,
                               int maxViewportHeight);

private:
    QSize m_size;
    std::unique_ptr<QOpenGLFramebufferObject> m_framebuffer;
    QString m_error;
};

// The pixels of the framebuffer bound in the current context, as an opaque image (what a window
// shows), top row first: the picture drawn last, without drawing a new one.
QImage readBoundFramebuffer(const QSize &size);

// Draws one picture of `size` in the current context: binds a fresh target, sets the view's
// viewport and projection for that size, runs `draw`, reads the pixels and puts back the caller's
// framebuffer, viewport and projection. Returns a null image and the reason in `error` when the
// driver cannot make the target or runs out of memory while drawing.
QImage renderOffscreen(const QSize &size, const std::function<void()> &draw, QString *error);

} // namespace lignet::gl
