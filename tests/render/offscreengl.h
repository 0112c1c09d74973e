#pragma once

// Off-screen views for the display tests, and picture comparison.

#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"
#include "lignet/gl/treetextures.h"

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

// A current off-screen context with the program's view state and projection; with shareWith, one
// of that context's share group.
class OffscreenGl {
public:
    bool create(int width, int height, QOpenGLContext *shareWith = nullptr)
    {
        context = std::make_unique<lignet::gl::OffscreenContext>(QSize(width, height), shareWith);
        if (!context->isValid())
            return false;
        lignet::gl::applyViewDefaults();
        lignet::gl::applyViewProjection(width, height);
        return true;
    }
    bool valid() const { return context && context->isValid(); }
    QImage grab() const { return context->grab(); }
    QOpenGLContext *glContext() { return context->context(); }
    bool makeCurrent() { return context->makeCurrent(); }
    void destroy() { context.reset(); }

private:
    std::unique_ptr<lignet::gl::OffscreenContext> context;
};

// The sum of `value` over every pixel of a picture.
inline double sumPixels(const QImage &image, const std::function<double(QRgb)> &value)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += value(image.pixel(x, y));
    return sum;
}

// Pixels of a picture for which predicate holds.
inline int countPixels(const QImage &image, const std::function<bool(QRgb)> &predicate)
{
    return static_cast<int>(sumPixels(image, [&predicate](QRgb p) { return predicate(p) ? 1.0 : 0.0; }));
}

// The share of pixels whose largest channel difference exceeds a level (all of them when the
// pictures differ in size).
inline double shareApart(const QImage &a, const QImage &b, int level)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    int above = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            above += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                               std::abs(qBlue(p) - qBlue(q))}) > level;
        }
    return static_cast<double>(above) / (a.width() * a.height());
}

// A square view with the bark and leaf textures of the built-in resources, uploaded as the program
// uploads them (colour key applied).
class MeshTestView : public OffscreenGl {
public:
    // With shareWith, a second view of the same share group drawing with the first one's textures.
    explicit MeshTestView(int size, MeshTestView *shareWith = nullptr) : m_ownsTextures(!shareWith)
    {
        if (!create(size, size, shareWith ? shareWith->glContext() : nullptr))
            return;
        textures = shareWith
                       ? shareWith->textures
                       : lignet::gl::TreeTextures{lignet::gl::uploadTreeTexture(":/gui/textures/bark.jpg"),
                                                  lignet::gl::uploadTreeTexture(":/gui/textures/leaf.png")};
    }
    ~MeshTestView()
    {
        if (m_ownsTextures && makeCurrent())
            lignet::gl::releaseTreeTextures(textures);
    }
    bool valid() const { return OffscreenGl::valid() && textures.bark != 0 && textures.leaf != 0; }

    lignet::gl::TreeTextures textures;

private:
    bool m_ownsTextures;
};
