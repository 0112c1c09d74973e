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
    return model->isSingleRender();
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

void NavigationHandler::liftTree(float amount)
{
    model->getCamera()->orbitUp += amount;
    emit forceRefresh();
}

void NavigationHandler::repaintOnlyInTreeEdit()
{
    emit forceRefresh();
}

void NavigationHandler::climb(float step)
{
    if (treeEditMode())
        return repaintOnlyInTreeEdit();
    flyMotion.moveUp(step);
    emit startCameraAnimation();
}

void NavigationHandler::advance(float step)
{
    flyMotion.moveForward(step, model->getCamera()->direction);
    emit startCameraAnimation();
}

void NavigationHandler::strafe(float step)
{
    if (treeEditMode())
        return repaintOnlyInTreeEdit();
    flyMotion.moveRight(step, model->getCamera()->direction);
    emit startCameraAnimation();
}

void NavigationHandler::turnBy(float heading, float lookPitch, float roll)
{
    flyMotion.turnHeading(heading);
    flyMotion.turnLookPitch(lookPitch);
    flyMotion.turnRoll(roll);
    emit startCameraAnimation();
}

void NavigationHandler::actionMove_up()
{
    climb(stepNormal);
}
void NavigationHandler::actionMove_down()
{
    climb(-stepNormal);
}
void NavigationHandler::actionMove_up_more()
{
    climb(stepMore);
}
void NavigationHandler::actionMove_down_more()
{
    climb(-stepMore);
}
void NavigationHandler::actionMove_up_less()
{
    climb(stepLess);
}
void NavigationHandler::actionMove_down_less()
{
    climb(-stepLess);
}

void NavigationHandler::actionMove_left()
{
    strafe(-stepNormal);
}
void NavigationHandler::actionMove_left_more()
{
    strafe(-stepMore);
}
void NavigationHandler::actionMove_left_less()
{
    strafe(-stepLess);
}
void NavigationHandler::actionMove_right()
{
    strafe(stepNormal);
}
void NavigationHandler::actionMove_right_more()
{
    strafe(stepMore);
}
void NavigationHandler::actionMove_right_less()
{
    strafe(stepLess);
}

void NavigationHandler::actionMove_forward()
{
    treeEditMode() ? liftTree(stepNormal) : advance(stepNormal);
}

void NavigationHandler::actionMove_backward()
{
    treeEditMode() ? liftTree(-stepNormal) : advance(-stepNormal);
}

void NavigationHandler::actionMove_forward_less()
{
    treeEditMode() ? liftTree(stepLess) : advance(stepLess);
}

void NavigationHandler::actionMove_backward_less()
{
    treeEditMode() ? liftTree(-stepLess) : advance(-stepLess);
}

void NavigationHandler::actionMove_forward_more()
{
    treeEditMode() ? liftTree(stepMoreTreeEdit) : advance(stepMore);
}

void NavigationHandler::actionMove_backward_more()
{
    treeEditMode() ? liftTree(-stepMoreTreeEdit) : advance(-stepMore);
}

void NavigationHandler::actionRotate_left()
{
    if (treeEditMode()) {
        model->getCamera()->orbitSide += stepTurn;
        emit forceRefresh();
    } else {
        turnBy(-stepTurn, 0.0f, 0.0f);
    }
}

void NavigationHandler::actionRotate_right()
{
    if (treeEditMode()) {
        model->getCamera()->orbitSide -= stepTurn;
        emit forceRefresh();
    } else {
        turnBy(stepTurn, 0.0f, 0.0f);
    }
}

void NavigationHandler::actionRotate_up()
{
    treeEditMode() ? repaintOnlyInTreeEdit() : turnBy(0.0f, -stepTurn, 0.0f);
}

void NavigationHandler::actionRotate_down()
{
    treeEditMode() ? repaintOnlyInTreeEdit() : turnBy(0.0f, stepTurn, 0.0f);
}

void NavigationHandler::actionRotate_in()
{
    treeEditMode() ? repaintOnlyInTreeEdit() : turnBy(0.0f, 0.0f, -stepTurn);
}

void NavigationHandler::actionRotate_out()
{
    treeEditMode() ? repaintOnlyInTreeEdit() : turnBy(0.0f, 0.0f, stepTurn);
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
