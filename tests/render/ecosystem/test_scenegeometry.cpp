#include "assets/terrainloader.h"
#include "ecosystem/render/landmarkings.h"
#include "ecosystem/render/skybox.h"
#include "ecosystem/render/viewfrustum.h"
#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"

#include <QImage>

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>

using ecosystem::render::SkyBox;
using ecosystem::render::ViewFrustum;

namespace {

const std::array<float, 16> Identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// Orthographic box -100..100 in x, y and z: plane distances are plain unit distances.
const std::array<float, 16> Box = {0.01f, 0, 0, 0, 0, 0.01f, 0, 0, 0, 0, 0.01f, 0, 0, 0, 0, 1};

} // namespace

TEST(ViewFrustum, planesAreExtractedInOrderNormalisedAndMovedByTheModelview)
{
    const ViewFrustum frustum = ViewFrustum::fromMatrices(Box, Identity);
    // left: x >= -100, right: x <= 100, top: y <= 100, bottom: y >= -100, near / far along z.
    const double expected[6][4] = {{1, 0, 0, 100}, {-1, 0, 0, 100}, {0, -1, 0, 100},
                                   {0, 1, 0, 100}, {0, 0, 1, 100},  {0, 0, -1, 100}};
    for (std::size_t p = 0; p < 6; ++p) {
        const auto &plane = frustum.planes()[p];
        EXPECT_NEAR(plane.a, expected[p][0], 1e-6) << p;
        EXPECT_NEAR(plane.b, expected[p][1], 1e-6) << p;
        EXPECT_NEAR(plane.c, expected[p][2], 1e-6) << p;
        EXPECT_NEAR(plane.d, expected[p][3], 1e-4) << p;
    }
    std::array<float, 16> moved = Identity;
    moved[12] = 50.0f; // the world shifted 50 to the right in eye space
    EXPECT_NEAR(ViewFrustum::fromMatrices(Box, moved).planes()[0].d, 150.0, 1e-4);
    EXPECT_NEAR(ViewFrustum::fromMatrices(Box, moved).planes()[1].d, 50.0, 1e-4);
}

TEST(ViewFrustum, aSphereStraddlingAPlaneIsVisibleWhateverTheLaterPlanesSay)
{
    ViewFrustum frustum = ViewFrustum::fromMatrices(Box, Identity);
    EXPECT_TRUE(frustum.isSphereVisible(0, 0, 0, 5.0));
    EXPECT_FALSE(frustum.isSphereVisible(-105.1, 0, 0, 5.0));    // 5.1 outside the left plane
    EXPECT_TRUE(frustum.isSphereVisible(-104.9, 0, 0, 5.0));     // 4.9 outside: straddles it
    EXPECT_TRUE(frustum.isSphereVisible(-102.0, 500.0, 0, 5.0)); // far beyond the top plane
    // Exactly the radius outside (planes made exact so no rounding decides) goes on to the others.
    frustum.planes()[0] = {1.0, 0.0, 0.0, 100.0};
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 0, 0, 5.0));
    EXPECT_FALSE(frustum.isSphereVisible(-105.0, 500.0, 0, 5.0));
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 102.0, 0, 5.0));
}

TEST(LevelOfDetail, fallsWithTheSquareRootOfTheDistance)
{
    const std::pair<double, int> cases[] = {{0.0, 0},   {4.9, 0},   {5.0, 1},   {20.0, 2},
                                            {404.0, 8}, {405.0, 9}, {500.0, 9}, {1e9, 9}};
    for (const auto &[distance, level] : cases)
        EXPECT_EQ(ecosystem::render::levelOfDetailForDistance(distance), level) << distance;
}

TEST(SkyBox, isFiveTerrainsWideCentredOverTheTerrainWithTheGroundRepeatedFiveTimes)
{
    const SkyBox sky({2500.0f, 1000.0f, 2500.0f});
    const float s = 12500.0f;
    const auto &c = sky.corners();
    EXPECT_EQ(c[0], math::Vector3f(-s + 1250.0f, s, s + 1250.0f));
    EXPECT_EQ(c[2], math::Vector3f(s + 1250.0f, s, -s + 1250.0f));
    EXPECT_EQ(c[4], math::Vector3f(-s + 1250.0f, 0.0f, s + 1250.0f));
    EXPECT_EQ(c[6], math::Vector3f(s + 1250.0f, 0.0f, -s + 1250.0f));
    EXPECT_EQ(SkyBox::faces()[SkyBox::North], (std::array<int, 4>{5, 4, 0, 1}));
    EXPECT_EQ(SkyBox::faces()[SkyBox::Down], (std::array<int, 4>{5, 6, 7, 4}));
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::North, 0)[0], 0.001953125);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Up, 2)[1], 0.9980469);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 2)[0], 4.9902344);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 3)[1], 4.9902344);
}

