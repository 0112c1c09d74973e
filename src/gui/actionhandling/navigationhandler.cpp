#include "gui/actionhandling/navigationhandler.h"

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "gui/notavailable.h"

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
    showNotAvailable(dialogParent, tr("&Navigation panel"));
}

void NavigationHandler::updateNavigationPanelValues()
{
    // Only an open navigation panel shows the values, and none can be opened in this build.
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
