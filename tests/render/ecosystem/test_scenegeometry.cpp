// The scene's geometry: camera, frustum, projection, sky box, terrain strips, land markings and textures.

#include "assets/terrainloader.h"
#include "ecosystem/render/camera.h"
#include "ecosystem/render/flycameramotion.h"
#include "ecosystem/render/glextensions.h"
#include "ecosystem/render/landmarkings.h"
#include "ecosystem/render/skybox.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/render/terrainsurface.h"
#include "ecosystem/render/viewfrustum.h"
#include "lignet/gl/texturehelper.h"
#include "math/mat4.h"
#include "render/offscreengl.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>

using ecosystem::render::Camera;
using ecosystem::render::FlyCameraMotion;
using ecosystem::render::GlExtensions;
using ecosystem::render::SkyBox;
using ecosystem::render::TerrainRenderer;
using ecosystem::render::ViewFrustum;
using lignet::gl::TextureHelper;
using math::Vector3f;

TEST(Camera, viewpointsOutlastResetsWrapAroundAndMayDifferInRollAloneAndTheEyeFollowsTheTerrain)
{
    Camera camera(nullptr, nullptr);
    ASSERT_EQ(camera.predefinedPositions.size(), 2u);
    camera.orbitYaw = 33.0f;
    camera.position = {10.0f, 20.0f, 30.0f};
    camera.heading = 45.0f;
    camera.saveAsPredefined();
    // Many resets later the saved camera is still the third stop of the cycle, which wraps around.
    for (int i = 0; i < 16; ++i)
        camera.resetCamera();
    EXPECT_EQ(camera.orbitYaw, 0.0f);
    ASSERT_EQ(camera.predefinedPositions.size(), 3u);
    EXPECT_EQ(camera.position, Vector3f(1300.0f, 250.0f, 790.0f));
    camera.predefinedIndex = 1;
    camera.nextPredefinedCamera();
    EXPECT_EQ(std::pair(camera.position, camera.heading), std::pair(Vector3f(10.0f, 20.0f, 30.0f), 45.0f));
    camera.nextPredefinedCamera();
    EXPECT_EQ(camera.predefinedIndex, 0);
    // A viewpoint differing in its roll alone is a stop of its own.
    camera.roll += 5.0f;
    camera.saveAsPredefined();
    EXPECT_EQ(camera.predefinedPositions.size(), 4u);
    // Following a 4 x 3 grid of heights h(c, r) = 10 c + 100 r, read only inside the grid.
    const ecosystem::render::TerrainSurface grid(4, 3, [](int i) {
        EXPECT_TRUE(i >= 0 && i < 12) << i;
        return 10.0f * static_cast<float>(i % 4) + 100.0f * static_cast<float>(i / 4);
    });
    const auto follow = [&](float x, float y, float z) {
        camera.position = {x, y, z};
        camera.followSurface(grid);
        return camera.position;
    };
    // Point (30, 20): cell (1, 0), fx 0.2, fz 0.8, second triangle: 110 + (20 - 110) * 0.2 = 92.
    EXPECT_EQ(follow(30.0f, 102.0f, 20.0f).y, 102.0f);
    EXPECT_NEAR(follow(30.0f, 50.0f, 20.0f).y, 92.0f + Camera::EyeHeight, 1e-4);
    // First triangle: (5, 5) in cell (0, 0), fx = fz = 0.2: 10 * 0.2 + 100 * 0.2 = 22.
    EXPECT_NEAR(follow(5.0f, 0.0f, 5.0f).y, 22.0f + Camera::EyeHeight, 1e-4);
    // Outside the grid the eye stays where it is unless forced to the surface.
    EXPECT_EQ(follow(-10.0f, -500.0f, 10.0f).y, -500.0f);

    camera.forceAtSurface = true;
    const Vector3f clamped = follow(1000.0f, 900.0f, -40.0f);
    EXPECT_EQ(std::pair(clamped.x, clamped.z), std::pair(75.0f, 0.0f));
    EXPECT_NEAR(clamped.y, 30.0f + Camera::EyeHeight, 1e-4);
    // The far edge stays inside.
    EXPECT_NEAR(follow(75.0f, 0.0f, 50.0f).y, 230.0f + Camera::EyeHeight, 1e-4);

    camera.forceAtSurface = camera.keepAboveSurface = false;
    EXPECT_EQ(follow(30.0f, -50.0f, 20.0f).y, -50.0f);
}

TEST(Camera, flyMatrixMatchesTheFixedFunctionPipelineAndFlyStepsCoast)
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

    // Fly steps coast, decaying by a tenth each tick.
    FlyCameraMotion motion;
    const float startX = camera.position.x;
    motion.moveForward(FlyCameraMotion::MoreStep, {1.0f, 0.0f, 0.0f});
    int ticks = 1; // until the motion rests
    while (ticks < 1000 && !motion.animate(camera))
        ++ticks;
    EXPECT_EQ(ticks, 39);
    EXPECT_NEAR(camera.position.x - startX, 265.56, 0.05);
    // Looking along -z, the right-hand side is +x.
    motion.moveRight(FlyCameraMotion::NormalStep, {0.0f, 0.0f, -1.0f});
    EXPECT_EQ(motion.move, Vector3f(1.0f, 0.0f, 0.0f));
}

