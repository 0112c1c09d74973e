#pragma once

#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"

#include <QImage>

#include <functional>
#include <memory>

// A current off-screen context with the program's view state and projection.
class OffscreenGl {
public:
    bool create(int width, int height)
    {
        context = std::make_unique<lignet::gl::OffscreenContext>(QSize(width, height));
        if (!context->isValid())
            return false;
        lignet::gl::applyViewDefaults();
        lignet::gl::applyViewProjection(width, height);
        return true;
    }
    QImage grab() const { return context->grab(); }
    QOpenGLContext *glContext() { return context->context(); }
    bool makeCurrent() { return context->makeCurrent(); }
    void destroy() { context.reset(); }

private:
    std::unique_ptr<lignet::gl::OffscreenContext> context;
};

// Pixels of a picture for which predicate holds.
inline int countPixels(const QImage &image, const std::function<bool(QRgb)> &predicate)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += predicate(image.pixel(x, y)) ? 1 : 0;
    return count;
}
