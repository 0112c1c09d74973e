#include "ecosystem/render/camera.h"
#include "ecosystem/render/flycameramotion.h"
#include "ecosystem/render/terrainsurface.h"
#include "math/mat4.h"
#include "render/offscreengl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using ecosystem::render::Camera;
using ecosystem::render::FlyCameraMotion;
using ecosystem::render::TerrainSurface;

namespace {

// Runs the camera timer until the motion rests; returns the number of ticks.
int coast(FlyCameraMotion &motion, Camera &camera)
{
    int ticks = 0;
    while (ticks < 1000) {
        ++ticks;
        if (motion.animate(camera))
            break;
    }
    return ticks;
}

// A 4 x 3 grid of heights h(c, r) = 10 c + 100 r, counting how often it is read.
struct CountingGrid {
    std::vector<float> heights;
    mutable int reads = 0;
    CountingGrid()
    {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                heights.push_back(10.0f * static_cast<float>(c) + 100.0f * static_cast<float>(r));
    }
    TerrainSurface surface() const
    {
        return TerrainSurface(4, 3, [this](int i) {
            ++reads;
            EXPECT_GE(i, 0);
            EXPECT_LT(i, 12);
            return heights[static_cast<std::size_t>(i)];
        });
    }
};

} // namespace

TEST(CameraReset, leavesTheSecondViewpointAndKeepsTheStandardViewpointsOnceAtTheHead)
{
    Camera camera(nullptr, nullptr);
    EXPECT_FLOAT_EQ(camera.orbitDistance, -15.0f);
    EXPECT_FLOAT_EQ(camera.orbitUp, -13.0f);
    EXPECT_FLOAT_EQ(camera.heading, 270.0f);
    EXPECT_FLOAT_EQ(camera.lookPitch, 0.0f);
    EXPECT_EQ(camera.position, math::Vector3f(1300.0f, 250.0f, 790.0f));
    EXPECT_FALSE(camera.forceAtSurface);
    EXPECT_TRUE(camera.keepAboveSurface);
    ASSERT_EQ(camera.predefinedPositions.size(), 2u);
    EXPECT_EQ(camera.predefinedPositions[0], math::Vector3f(1243.0f, 1000.0f, 192.0f));
    EXPECT_FLOAT_EQ(camera.predefinedAngles[0].heading, 180.0f);
    EXPECT_FLOAT_EQ(camera.predefinedAngles[0].lookPitch, 59.0f);

    camera.orbitYaw = 33.0f;
    camera.position = {10.0f, 20.0f, 30.0f};
    camera.saveAsPredefined();
    // Many resets later the saved camera is still the third stop of the cycle.
    for (int i = 0; i < 16; ++i)
        camera.resetCamera();
    EXPECT_FLOAT_EQ(camera.orbitYaw, 0.0f);
    ASSERT_EQ(camera.predefinedPositions.size(), 3u);
    EXPECT_EQ(camera.predefinedAngles.size(), 3u);
    EXPECT_EQ(camera.predefinedPositions[1], math::Vector3f(1300.0f, 250.0f, 790.0f));
    EXPECT_EQ(camera.predefinedPositions[2], math::Vector3f(10.0f, 20.0f, 30.0f));
    EXPECT_EQ(camera.position, math::Vector3f(1300.0f, 250.0f, 790.0f));
    camera.predefinedIndex = 1;
    camera.nextPredefinedCamera();
    EXPECT_EQ(camera.position, math::Vector3f(10.0f, 20.0f, 30.0f));

    // Saving a viewpoint the cycle holds already adds nothing; any other angle is a new stop.
    camera.saveAsPredefined();
    EXPECT_EQ(camera.predefinedPositions.size(), 3u);
    camera.roll = 5.0f;
    camera.saveAsPredefined();
    EXPECT_EQ(camera.predefinedPositions.size(), 4u);
}

