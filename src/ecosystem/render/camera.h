#pragma once

#include "math/vector3f.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <vector>

namespace math {
class Mat4;
}

namespace ecosystem {
class TerrainModel;
}

namespace ecosystem::render {

class TerrainSurface;

// Both views of the render model: the orbit values of tree edit mode (the tree moves in front of
// a fixed eye) and the fly camera of ecosystem mode, with its list of predefined viewpoints.
// Angles are degrees, positions world units.
class Camera : public QObject {
    Q_OBJECT

public:
    // Heading, look pitch and roll of one predefined viewpoint.
    struct Angles {
        float heading = 0.0f;
        float lookPitch = 0.0f;
        float roll = 0.0f;
    };

    // The terrain is read only by followTerrain; it may be null (the surface rules then do nothing).
    Camera(QObject *parent, const TerrainModel *terrain);

    // One predefined camera.
    struct Viewpoint {
        math::Vector3f position;
        Angles angles;
    };
    // The high view over the terrain and the view across it, first in the predefined cycle.
    static constexpr std::array<Viewpoint, 2> StandardViewpoints{{
        {{1243.0f, 1000.0f, 192.0f}, {180.0f, 59.0f, 0.0f}},
        {{1300.0f, 250.0f, 790.0f}, {270.0f, 0.0f, 0.0f}},
    }};

    // Back to the reset values, at the second standard viewpoint; the standard viewpoints are put
    // at the head of the predefined lists the first time only.
    void resetCamera();

    // Multiplies the fly camera onto the current OpenGL modelview matrix (after it was loaded
    // with the identity). Runs followTerrain first when either surface flag is set.
    void applyFlyCamera();
    // The matrix applyFlyCamera multiplies on: pitch about +x, roll about +z, then the look-at
    // transform of the eye along `direction`. Recomputes `direction` from `heading`.
    math::Mat4 flyCameraMatrix();
    // direction := (sin heading, 0, -cos heading).
    void updateDirection();

    // Keeps the eye on or above the ground as the two flags say (1.7 units above the surface).
    void followTerrain();
    // The same rule on any grid (used by followTerrain and by tests).
    void followSurface(const TerrainSurface &surface);

    void nextPredefinedCamera();
    // Appends the current viewpoint to the predefined lists unless it is there already.
    void saveAsPredefined();

    static constexpr float EyeHeight = 1.7f;

    float orbitPitch = 0.0f;
    float orbitYaw = 0.0f;
    float orbitDistance = -15.0f;
    float orbitUp = -13.0f;
    float orbitSide = 0.0f;
    float heading = 180.0f;
    float lookPitch = 59.0f;
    float roll = 0.0f;
    math::Vector3f position{1243.0f, 1000.0f, 192.0f};
    math::Vector3f direction{0.0f, 0.0f, -1.0f};
    bool forceAtSurface = false;
    bool keepAboveSurface = true;
    const TerrainModel *terrain = nullptr;
    std::vector<math::Vector3f> predefinedPositions;
    std::vector<Angles> predefinedAngles;
    // Starts just before the first entry, so the first switch selects the first viewpoint.
    std::int32_t predefinedIndex = -1;
};

} // namespace ecosystem::render
