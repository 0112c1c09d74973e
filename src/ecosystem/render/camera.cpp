#include "ecosystem/render/camera.h"

#include "ecosystem/render/terrainsurface.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "math/mat4.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ecosystem::render {

Camera::Camera(QObject *parent, const TerrainModel *terrainModel) : QObject(parent), terrain(terrainModel)
{
    resetCamera();
}

void Camera::resetCamera()
{
    orbitDistance = -15.0f;
    orbitUp = -13.0f;
    orbitSide = 0.0f;
    orbitPitch = 0.0f;
    orbitYaw = 0.0f;
    direction = {0.0f, 0.0f, -1.0f};

    forceAtSurface = false;
    keepAboveSurface = true;
    // The two standard viewpoints head the predefined cycle once; saved viewpoints follow them,
    // so a reset never pushes a saved camera further away.
    for (const Viewpoint &standard : StandardViewpoints) {
        position = standard.position;
        heading = standard.angles.heading;
        lookPitch = standard.angles.lookPitch;
        roll = standard.angles.roll;
        saveAsPredefined();
    }
}

void Camera::updateDirection()
{
    const double radians = static_cast<double>(heading) / 180.0 * std::numbers::pi;
    direction = {static_cast<float>(std::sin(radians)), 0.0f, static_cast<float>(-std::cos(radians))};
}

math::Mat4 Camera::flyCameraMatrix()
{
    updateDirection();
    if (forceAtSurface || keepAboveSurface)
        followTerrain();
    // The look-at transform as gluLookAt builds it: rows side, up and -forward, then the eye moved
    // to the origin.
    math::Vector3f forward = direction;
    forward.normalize();
    math::Vector3f side = forward.cross({0.0f, 1.0f, 0.0f});
    side.normalize();
    const math::Vector3f up = side.cross(forward);
    math::Mat4 look;
    look[0] = side.x;
    look[4] = side.y;
    look[8] = side.z;
    look[1] = up.x;
    look[5] = up.y;
    look[9] = up.z;
    look[2] = -forward.x;
    look[6] = -forward.y;
    look[10] = -forward.z;
    look = look * math::Mat4::translation(-position.x, -position.y, -position.z);
    return math::Mat4::rotation(lookPitch, 1.0f, 0.0f, 0.0f) * math::Mat4::rotation(roll, 0.0f, 0.0f, 1.0f) *
           look;
}

void Camera::applyFlyCamera()
{
    const math::Mat4 matrix = flyCameraMatrix();
    glMultMatrixf(matrix.data());
}

void Camera::followTerrain()
{
    if (terrain == nullptr || (!forceAtSurface && !keepAboveSurface))
        return;
    const auto &vertices = terrain->vertices();
    const TerrainSurface surface(terrain->width(), terrain->height(), [&vertices](int index) {
        return vertices[static_cast<std::size_t>(index)].y;
    });
    followSurface(surface);
}

void Camera::followSurface(const TerrainSurface &surface)
{
    if (!forceAtSurface && !keepAboveSurface)
        return;
    if (!surface.contains(position.x, position.z)) {
        if (!forceAtSurface)
            return;
        position.x = std::clamp(position.x, 0.0f, surface.maxX());
        position.z = std::clamp(position.z, 0.0f, surface.maxZ());
    }
    const float ground = surface.heightAt(position.x, position.z) + EyeHeight;
    if (forceAtSurface)
        position.y = ground;
    else if (ground > position.y)
        position.y = ground;
}

void Camera::saveAsPredefined()
{
    // A viewpoint already in the cycle would only lengthen it.
    for (std::size_t i = 0; i < predefinedPositions.size(); ++i) {
        const Angles &a = predefinedAngles[i];
        if (predefinedPositions[i] == position && a.heading == heading && a.lookPitch == lookPitch &&
            a.roll == roll)
            return;
    }
    predefinedPositions.push_back(position);
    predefinedAngles.push_back({heading, lookPitch, roll});
}

void Camera::nextPredefinedCamera()
{
    if (predefinedPositions.empty())
        return;
    ++predefinedIndex;
    if (predefinedIndex < 0 || static_cast<std::size_t>(predefinedIndex) >= predefinedPositions.size())
        predefinedIndex = 0;
    const auto index = static_cast<std::size_t>(predefinedIndex);
    position = predefinedPositions[index];
    heading = predefinedAngles[index].heading;
    lookPitch = predefinedAngles[index].lookPitch;
    roll = predefinedAngles[index].roll;
}

} // namespace ecosystem::render