TEST(CameraPredefined, firstSwitchSelectsTheFirstViewpointAndWrapsAround)
{
    Camera camera(nullptr, nullptr);
    camera.nextPredefinedCamera();
    EXPECT_EQ(camera.predefinedIndex, 0);
    EXPECT_EQ(camera.position, math::Vector3f(1243.0f, 1000.0f, 192.0f));
    EXPECT_FLOAT_EQ(camera.lookPitch, 59.0f);
    camera.nextPredefinedCamera();
    EXPECT_EQ(camera.predefinedIndex, 1);
    EXPECT_FLOAT_EQ(camera.heading, 270.0f);
    camera.nextPredefinedCamera();
    EXPECT_EQ(camera.predefinedIndex, 0);

    camera.position = {1.0f, 2.0f, 3.0f};
    camera.heading = 45.0f;
    camera.saveAsPredefined();
    ASSERT_EQ(camera.predefinedPositions.size(), 3u);
    camera.nextPredefinedCamera();
    camera.nextPredefinedCamera();
    EXPECT_EQ(camera.position, math::Vector3f(1.0f, 2.0f, 3.0f));
    EXPECT_FLOAT_EQ(camera.heading, 45.0f);
}

TEST(FlyCameraMotion, normalStepCoastsSevenTicks)
{
    Camera camera(nullptr, nullptr);
    FlyCameraMotion motion;
    const float startY = camera.position.y;
    motion.moveUp(FlyCameraMotion::NormalStep);
    EXPECT_EQ(coast(motion, camera), 7);
    // 0.9 + 0.81 + ... + 0.9^7: each tick decays the speed first, then moves.
    double expected = 0.0;
    for (int k = 1; k <= 7; ++k)
        expected += std::pow(0.9, k);
    EXPECT_NEAR(camera.position.y - startY, expected, 1e-3);
    EXPECT_NEAR(camera.position.y - startY, 4.695, 1e-3);
    EXPECT_FALSE(motion.isMoving());
    EXPECT_EQ(motion.move, math::Vector3f());
}

TEST(FlyCameraMotion, lessStepMovesOnceAndMoreStepCoastsLong)
{
    Camera camera(nullptr, nullptr);
    FlyCameraMotion motion;
    const float startY = camera.position.y;
    motion.moveUp(-FlyCameraMotion::LessStep);
    EXPECT_EQ(coast(motion, camera), 1);
    EXPECT_NEAR(camera.position.y - startY, -0.09, 1e-5);

    const float startX = camera.position.x;
    motion.moveForward(FlyCameraMotion::MoreStep, {1.0f, 0.0f, 0.0f});
    EXPECT_EQ(coast(motion, camera), 39);
    EXPECT_NEAR(camera.position.x - startX, 265.56, 0.05);
}

TEST(FlyCameraMotion, sidewaysAndTurnsFollowTheViewingDirection)
{
    Camera camera(nullptr, nullptr);
    FlyCameraMotion motion;
    // Looking along -z, the right-hand side is +x.
    motion.moveRight(FlyCameraMotion::NormalStep, {0.0f, 0.0f, -1.0f});
    EXPECT_FLOAT_EQ(motion.move.x, 1.0f);
    EXPECT_FLOAT_EQ(motion.move.z, 0.0f);
    motion.moveRight(-2.0f, {0.0f, 0.0f, -1.0f});
    EXPECT_FLOAT_EQ(motion.move.x, -1.0f);
    motion.stop();

    // A second key press while the camera still moves adds to the remaining speed.
    motion.turnHeading(1.0f);
    motion.animate(camera);
    motion.turnHeading(1.0f);
    EXPECT_NEAR(motion.turn.x, 1.9f, 1e-6);
    motion.turnLookPitch(-1.0f);
    motion.turnRoll(1.0f);
    EXPECT_FLOAT_EQ(motion.turn.y, -1.0f);
    EXPECT_FLOAT_EQ(motion.turn.z, 1.0f);
}

