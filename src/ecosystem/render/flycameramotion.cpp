#include "ecosystem/render/flycameramotion.h"

#include "ecosystem/render/camera.h"

#include <cmath>

namespace ecosystem::render {

void FlyCameraMotion::moveUp(float step)
{
    move.y += step;
}

void FlyCameraMotion::moveForward(float step, const math::Vector3f &direction)
{
    move.x += step * direction.x;
    move.z += step * direction.z;
}

void FlyCameraMotion::moveRight(float step, const math::Vector3f &direction)
{
    // direction x (0, 1, 0): the camera's right-hand side in the ground plane.
    const math::Vector3f side(-direction.z, 0.0f, direction.x);
    move.x += step * side.x;
    move.z += step * side.z;
}

void FlyCameraMotion::turnHeading(float amount)
{
    turn.x += amount;
}

void FlyCameraMotion::turnLookPitch(float amount)
{
    turn.y += amount;
}

void FlyCameraMotion::turnRoll(float amount)
{
    turn.z += amount;
}

bool FlyCameraMotion::animate(Camera &camera)
{
    move.x *= Decay;
    camera.position.x += move.x;
    move.z *= Decay;
    camera.position.z += move.z;
    move.y *= Decay;
    camera.position.y += move.y;
    turn.x *= Decay;
    camera.heading += turn.x;
    turn.y *= Decay;
    camera.lookPitch += turn.y;
    turn.z *= Decay;
    camera.roll += turn.z;
    if (isMoving())
        return false;
    stop();
    return true;
}

void FlyCameraMotion::stop()
{
    move = {};
    turn = {};
}

bool FlyCameraMotion::isMoving() const
{
    for (float v : {move.x, move.y, move.z, turn.x, turn.y, turn.z})
        if (std::fabs(v) >= StopSpeed)
            return true;
    return false;
}

} // namespace ecosystem::render
