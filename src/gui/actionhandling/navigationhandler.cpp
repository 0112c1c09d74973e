#include "gui/actionhandling/navigationhandler.h"

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "gui/dialogs/navigationpanel.h"

#include <QAbstractSlider>
#include <QLabel>
#include <QPushButton>

#include <cmath>

namespace gui::actionhandling {

NavigationHandler::NavigationHandler(QObject *parent, QWidget *dialogParentWidget,
                                     ecosystem::render::EcosystemRender *renderModel)
    : QObject(parent), dialogParent(dialogParentWidget), model(renderModel)
{
}

bool NavigationHandler::treeEditMode() const
{
    return model->viewOptions().isOn(ecosystem::render::ViewOption::SingleRender);
}

void NavigationHandler::action_Navigation_panel()
{
    panel = new NavigationPanel(dialogParent);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    // Filled before it is connected, so the first filling does not move the camera.
    updateNavigationPanelValues();
    connect(panel->x(), &QAbstractSlider::valueChanged, this, &NavigationHandler::absoluteMoveX);
    connect(panel->y(), &QAbstractSlider::valueChanged, this, &NavigationHandler::absoluteMoveY);
    connect(panel->z(), &QAbstractSlider::valueChanged, this, &NavigationHandler::absoluteMoveZ);
    connect(panel->turn(), &QAbstractSlider::valueChanged, this, &NavigationHandler::absoluteMoveTurn);
    connect(panel->roll(), &QAbstractSlider::valueChanged, this, &NavigationHandler::absoluteMoveRoll);
    connect(panel->yow(), &QAbstractSlider::valueChanged, this, &NavigationHandler::absoluteMoveYow);
    connect(panel->travelForward(), &QPushButton::pressed, this, &NavigationHandler::actionMove_forward);
    connect(panel->travelBackward(), &QPushButton::pressed, this, &NavigationHandler::actionMove_backward);
    connect(this, &NavigationHandler::forceRefresh, this, &NavigationHandler::updateNavigationPanelValues,
            Qt::UniqueConnection);
    panel->show();
}

NavigationPanel *NavigationHandler::navigationPanel() const
{
    return panel;
}

int NavigationHandler::dialAngle(float degrees)
{
    // A heading of 270 is shown as -90: the dials end at 180, and a clamped 180 would turn the
    // camera by 90 degrees at the first step of a button.
    return static_cast<int>(std::remainder(degrees, 360.0f));
}

void NavigationHandler::updateNavigationPanelValues()
{
    if (panel == nullptr)
        return;
    const ecosystem::render::Camera &camera = *model->getCamera();
    panel->x()->setValue(static_cast<int>(camera.position.x));
    panel->y()->setValue(static_cast<int>(camera.position.y));
    panel->z()->setValue(static_cast<int>(camera.position.z));
    panel->turn()->setValue(dialAngle(camera.heading));
    panel->roll()->setValue(dialAngle(camera.lookPitch));
    panel->yow()->setValue(dialAngle(camera.roll));
    // Setting a slider may have moved the camera (to whole units); the label shows where it is now.
    const ecosystem::TerrainBounds &bounds = model->getTerrain().bounds();
    panel->demPosition()->setText(QStringLiteral("(%1, %2, %3)")
                                      .arg(double(bounds.minX + camera.position.x))
                                      .arg(double(bounds.minY + camera.position.z))
                                      .arg(double(bounds.minZ + camera.position.y)));
}

void NavigationHandler::absoluteMoveX(int value)
{
    model->getCamera()->position.x = static_cast<float>(value);
    emit forceRefresh();
}

void NavigationHandler::absoluteMoveY(int value)
{
    model->getCamera()->position.y = static_cast<float>(value);
    emit forceRefresh();
}

void NavigationHandler::absoluteMoveZ(int value)
{
    model->getCamera()->position.z = static_cast<float>(value);
    emit forceRefresh();
}

void NavigationHandler::absoluteMoveTurn(int value)
{
    model->getCamera()->heading = static_cast<float>(value);
    emit forceRefresh();
}

void NavigationHandler::absoluteMoveRoll(int value)
{
    model->getCamera()->lookPitch = static_cast<float>(value);
    emit forceRefresh();
}

void NavigationHandler::absoluteMoveYow(int value)
{
    model->getCamera()->roll = static_cast<float>(value);
    emit forceRefresh();
}

void NavigationHandler::actionSwitch_to_next_predefined_camera()
{
    if (!treeEditMode()) {
        model->getCamera()->nextPredefinedCamera();
        flyMotion.stop();
    }
    emit forceRefresh();
}

void NavigationHandler::actionReset_camera_view()
{
    model->getCamera()->resetCamera();
    emit forceRefresh();
}

void NavigationHandler::move(const Movement &movement)
{
    ecosystem::render::Camera &camera = *model->getCamera();
    if (treeEditMode()) {
        if (movement.orbit == Orbit::Up)
            camera.orbitUp += movement.orbitAmount;
        else if (movement.orbit == Orbit::Side)
            camera.orbitSide += movement.orbitAmount;
        emit forceRefresh();
        return;
    }
    const float amount = movement.flyAmount;
    switch (movement.fly) {
    case Fly::Climb:
        flyMotion.moveUp(amount);
        break;
    case Fly::Strafe:
        flyMotion.moveRight(amount, camera.direction);
        break;
    case Fly::Advance:
        flyMotion.moveForward(amount, camera.direction);
        break;
    case Fly::Heading:
        flyMotion.turnHeading(amount);
        break;
    case Fly::LookPitch:
        flyMotion.turnLookPitch(amount);
        break;
    case Fly::Roll:
        flyMotion.turnRoll(amount);
        break;
    }
    emit startCameraAnimation();
}

void NavigationHandler::actionForce_camera_position_at_terrain_surface_ecosystem_mode()
{
    bool &flag = model->getCamera()->forceAtSurface;
    flag = !flag;
    emit forceRefresh();
}

void NavigationHandler::actionKeep_camera_position_above_terrain_surface_ecosystem_mode()
{
    bool &flag = model->getCamera()->keepAboveSurface;
    flag = !flag;
    emit forceRefresh();
}

void NavigationHandler::actionSave_camera_as_predefined()
{
    model->getCamera()->saveAsPredefined();
}

void NavigationHandler::animateCamera()
{
    if (flyMotion.animate(*model->getCamera()))
        emit stopCameraAnimation();
    emit forceRefresh();
}

} // namespace gui::actionhandling
