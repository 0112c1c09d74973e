#include "ecosystem/render/offscreenview.h"

#include "ecosystem/render/viewsetup.h"

#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

namespace ecosystem::render {

OffscreenView::OffscreenView() = default;

OffscreenView::~OffscreenView()
{
    // The framebuffer must go while its context is current.
    if (fbo && context_.isValid()) {
        context_.makeCurrent(&surface);
        fbo.reset();
        context_.doneCurrent();
    }
}

bool OffscreenView::create(int width, int height, QString *error)
{
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    surface.setFormat(format);
    surface.create();
    context_.setFormat(format);
    if (!context_.create() || !context_.makeCurrent(&surface)) {
        if (error)
            *error = QStringLiteral("could not create an OpenGL context (is a display available?)");
        return false;
    }
    QOpenGLFramebufferObjectFormat fboFormat;
    fboFormat.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
    fbo = std::make_unique<QOpenGLFramebufferObject>(width, height, fboFormat);
    if (!fbo->isValid() || !fbo->bind()) {
        if (error)
            *error = QStringLiteral("could not create a %1 x %2 framebuffer").arg(width).arg(height);
        return false;
    }
    ViewSetup::initializeFixedState();
    ViewSetup::setProjection(width, height);
    return true;
}

void OffscreenView::makeCurrent()
{
    context_.makeCurrent(&surface);
    if (fbo)
        fbo->bind();
}

QImage OffscreenView::grab() const
{
    return fbo ? fbo->toImage() : QImage();
}

} // namespace ecosystem::render
