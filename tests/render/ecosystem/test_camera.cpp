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
using math::Vector3f;

namespace {

// A 4 x 3 grid of heights h(c, r) = 10 c + 100 r, counting how often it is read.
struct CountingGrid {
    mutable int reads = 0;
    TerrainSurface surface() const
    {
        return TerrainSurface(4, 3, [this](int i) {
            ++reads;
            EXPECT_TRUE(i >= 0 && i < 12) << i;
            return 10.0f * static_cast<float>(i % 4) + 100.0f * static_cast<float>(i / 4);
        });
    }
};

// Runs the camera timer until the motion rests; returns the number of ticks.
int coast(FlyCameraMotion &motion, Camera &camera)
{
    int ticks = 1;
    while (ticks < 1000 && !motion.animate(camera))
        ++ticks;
    return ticks;
}

} // namespace

TEST(Camera, resetKeepsTheStandardViewpointsOnceAtTheHeadAndSwitchingWrapsAroundThemAndSavedOnes)
{
    Camera camera(nullptr, nullptr);
    ASSERT_EQ(camera.predefinedPositions.size(), 2u);
    camera.orbitYaw = 33.0f;
    camera.position = {10.0f, 20.0f, 30.0f};
    camera.saveAsPredefined();
    // Many resets later the saved camera is still the third stop of the cycle.
    for (int i = 0; i < 16; ++i)
        camera.resetCamera();
    EXPECT_EQ(camera.orbitYaw, 0.0f);
    ASSERT_EQ(camera.predefinedPositions.size(), 3u);
    EXPECT_EQ(camera.predefinedAngles.size(), 3u);
    EXPECT_EQ(camera.predefinedPositions[1], Vector3f(1300.0f, 250.0f, 790.0f));
    EXPECT_EQ(camera.predefinedPositions[2], Vector3f(10.0f, 20.0f, 30.0f));
    EXPECT_EQ(camera.position, Vector3f(1300.0f, 250.0f, 790.0f));
    camera.predefinedIndex = 1;
    camera.nextPredefinedCamera();
    EXPECT_EQ(camera.position, Vector3f(10.0f, 20.0f, 30.0f));
    // Saving a viewpoint the cycle holds already adds nothing; any other angle is a new stop.
    camera.saveAsPredefined();
    EXPECT_EQ(camera.predefinedPositions.size(), 3u);
    camera.roll = 5.0f;
    camera.saveAsPredefined();
    EXPECT_EQ(camera.predefinedPositions.size(), 4u);

    Camera fresh(nullptr, nullptr);
    fresh.nextPredefinedCamera();
    EXPECT_EQ(fresh.predefinedIndex, 0);
    EXPECT_EQ(std::pair(fresh.position, fresh.lookPitch),
              std::pair(Vector3f(1243.0f, 1000.0f, 192.0f), 59.0f));
    fresh.nextPredefinedCamera();
    EXPECT_EQ(fresh.heading, 270.0f);
    fresh.position = {1.0f, 2.0f, 3.0f};
    fresh.heading = 45.0f;
    fresh.saveAsPredefined();
    fresh.nextPredefinedCamera();
    EXPECT_EQ(std::pair(fresh.position, fresh.heading), std::pair(Vector3f(1.0f, 2.0f, 3.0f), 45.0f));
    fresh.nextPredefinedCamera();
    EXPECT_EQ(fresh.predefinedIndex, 0);
}

TEST(FlyCameraMotion, stepsCoastDecayingByATenthEachTickAndTurnsAddToTheRemainingSpeed)
{
    Camera camera(nullptr, nullptr);
    FlyCameraMotion motion;
    const float startX = camera.position.x;
    motion.moveForward(FlyCameraMotion::MoreStep, {1.0f, 0.0f, 0.0f});
    EXPECT_EQ(coast(motion, camera), 39);
    EXPECT_NEAR(camera.position.x - startX, 265.56, 0.05);
    EXPECT_FALSE(motion.isMoving());
    EXPECT_EQ(motion.move, Vector3f());
    // Looking along -z, the right-hand side is +x.
    motion.moveRight(FlyCameraMotion::NormalStep, {0.0f, 0.0f, -1.0f});
    EXPECT_EQ(motion.move, Vector3f(1.0f, 0.0f, 0.0f));
    motion.stop();
    motion.turnHeading(1.0f);
    motion.animate(camera);
    motion.turnHeading(1.0f);
    motion.turnLookPitch(-1.0f);
    motion.turnRoll(1.0f);
    EXPECT_EQ(std::pair(motion.turn.y, motion.turn.z), std::pair(-1.0f, 1.0f));
    EXPECT_NEAR(motion.turn.x, 1.9f, 1e-6);
}

TEST(Camera, followingTheTerrainLiftsAnEyeBelowItOrForcesItOntoTheClampedSurface)
{
    CountingGrid grid;
    Camera camera(nullptr, nullptr);
    const auto follow = [&](float x, float y, float z) {
        camera.position = {x, y, z};
        camera.followSurface(grid.surface());
        return camera.position;
    };
    // Point (30, 20): cell (1, 0), fx 0.2, fz 0.8, second triangle: 110 + (20 - 110) * 0.2 = 92.
    EXPECT_EQ(follow(30.0f, 102.0f, 20.0f).y, 102.0f);
    EXPECT_NEAR(follow(30.0f, 50.0f, 20.0f).y, 92.0f + Camera::EyeHeight, 1e-4);
    // First triangle: (5, 5) in cell (0, 0), fx = fz = 0.2: 10 * 0.2 + 100 * 0.2 = 22.
    EXPECT_NEAR(follow(5.0f, 0.0f, 5.0f).y, 22.0f + Camera::EyeHeight, 1e-4);
    // Outside the grid nothing is read when the eye is not forced to the surface.
    const int reads = grid.reads;
    EXPECT_EQ(follow(-10.0f, -500.0f, 10.0f).y, -500.0f);
    EXPECT_EQ(grid.reads, reads);

    camera.forceAtSurface = true;
    const Vector3f clamped = follow(1000.0f, 900.0f, -40.0f);
    EXPECT_EQ(std::pair(clamped.x, clamped.z), std::pair(75.0f, 0.0f));
    EXPECT_NEAR(clamped.y, 30.0f + Camera::EyeHeight, 1e-4);
    // The far edge stays inside.
    EXPECT_NEAR(follow(75.0f, 0.0f, 50.0f).y, 230.0f + Camera::EyeHeight, 1e-4);

    camera.forceAtSurface = camera.keepAboveSurface = false;
    const int before = grid.reads;
    EXPECT_EQ(follow(30.0f, -50.0f, 20.0f).y, -50.0f);
    EXPECT_EQ(grid.reads, before);
}

TEST(Camera, flyMatrixMatchesTheFixedFunctionPipeline)
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
