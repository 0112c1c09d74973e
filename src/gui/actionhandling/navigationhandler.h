#pragma once

#include "ecosystem/render/flycameramotion.h"

#include <QObject>

class QWidget;

namespace ecosystem::render {
class EcosystemRender;
}

namespace gui::actionhandling {

// Camera navigation. In tree edit mode the keys move the tree at once; in ecosystem mode they add
// to a velocity that the camera timer lets decay (animateCamera), so the eye coasts to a stop.
class NavigationHandler : public QObject {
    Q_OBJECT

public:
    NavigationHandler(QObject *parent, QWidget *dialogParent, ecosystem::render::EcosystemRender *model);

    static constexpr float stepLess = ecosystem::render::FlyCameraMotion::LessStep;
    static constexpr float stepNormal = ecosystem::render::FlyCameraMotion::NormalStep;
    static constexpr float stepMore = ecosystem::render::FlyCameraMotion::MoreStep;
    static constexpr float stepTurn = ecosystem::render::FlyCameraMotion::TurnStep;
    static constexpr float stepMoreTreeEdit = 10.0f;

    // The fly camera's move velocity (x, y, z) and turn velocity (heading, lookPitch, roll).
    const ecosystem::render::FlyCameraMotion &motion() const { return flyMotion; }

signals:
    void forceRefresh();
    void startCameraAnimation();
    void stopCameraAnimation();

public slots:
    void action_Navigation_panel();
    void updateNavigationPanelValues();
    void absoluteMoveX(int value);
    void absoluteMoveY(int value);
    void absoluteMoveZ(int value);
    void absoluteMoveTurn(int value);
    void absoluteMoveRoll(int value);
    void absoluteMoveYow(int value);
    void actionSwitch_to_next_predefined_camera();
    void actionReset_camera_view();
    void actionMove_up();
    void actionMove_down();
    void actionMove_up_more();
    void actionMove_down_more();
    void actionMove_up_less();
    void actionMove_down_less();
    void actionMove_left();
    void actionMove_left_more();
    void actionMove_left_less();
    void actionMove_right();
    void actionMove_right_more();
    void actionMove_right_less();
    void actionMove_forward();
    void actionMove_backward();
    void actionMove_forward_less();
    void actionMove_backward_less();
    void actionRotate_left();
    void actionRotate_right();
    void actionRotate_up();
    void actionRotate_down();
    void actionRotate_in();
    void actionRotate_out();
    void actionMove_forward_more();
    void actionMove_backward_more();
    void actionForce_camera_position_at_terrain_surface_ecosystem_mode();
    void actionKeep_camera_position_above_terrain_surface_ecosystem_mode();
    void actionSave_camera_as_predefined();
    void animateCamera();

private:
    bool treeEditMode() const;
    // Tree edit mode: lift the tree by `amount` at once.
    void liftTree(float amount);
    // Ecosystem mode: velocity changes, each followed by a start of the camera timer.
    void climb(float step);
    void advance(float step);
    void strafe(float step);
    void turnBy(float heading, float lookPitch, float roll);
    // Tree edit mode has no reaction to this key but still repaints.
    void repaintOnlyInTreeEdit();

    QWidget *dialogParent;
    ecosystem::render::EcosystemRender *model;
    ecosystem::render::FlyCameraMotion flyMotion;
};

} // namespace gui::actionhandling