TEST(ViewGeometry, frustumPlanesVisibilityAndDetailTheSkyBoxAndTheProjectionOnSurfacesOfAnyShape)
{
    const std::array<float, 16> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    // Orthographic box -100..100 in x, y and z: plane distances are plain unit distances.
    const std::array<float, 16> box = {0.01f, 0, 0, 0, 0, 0.01f, 0, 0, 0, 0, 0.01f, 0, 0, 0, 0, 1};
    ViewFrustum frustum = ViewFrustum::fromMatrices(box, identity);
    // left: x >= -100, right: x <= 100, top: y <= 100, bottom: y >= -100, near / far along z.
    const double expected[6][4] = {{1, 0, 0, 100}, {-1, 0, 0, 100}, {0, -1, 0, 100},
                                   {0, 1, 0, 100}, {0, 0, 1, 100},  {0, 0, -1, 100}};
    for (std::size_t p = 0; p < 6; ++p) {
        const auto &plane = frustum.planes()[p];
        const double actual[4] = {plane.a, plane.b, plane.c, plane.d};
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(actual[k], expected[p][k], k < 3 ? 1e-6 : 1e-4) << p << ", " << k;
    }
    std::array<float, 16> moved = identity;
    moved[12] = 50.0f; // the world shifted 50 to the right in eye space
    EXPECT_NEAR(ViewFrustum::fromMatrices(box, moved).planes()[1].d, 50.0, 1e-4);

    // A sphere straddling a plane is visible whatever the later planes say.
    EXPECT_FALSE(frustum.isSphereVisible(-105.1, 0, 0, 5.0));    // 5.1 outside the left plane
    EXPECT_TRUE(frustum.isSphereVisible(-102.0, 500.0, 0, 5.0)); // far beyond the top plane
    // Exactly the radius outside (planes made exact so no rounding decides) goes on to the others.
    frustum.planes()[0] = {1.0, 0.0, 0.0, 100.0};
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 0, 0, 5.0));
    EXPECT_FALSE(frustum.isSphereVisible(-105.0, 500.0, 0, 5.0));
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 102.0, 0, 5.0));

    // The plants' level of detail falls with the square root of their distance.
    const std::pair<double, int> cases[] = {{0.0, 0}, {4.9, 0}, {5.0, 1}, {405.0, 9}, {1e9, 9}};
    for (const auto &[distance, level] : cases)
        EXPECT_EQ(ecosystem::render::levelOfDetailForDistance(distance), level) << distance;

    // The sky box is five terrains wide, centred over the terrain, with the ground repeated five times.
    const SkyBox sky({2500.0f, 1000.0f, 2500.0f});
    const float s = 12500.0f;
    const auto &c = sky.corners();
    EXPECT_EQ(c[0], Vector3f(-s + 1250.0f, s, s + 1250.0f));
    EXPECT_EQ(c[6], Vector3f(s + 1250.0f, 0.0f, -s + 1250.0f));
    EXPECT_EQ(SkyBox::faces()[SkyBox::North], (std::array<int, 4>{5, 4, 0, 1}));
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::North, 0)[0], 0.001953125);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 2)[0], 4.9902344);

    // The view's projection on surfaces of any shape: a 90 degree vertical field of view as wide as
    // the surface, so round things stay round and the plants' frustum test sees what the picture shows.
    // Width, height, and an x inside the side planes of this shape only and one beyond them.
    const std::tuple<int, int, float, float> shapes[] = {{240, 120, 15.0f, 25.0f}, {120, 240, 4.0f, 7.0f}};
    for (const auto &[width, height, visibleX, hiddenX] : shapes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        OffscreenGl view;
        ASSERT_TRUE(view.create(width, height));
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        // cot(45 degrees) vertically, divided by the aspect horizontally.
        EXPECT_NEAR(projection[5], 1.0f, 1e-5f);
        EXPECT_NEAR(projection[0], float(height) / float(width), 1e-5f);

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
        const QImage image = view.grab();
        for (const QImage &line : {image.copy(0, height / 2, width, 1), image.copy(width / 2, 0, 1, height)})
            EXPECT_NEAR(countPixels(line, [](QRgb p) { return qGray(p) > 128; }), height * 3 / 10, 1);

        const ViewFrustum onSurface = ViewFrustum::fromCurrentMatrices();
        EXPECT_TRUE(onSurface.isSphereVisible(visibleX, 0.0, -10.0, 0.5));
        EXPECT_FALSE(onSurface.isSphereVisible(hiddenX, 0.0, -10.0, 0.5));
        EXPECT_TRUE(onSurface.isSphereVisible(0.0, 9.0, -10.0, 0.5));
        EXPECT_FALSE(onSurface.isSphereVisible(0.0, 12.0, -10.0, 0.5));
    }
}

