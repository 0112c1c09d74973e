#pragma once

#include <QOpenGLWidget>

#include <memory>

class QMouseEvent;

namespace ecosystem::render {
class EcosystemRender;
class GlExtensions;
} // namespace ecosystem::render

namespace gui {

// One OpenGL view. The first view creates the render model in its context, owns it and announces
// it; further views share that model. Mouse drags turn and move the tree of tree edit mode.
class OglWidget : public QOpenGLWidget {
    Q_OBJECT

public:
    // `model` is null for the first view, which then creates (and owns) the model.
    OglWidget(QWidget *parent, ecosystem::render::EcosystemRender *model);
    ~OglWidget() override;

    // The information box a view shows about the driver's extensions. The failover notice is given
    // at most once per process (`failoverNoticePending` is the process-wide flag, cleared by the
    // first check that read a list), and only when the first view that gets this far lacks
    // compiled vertex arrays.
    enum class ExtensionNotice { None, CouldNotQuery, CompiledVertexArrayFailover };
    static ExtensionNotice extensionNotice(const ecosystem::render::GlExtensions &extensions,
                                           bool &failoverNoticePending);

    // Requests the compatibility profile and shared contexts; must run before QApplication exists.
    static void prepareApplication();

    ecosystem::render::EcosystemRender *currentModel() const { return model; }
    bool hasMultitexture() const { return multitexture; }
    bool hasCompiledVertexArrays() const { return compiledVertexArrays; }
    float mouseSensitivity() const { return sensitivity; }
    // How many frames this view has drawn since it was made.
    int framesDrawn() const { return drawnFrames; }

    // For tests: whether the next view lacking compiled vertex arrays would still tell the user.
    static bool failoverMessagePending() { return failoverMessageNotShown; }

signals:
    void newModelCreated(ecosystem::render::EcosystemRender *model);
    void newGlContextInitialized(gui::OglWidget *view);
    void grabCamera();

public slots:
    void switchToModel(ecosystem::render::EcosystemRender *newModel);
    // Repaints now, with this view's context current.
    void updateGL();
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

private:
    void checkExtensions();
    void showModelError(const QString &title, const QString &text);

    bool multitexture = false;
    bool compiledVertexArrays = false;
    ecosystem::render::EcosystemRender *model;
    // Set in the first view only.
    std::unique_ptr<ecosystem::render::EcosystemRender> ownedModel;
    int lastRightX = 0;
    int lastRightY = 0;
    int lastLeftY = 0;
    bool leftDragging = false;
    bool rightDragging = false;
    float sensitivity = 10.0f;
    int drawnFrames = 0;

    static bool failoverMessageNotShown;
};

} // namespace gui