TEST(LandMarkings, standAtTheMiddleOfEachEdgeFacingOutwards)
{
    ecosystem::TerrainModel terrain;
    ASSERT_TRUE(
        assets::TerrainLoader::load(terrain, QString::fromLatin1(assets::TerrainLoader::DefaultDem)).ok());
    const auto markings = ecosystem::render::LandMarkings(terrain).markings();
    const std::tuple<char, int, int> expected[] = {{'N', 50, 0}, {'S', 50, 99}, {'E', 99, 50}, {'W', 0, 50}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto &[letter, column, row] = expected[i];
        EXPECT_EQ(markings[i].letter, letter);
        EXPECT_EQ(markings[i].foot, terrain.vertex(column, row)) << letter;
        ASSERT_FALSE(ecosystem::render::LandMarkings::strokes(letter).empty()) << letter;
        for (const auto &stroke : ecosystem::render::LandMarkings::strokes(letter))
            for (float v : stroke)
                EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << letter;
    }
    EXPECT_EQ(markings[0].outward, math::Vector3f(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(markings[2].outward, math::Vector3f(1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(ecosystem::render::LandMarkings::strokes('Q').empty());
}

// The view's projection on surfaces of any shape: a 90 degree vertical field of view as wide as
// the surface, so round things stay round and the plants' frustum test sees what the picture shows.
TEST(ViewProjection, squareStaysSquareAndTheFrustumFollowsTheSurfaceShape)
{
    const struct {
        int width;
        int height;
        float visibleX; // inside the side planes of this shape only
        float hiddenX;  // beyond them
    } shapes[] = {{240, 120, 15.0f, 25.0f}, {120, 240, 4.0f, 7.0f}, {160, 160, 9.0f, 12.0f}};
    for (const auto &shape : shapes) {
        SCOPED_TRACE(std::to_string(shape.width) + "x" + std::to_string(shape.height));
        lignet::gl::OffscreenContext context(QSize(shape.width, shape.height));
        ASSERT_TRUE(context.isValid()) << context.error().toStdString();
        lignet::gl::applyViewDefaults();
        lignet::gl::applyViewProjection(shape.width, shape.height);

        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        // cot(45 degrees) vertically, divided by the aspect horizontally.
        EXPECT_NEAR(projection[5], 1.0f, 1e-5f);
        EXPECT_NEAR(projection[0], float(shape.height) / float(shape.width), 1e-5f);

        // A square 6 wide, 10 in front of the eye: 0.3 of the surface's height across its middle
        // row and down its middle column.
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(1.0f, 1.0f, 1.0f);
        glTranslatef(0.0f, 0.0f, -10.0f);
        glRectf(-3.0f, -3.0f, 3.0f, 3.0f);
        glTranslatef(0.0f, 0.0f, 10.0f);
        const QImage image = context.grab();
        int across = 0, down = 0;
        for (int x = 0; x < shape.width; ++x)
            across += qGray(image.pixel(x, shape.height / 2)) > 128;
        for (int y = 0; y < shape.height; ++y)
            down += qGray(image.pixel(shape.width / 2, y)) > 128;
        EXPECT_NEAR(across, shape.height * 3 / 10, 1);
        EXPECT_NEAR(down, shape.height * 3 / 10, 1);

        const ViewFrustum frustum = ViewFrustum::fromCurrentMatrices();
        EXPECT_TRUE(frustum.isSphereVisible(shape.visibleX, 0.0, -10.0, 0.5));
        EXPECT_FALSE(frustum.isSphereVisible(shape.hiddenX, 0.0, -10.0, 0.5));
        EXPECT_TRUE(frustum.isSphereVisible(0.0, 9.0, -10.0, 0.5));
        EXPECT_FALSE(frustum.isSphereVisible(0.0, 12.0, -10.0, 0.5));
    }
}