// The default terrain: a land marking stands at the middle of each edge facing outwards, and the
// strips cover the grid with and without the extensions, but not before they are built.
TEST(TerrainRendering, markingsStandAtTheEdgesStripsDrawWithAndWithoutTheExtensionsAndTexturesLoad)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.create(64, 64));
    ecosystem::TerrainModel terrain;
    ASSERT_TRUE(
        assets::TerrainLoader::load(terrain, QString::fromLatin1(assets::TerrainLoader::DefaultDem)).ok());
    const auto markings = ecosystem::render::LandMarkings(terrain).markings();
    const std::tuple<char, int, int> expected[] = {{'N', 50, 0}, {'S', 50, 99}, {'E', 99, 50}, {'W', 0, 50}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto &[letter, column, row] = expected[i];
        EXPECT_EQ(markings[i].letter, letter);
        EXPECT_EQ(markings[i].foot, terrain.vertex(column, row)) << letter;
        EXPECT_FALSE(ecosystem::render::LandMarkings::strokes(letter).empty()) << letter;
    }
    EXPECT_EQ(markings[0].outward, Vector3f(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(markings[2].outward, Vector3f(1.0f, 0.0f, 0.0f));

    // Textures upload with every mipmap level: 64 -> 1 in six halvings.
    QImage colours(64, 32, QImage::Format_RGB32);
    colours.fill(qRgb(40, 160, 60));
    GLuint base = TextureHelper::upload(colours);
    ASSERT_TRUE(glIsTexture(base));
    GLint lastLevel = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &lastLevel);
    EXPECT_EQ(lastLevel, 1);
    EXPECT_EQ(TextureHelper::upload(QImage()), 0u);
    GLuint detail = TextureHelper::upload(colours);
    // The picture seen from high above the terrain's centre, looking straight down.
    const auto drawn = [&gl](TerrainRenderer &renderer) {
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
        glTranslatef(-1250.0f, -1800.0f, -1250.0f);
        renderer.draw();
        return gl.grab();
    };
    const auto covered = [](const QImage &image) {
        return countPixels(image, [](QRgb p) { return p != qRgb(255, 255, 255); });
    };

    GlExtensions full(gl.glContext());
    TerrainRenderer renderer(full, terrain);
    renderer.setTextures(base, detail);
    EXPECT_FALSE(renderer.hasArrays());
    EXPECT_EQ(covered(drawn(renderer)), 0);
    renderer.buildArrays();
    const auto &indices = renderer.indices();
    ASSERT_EQ(indices.size(), 2u * 100u * 99u);
    EXPECT_EQ(std::vector<int>(indices.begin(), indices.begin() + 4), (std::vector<int>{0, 100, 1, 101}));
    EXPECT_EQ(indices.back(), 9999);
    ASSERT_EQ(renderer.baseCoordinates().size(), 20000u);
    EXPECT_FLOAT_EQ(renderer.baseCoordinates()[2 * 101 + 1], 0.01f);
    EXPECT_FLOAT_EQ(renderer.detailCoordinates()[2 * 9999], 99.0f);
    EXPECT_GT(covered(drawn(renderer)), 64 * 64 / 2);

    GlExtensions none;
    none.disable();
    TerrainRenderer plain(none, terrain);
    plain.setTextures(base, detail);
    plain.buildArrays();
    const QImage filled = drawn(plain);
    EXPECT_GT(covered(filled), 64 * 64 / 2);
    plain.wireframe = true;
    EXPECT_NE(drawn(plain), filled); // line strips instead of triangles
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    TextureHelper::release(base);
    TextureHelper::release(detail);
    EXPECT_EQ(base, 0u);

    // Backslash paths load like forward slashes, missing pictures are null.
    const QImage loaded = TextureHelper::loadImage(QStringLiteral(":/gui/textures/bark.jpg"));
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(TextureHelper::loadImage(QStringLiteral(":\\gui\\textures\\bark.jpg")), loaded);
    EXPECT_TRUE(TextureHelper::loadImage(QStringLiteral("no/such/bark.png")).isNull());

    // A colour key makes near-white (every channel above 200) transparent white; other colours stay.
    const QRgb unkeyed[] = {qRgb(255, 255, 255), qRgb(201, 230, 250), qRgb(250, 200, 250), qRgb(30, 120, 40)};
    const QColor keyed[] = {{255, 255, 255, 0}, {255, 255, 255, 0}, {250, 200, 250, 255}, {30, 120, 40, 255}};
    QImage row(4, 1, QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x)
        row.setPixel(x, 0, unkeyed[x]);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(TextureHelper::applyColourKey(row).pixelColor(x, 0), keyed[x]) << x;
}
