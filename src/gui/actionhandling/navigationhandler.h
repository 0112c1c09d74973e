#pragma once

#include "ecosystem/render/flycameramotion.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace ecosystem::render {
class EcosystemRender;
}

namespace gui {
class NavigationPanel;
}

namespace gui::actionhandling {

// What one navigation key does: in ecosystem mode it adds `flyAmount` to one velocity of the fly
// camera (which then coasts); in tree edit mode it moves the tree at once by `orbitAmount` along
// one orbit value, or only repaints.
struct Movement {
    enum class Fly { Climb, Strafe, Advance, Heading, LookPitch, Roll };
    enum class Orbit { None, Up, Side };
    Fly fly;
    float flyAmount;
    Orbit orbit;
    float orbitAmount;
};

// Camera navigation. In tree edit mode the keys move the tree at once; in ecosystem mode they add
// to a velocity that the camera timer lets decay (animateCamera), so the eye coasts to a stop.
class NavigationHandler : public QObject {
    Q_OBJECT

    using Fly = Movement::Fly;
    using Orbit = Movement::Orbit;

public:
    NavigationHandler(QObject *parent, QWidget *dialogParent, ecosystem::render::EcosystemRender *model);

    static constexpr float stepLess = ecosystem::render::FlyCameraMotion::LessStep;
    static constexpr float stepNormal = ecosystem::render::FlyCameraMotion::NormalStep;
    static constexpr float stepMore = ecosystem::render::FlyCameraMotion::MoreStep;
    static constexpr float stepTurn = ecosystem::render::FlyCameraMotion::TurnStep;
    static constexpr float stepMoreTreeEdit = 10.0f;

    // The fly camera's move velocity (x, y, z) and turn velocity (heading, lookPitch, roll).
    const ecosystem::render::FlyCameraMotion &motion() const { return flyMotion; }

    // What every movement slot below does with its entry of the table.
    void move(const Movement &movement);

    // The panel opened last, while it is open.
    NavigationPanel *navigationPanel() const;
    // An angle in degrees as the panel's dials show it: the same direction within -180 ... 180.
    static int dialAngle(float degrees);

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
    // The movement table: ecosystem velocity change, then the tree edit move.
    void actionMove_up() { move({Fly::Climb, stepNormal, Orbit::None, 0.0f}); }
    void actionMove_down() { move({Fly::Climb, -stepNormal, Orbit::None, 0.0f}); }
    void actionMove_up_more() { move({Fly::Climb, stepMore, Orbit::None, 0.0f}); }
    void actionMove_down_more() { move({Fly::Climb, -stepMore, Orbit::None, 0.0f}); }
    void actionMove_up_less() { move({Fly::Climb, stepLess, Orbit::None, 0.0f}); }
    void actionMove_down_less() { move({Fly::Climb, -stepLess, Orbit::None, 0.0f}); }
    void actionMove_left() { move({Fly::Strafe, -stepNormal, Orbit::None, 0.0f}); }
    void actionMove_left_more() { move({Fly::Strafe, -stepMore, Orbit::None, 0.0f}); }
    void actionMove_left_less() { move({Fly::Strafe, -stepLess, Orbit::None, 0.0f}); }
    void actionMove_right() { move({Fly::Strafe, stepNormal, Orbit::None, 0.0f}); }
    void actionMove_right_more() { move({Fly::Strafe, stepMore, Orbit::None, 0.0f}); }
    void actionMove_right_less() { move({Fly::Strafe, stepLess, Orbit::None, 0.0f}); }
    void actionMove_forward() { move({Fly::Advance, stepNormal, Orbit::Up, stepNormal}); }
    void actionMove_backward() { move({Fly::Advance, -stepNormal, Orbit::Up, -stepNormal}); }
    void actionMove_forward_less() { move({Fly::Advance, stepLess, Orbit::Up, stepLess}); }
    void actionMove_backward_less() { move({Fly::Advance, -stepLess, Orbit::Up, -stepLess}); }
    void actionRotate_left() { move({Fly::Heading, -stepTurn, Orbit::Side, stepTurn}); }
    void actionRotate_right() { move({Fly::Heading, stepTurn, Orbit::Side, -stepTurn}); }
    void actionRotate_up() { move({Fly::LookPitch, -stepTurn, Orbit::None, 0.0f}); }
    void actionRotate_down() { move({Fly::LookPitch, stepTurn, Orbit::None, 0.0f}); }
    void actionRotate_in() { move({Fly::Roll, -stepTurn, Orbit::None, 0.0f}); }
    void actionRotate_out() { move({Fly::Roll, stepTurn, Orbit::None, 0.0f}); }
    void actionMove_forward_more() { move({Fly::Advance, stepMore, Orbit::Up, stepMoreTreeEdit}); }
    void actionMove_backward_more() { move({Fly::Advance, -stepMore, Orbit::Up, -stepMoreTreeEdit}); }
    void actionForce_camera_position_at_terrain_surface_ecosystem_mode();
    void actionKeep_camera_position_above_terrain_surface_ecosystem_mode();
    void actionSave_camera_as_predefined();
    void animateCamera();

private:
    bool treeEditMode() const;

    QWidget *dialogParent;
    ecosystem::render::EcosystemRender *model;
    ecosystem::render::FlyCameraMotion flyMotion;
    QPointer<NavigationPanel> panel;
};

} // namespace gui::actionhandling
