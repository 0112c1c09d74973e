#pragma once

// Shared pieces of the mesh drawing tests: an off-screen view with the program's state and the
// built-in tree textures, and picture comparison.

#include "lignet/gl/texturehelper.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/gl/treetextures.h"
#include "lignet/treerenderer.h"
#include "render/offscreengl.h"

#include <QImage>

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

// The share of pixels whose largest channel difference exceeds a level (all of them when the
// pictures differ in size).
inline double shareApart(const QImage &a, const QImage &b, int level)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    long long above = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            above += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                               std::abs(qBlue(p) - qBlue(q))}) > level;
        }
    return static_cast<double>(above) / (a.width() * a.height());
}

// An off-screen view of the given size with the desktop view's state and the bark and leaf
// textures of the built-in resources, uploaded as the program uploads them (colour key applied).
class MeshTestView {
public:
    // With shareWith, a second view of the same share group drawing with the first one's textures.
    explicit MeshTestView(int size, MeshTestView *shareWith = nullptr)
        : m_size(size), m_context(std::make_unique<lignet::gl::OffscreenContext>(
                            QSize(size, size), shareWith ? shareWith->context().context() : nullptr))
    {
        if (!m_context->isValid())
            return;
        lignet::gl::applyViewDefaults();
        lignet::gl::applyViewProjection(size, size);
        if (shareWith) {
            textures = shareWith->textures;
            m_ownsTextures = false;
            return;
        }
        textures.bark = lignet::gl::uploadTreeTexture(":/gui/textures/bark.jpg");
        textures.leaf = lignet::gl::uploadTreeTexture(":/gui/textures/leaf.png");
    }
    ~MeshTestView()
    {
        if (m_ownsTextures && m_context->makeCurrent())
            lignet::gl::releaseTreeTextures(textures);
    }

    bool valid() const { return m_context->isValid() && textures.bark != 0 && textures.leaf != 0; }
    lignet::gl::OffscreenContext &context() { return *m_context; }
    QImage grab() { return m_context->grab(); }
    int size() const { return m_size; }

    lignet::gl::TreeTextures textures;

private:
    int m_size;
    bool m_ownsTextures = true;
    std::unique_ptr<lignet::gl::OffscreenContext> m_context;
};
