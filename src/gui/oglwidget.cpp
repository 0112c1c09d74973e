#include "gui/oglwidget.h"

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/glextensions.h"
#include "gui/dialogservice.h"
#include "lignet/gl/glviewdefaults.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QSurfaceFormat>
#include <QTimer>

#include <GL/gl.h>

namespace gui {

bool OglWidget::failoverMessageNotShown = true;

OglWidget::OglWidget(QWidget *parent, ecosystem::render::EcosystemRender *sharedModel)
    : QOpenGLWidget(parent), model(sharedModel)
{
    // The toolkit never clears the picture before painting, so a frame that draws nothing keeps
    // the last image. The view is not marked opaque (WA_OpaquePaintEvent): the window composes the
    // picture under the view's area, which must then be repainted see-through whenever the view
    // appears, also where a closed view's background was drawn before.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
}

OglWidget::~OglWidget() = default;

void OglWidget::prepareApplication()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
    // Every view draws the one model with the same texture objects.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void OglWidget::switchToModel(ecosystem::render::EcosystemRender *newModel)
{
    model = newModel;
}

void OglWidget::updateGL()
{
    repaint();
}

void OglWidget::initializeGL()
{
    lignet::gl::applyViewDefaults();

    checkExtensions();

    if (model == nullptr) {
        QPointer<OglWidget> self(this);
        ownedModel = std::make_unique<ecosystem::render::EcosystemRender>(
            context(), [self](const QString &title, const QString &text) {
                if (self)
                    self->showModelError(title, text);
            });
        model = ownedModel.get();
        emit newModelCreated(model);
    } else {
        model->initAllTextures(context());
    }
    // A view moved to another window (a floated dock) gets a new context and comes back here,
    // so the connection must not be doubled.
    connect(model, &ecosystem::render::EcosystemRender::modelDataChanged, this, &OglWidget::updateGL,
            Qt::UniqueConnection);
    emit newGlContextInitialized(this);
}

OglWidget::ExtensionNotice OglWidget::extensionNotice(const ecosystem::render::GlExtensions &extensions,
                                                      bool &failoverNoticePending)
{
    if (!extensions.queried())
        return ExtensionNotice::CouldNotQuery;
    const bool tellUser = failoverNoticePending && !extensions.listsCompiledVertexArray();
    failoverNoticePending = false;
    return tellUser ? ExtensionNotice::CompiledVertexArrayFailover : ExtensionNotice::None;
}

void OglWidget::checkExtensions()
{
    const auto extensions =
        ecosystem::render::GlExtensions::listedIn(reinterpret_cast<const char *>(glGetString(GL_EXTENSIONS)));
    multitexture = extensions.listsMultitexture();
    compiledVertexArrays = extensions.listsCompiledVertexArray();
    switch (extensionNotice(extensions, failoverMessageNotShown)) {
    case ExtensionNotice::CouldNotQuery:
        QMessageBox::information(
            this, tr("OpenGL Extensions"),
            tr("Could not query for supported OpenGL extensions, extensions will not be supported."));
        break;
    case ExtensionNotice::CompiledVertexArrayFailover:
        QMessageBox::information(
            this, tr("OpenGL Extensions"),
            tr("Compiled vertex array is not supported with this driver, using failover."));
        break;
    case ExtensionNotice::None:
        break;
    }
}

void OglWidget::showModelError(const QString &title, const QString &text)
{
    // Errors can arise while a context is being set up; the box waits for the event loop so that
    // no dialog runs inside a GL hook.
    QPointer<OglWidget> self(this);
    QTimer::singleShot(0, this, [self, title, text] {
        if (self)
            dialogServiceFor(self).information(self->window(), title, text);
    });
}

void OglWidget::resizeGL(int width, int height)
{
    lignet::gl::applyViewProjection(width, height);
}

void OglWidget::paintGL()
{
    if (model != nullptr)
        model->render();
    ++drawnFrames;
}

void OglWidget::mousePressEvent(QMouseEvent *event)
{
    emit grabCamera();
    grabMouse();
    const QPoint pos = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton) {
        leftDragging = true;
        lastLeftY = pos.y();
    } else if (event->buttons() & Qt::RightButton) {
        rightDragging = true;
        lastRightX = pos.x();
        lastRightY = pos.y();
    }
}

void OglWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (model == nullptr)
        return;
    ecosystem::render::Camera *camera = model->getCamera();
    const QPoint pos = event->position().toPoint();
    if (leftDragging) {
        camera->orbitDistance += static_cast<float>(pos.y() - lastLeftY) / sensitivity;
        lastLeftY = pos.y();
        updateGL();
    }
    if (rightDragging) {
        camera->orbitYaw += static_cast<float>(pos.x() - lastRightX) / sensitivity;
        camera->orbitPitch += static_cast<float>(pos.y() - lastRightY) / sensitivity;
        lastRightX = pos.x();
        lastRightY = pos.y();
        updateGL();
    }
}

void OglWidget::mouseReleaseEvent(QMouseEvent *)
{
    leftDragging = false;
    rightDragging = false;
    releaseMouse();
}

} // namespace gui
