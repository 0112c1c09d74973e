#pragma once

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QString>

#include <memory>

class QOpenGLFramebufferObject;

namespace ecosystem::render {

// A compatibility-profile OpenGL context drawing into a framebuffer object, with the program's
// fixed view state and projection: the headless stand-in for a view. Needs a QGuiApplication.
class OffscreenView {
public:
    OffscreenView();
    ~OffscreenView();

    // Creates the context and a width x height framebuffer and makes them current. On failure
    // returns false with a one-line reason in `error`.
    bool create(int width, int height, QString *error = nullptr);
    void makeCurrent();
    QOpenGLContext *context() { return &context_; }
    // The framebuffer's picture (top row first).
    QImage grab() const;

private:
    QOffscreenSurface surface;
    QOpenGLContext context_;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};

} // namespace ecosystem::render