TEST(CameraFollowTerrain, keepAboveLiftsOnlyAnEyeBelowTheGround)
{
    CountingGrid grid;
    Camera camera(nullptr, nullptr);
    // Point (30, 20): cell (1, 0), fx 0.2, fz 0.8 -> second triangle.
    // h11 = 110, h10 = 20, h01 = 110: 110 + (20 - 110) * 0.2 + 0 = 92.
    camera.position = {30.0f, 102.0f, 20.0f};
    camera.followSurface(grid.surface());
    EXPECT_FLOAT_EQ(camera.position.y, 102.0f);
    camera.position.y = 50.0f;
    camera.followSurface(grid.surface());
    EXPECT_NEAR(camera.position.y, 92.0f + Camera::EyeHeight, 1e-4);

    // First triangle: (5, 5) in cell (0, 0), fx = fz = 0.2: 0 + 10 * 0.2 + 100 * 0.2 = 22.
    camera.position = {5.0f, 0.0f, 5.0f};
    camera.followSurface(grid.surface());
    EXPECT_NEAR(camera.position.y, 22.0f + Camera::EyeHeight, 1e-4);

    // Outside the grid nothing is read when the eye is not forced to the surface.
    const int reads = grid.reads;
    camera.position = {-10.0f, -500.0f, 10.0f};
    camera.followSurface(grid.surface());
    EXPECT_FLOAT_EQ(camera.position.y, -500.0f);
    EXPECT_EQ(grid.reads, reads);
}

TEST(CameraFollowTerrain, forceClampsIntoTheGridAndStaysInsideOnTheFarEdge)
{
    CountingGrid grid;
    Camera camera(nullptr, nullptr);
    camera.forceAtSurface = true;
    camera.position = {1000.0f, 900.0f, -40.0f};
    camera.followSurface(grid.surface());
    EXPECT_FLOAT_EQ(camera.position.x, 75.0f);
    EXPECT_FLOAT_EQ(camera.position.z, 0.0f);
    EXPECT_NEAR(camera.position.y, 30.0f + Camera::EyeHeight, 1e-4);

    camera.position = {75.0f, 0.0f, 50.0f};
    camera.followSurface(grid.surface());
    EXPECT_NEAR(camera.position.y, 230.0f + Camera::EyeHeight, 1e-4);
}

TEST(CameraFollowTerrain, bothFlagsOffNeverReadTheTerrain)
{
    CountingGrid grid;
    Camera camera(nullptr, nullptr);
    camera.keepAboveSurface = false;
    camera.position = {30.0f, -50.0f, 20.0f};
    camera.followSurface(grid.surface());
    EXPECT_EQ(grid.reads, 0);
    EXPECT_FLOAT_EQ(camera.position.y, -50.0f);
}

TEST(CameraFlyMatrix, matchesTheFixedFunctionPipeline)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.create(16, 16));
    Camera camera(nullptr, nullptr);
    camera.keepAboveSurface = false;
    camera.heading = 123.0f;
    camera.lookPitch = -17.0f;
    camera.roll = 8.0f;
    camera.position = {1300.0f, 250.0f, 790.0f};
    const math::Mat4 cpu = camera.flyCameraMatrix();
    EXPECT_NEAR(camera.direction.x, std::sin(123.0 * M_PI / 180.0), 1e-6);
    EXPECT_NEAR(camera.direction.z, -std::cos(123.0 * M_PI / 180.0), 1e-6);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(camera.lookPitch, 1.0f, 0.0f, 0.0f);
    glRotatef(camera.roll, 0.0f, 0.0f, 1.0f);
    const auto &e = camera.position;
    const auto &d = camera.direction;
    gluLookAt(e.x, e.y, e.z, e.x + d.x, e.y + d.y, e.z + d.z, 0.0, 1.0, 0.0);
    float fixed[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, fixed);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(cpu[i], fixed[i], 2e-3f * (1.0f + std::fabs(fixed[i]))) << "element " << i;
}
