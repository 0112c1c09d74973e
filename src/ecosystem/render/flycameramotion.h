#pragma once

#include "math/vector3f.h"

namespace ecosystem::render {

class Camera;

// The coasting motion of the fly camera: navigation keys add to a move and a turn velocity, and
// every tick of the camera timer applies nine tenths of each to the camera until all six
// components have fallen below 0.5.
class FlyCameraMotion {
public:
    static constexpr float LessStep = 0.1f;
    static constexpr float NormalStep = 1.0f;
    static constexpr float MoreStep = 30.0f;
    static constexpr float TurnStep = 1.0f;
    static constexpr float Decay = 0.9f;
    static constexpr float StopSpeed = 0.5f;

    // Vertical move: positive is up.
    void moveUp(float step);
    // Along the camera's viewing direction in the ground plane: positive is forward.
    void moveForward(float step, const math::Vector3f &direction);
    // Sideways, across the viewing direction: positive is to the right.
    void moveRight(float step, const math::Vector3f &direction);
    void turnHeading(float amount);
    void turnLookPitch(float amount);
    void turnRoll(float amount);

    // One timer tick. Returns true when the motion has come to rest (the velocities are then
    // zero and the timer should stop).
    bool animate(Camera &camera);
    void stop();
    bool isMoving() const;

    math::Vector3f move;
    math::Vector3f turn; // heading, lookPitch, roll
};

} // namespace ecosystem::render
