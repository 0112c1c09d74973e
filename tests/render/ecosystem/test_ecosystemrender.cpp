// The render model's geometry (camera, frustum, projection, sky box, terrain, textures), and the model
// on an off-screen view: textures, species trees, actions, steps, frames and the forest drawn from meshes.

#include "assets/speciestrees.h"
#include "assets/terrainloader.h"
#include "core/tempfolder.h"
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemframe.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/flycameramotion.h"
#include "ecosystem/render/glextensions.h"
#include "ecosystem/render/landmarkings.h"
#include "ecosystem/render/scenetextures.h"
#include "ecosystem/render/skybox.h"
#include "ecosystem/render/speciesappearance.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/render/terrainsurface.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/render/viewfrustum.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/gl/texturehelper.h"
#include "lignet/treeparameterfile.h"
#include "lignet/treerenderer.h"
#include "math/mat4.h"
#include "render/offscreengl.h"

#include <QColor>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

using ecosystem::render::Camera;
using ecosystem::render::EcosystemRender;
using ecosystem::render::FlyCameraMotion;
using ecosystem::render::GlExtensions;
using ecosystem::render::SkyBox;
using ecosystem::render::TerrainRenderer;
using ecosystem::render::TreeMeshes;
using ecosystem::render::ViewFrustum;
using ecosystem::render::ViewOption;
using lignet::gl::TextureHelper;
using lignet::gl::TreeMeshDrawer;
using math::Vector3f;

TEST(Camera, resetKeepsTheViewpointsSwitchingWrapsAroundThemAndFollowingTheTerrainLiftsOrClampsTheEye)
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

    // Following a 4 x 3 grid of heights h(c, r) = 10 c + 100 r, counting how often it is read.
    int reads = 0;
    const ecosystem::render::TerrainSurface grid(4, 3, [&reads](int i) {
        ++reads;
        EXPECT_TRUE(i >= 0 && i < 12) << i;
        return 10.0f * static_cast<float>(i % 4) + 100.0f * static_cast<float>(i / 4);
    });
    const auto follow = [&](float x, float y, float z) {
        fresh.position = {x, y, z};
        fresh.followSurface(grid);
        return fresh.position;
    };
    // Point (30, 20): cell (1, 0), fx 0.2, fz 0.8, second triangle: 110 + (20 - 110) * 0.2 = 92.
    EXPECT_EQ(follow(30.0f, 102.0f, 20.0f).y, 102.0f);
    EXPECT_NEAR(follow(30.0f, 50.0f, 20.0f).y, 92.0f + Camera::EyeHeight, 1e-4);
    // First triangle: (5, 5) in cell (0, 0), fx = fz = 0.2: 10 * 0.2 + 100 * 0.2 = 22.
    EXPECT_NEAR(follow(5.0f, 0.0f, 5.0f).y, 22.0f + Camera::EyeHeight, 1e-4);
    // Outside the grid nothing is read when the eye is not forced to the surface.
    const int before = reads;
    EXPECT_EQ(follow(-10.0f, -500.0f, 10.0f).y, -500.0f);
    EXPECT_EQ(reads, before);

    fresh.forceAtSurface = true;
    const Vector3f clamped = follow(1000.0f, 900.0f, -40.0f);
    EXPECT_EQ(std::pair(clamped.x, clamped.z), std::pair(75.0f, 0.0f));
    EXPECT_NEAR(clamped.y, 30.0f + Camera::EyeHeight, 1e-4);
    // The far edge stays inside.
    EXPECT_NEAR(follow(75.0f, 0.0f, 50.0f).y, 230.0f + Camera::EyeHeight, 1e-4);

    fresh.forceAtSurface = fresh.keepAboveSurface = false;
    const int last = reads;
    EXPECT_EQ(follow(30.0f, -50.0f, 20.0f).y, -50.0f);
    EXPECT_EQ(reads, last);
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

    // Fly steps coast, decaying by a tenth each tick, and turns add to the remaining speed.
    FlyCameraMotion motion;
    const float startX = camera.position.x;
    motion.moveForward(FlyCameraMotion::MoreStep, {1.0f, 0.0f, 0.0f});
    int ticks = 1; // until the motion rests
    while (ticks < 1000 && !motion.animate(camera))
        ++ticks;
    EXPECT_EQ(ticks, 39);
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
    EXPECT_NEAR(ViewFrustum::fromMatrices(box, moved).planes()[0].d, 150.0, 1e-4);
    EXPECT_NEAR(ViewFrustum::fromMatrices(box, moved).planes()[1].d, 50.0, 1e-4);

    // A sphere straddling a plane is visible whatever the later planes say.
    EXPECT_TRUE(frustum.isSphereVisible(0, 0, 0, 5.0));
    EXPECT_FALSE(frustum.isSphereVisible(-105.1, 0, 0, 5.0));    // 5.1 outside the left plane
    EXPECT_TRUE(frustum.isSphereVisible(-104.9, 0, 0, 5.0));     // 4.9 outside: straddles it
    EXPECT_TRUE(frustum.isSphereVisible(-102.0, 500.0, 0, 5.0)); // far beyond the top plane
    // Exactly the radius outside (planes made exact so no rounding decides) goes on to the others.
    frustum.planes()[0] = {1.0, 0.0, 0.0, 100.0};
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 0, 0, 5.0));
    EXPECT_FALSE(frustum.isSphereVisible(-105.0, 500.0, 0, 5.0));
    EXPECT_TRUE(frustum.isSphereVisible(-105.0, 102.0, 0, 5.0));

    // The plants' level of detail falls with the square root of their distance.
    const std::pair<double, int> cases[] = {{0.0, 0},   {4.9, 0},   {5.0, 1},   {20.0, 2},
                                            {404.0, 8}, {405.0, 9}, {500.0, 9}, {1e9, 9}};
    for (const auto &[distance, level] : cases)
        EXPECT_EQ(ecosystem::render::levelOfDetailForDistance(distance), level) << distance;

    // The sky box is five terrains wide, centred over the terrain, with the ground repeated five times.
    const SkyBox sky({2500.0f, 1000.0f, 2500.0f});
    const float s = 12500.0f;
    const auto &c = sky.corners();
    EXPECT_EQ(c[0], Vector3f(-s + 1250.0f, s, s + 1250.0f));
    EXPECT_EQ(c[2], Vector3f(s + 1250.0f, s, -s + 1250.0f));
    EXPECT_EQ(c[4], Vector3f(-s + 1250.0f, 0.0f, s + 1250.0f));
    EXPECT_EQ(c[6], Vector3f(s + 1250.0f, 0.0f, -s + 1250.0f));
    EXPECT_EQ(SkyBox::faces()[SkyBox::North], (std::array<int, 4>{5, 4, 0, 1}));
    EXPECT_EQ(SkyBox::faces()[SkyBox::Down], (std::array<int, 4>{5, 6, 7, 4}));
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::North, 0)[0], 0.001953125);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Up, 2)[1], 0.9980469);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 2)[0], 4.9902344);
    EXPECT_DOUBLE_EQ(SkyBox::textureCoordinate(SkyBox::Down, 3)[1], 4.9902344);

    // The view's projection on surfaces of any shape: a 90 degree vertical field of view as wide as
    // the surface, so round things stay round and the plants' frustum test sees what the picture shows.
    // Width, height, and an x inside the side planes of this shape only and one beyond them.
    const std::tuple<int, int, float, float> shapes[] = {
        {240, 120, 15.0f, 25.0f}, {120, 240, 4.0f, 7.0f}, {160, 160, 9.0f, 12.0f}};
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
        ASSERT_FALSE(ecosystem::render::LandMarkings::strokes(letter).empty()) << letter;
        for (const auto &stroke : ecosystem::render::LandMarkings::strokes(letter))
            for (float v : stroke)
                EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << letter;
    }
    EXPECT_EQ(markings[0].outward, Vector3f(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(markings[2].outward, Vector3f(1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(ecosystem::render::LandMarkings::strokes('Q').empty());

    // Textures upload with every mipmap level: 64 -> 1 in six halvings.
    QImage colours(64, 32, QImage::Format_RGB32);
    colours.fill(qRgb(40, 160, 60));
    GLuint base = TextureHelper::upload(colours);
    ASSERT_TRUE(glIsTexture(base));
    GLint width = 0, lastLevel = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &lastLevel);
    EXPECT_EQ(std::pair(width, lastLevel), std::pair(64, 1));
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
    EXPECT_EQ(indices[200], 100); // row 1 starts at 2 W
    EXPECT_EQ(indices.back(), 9999);
    ASSERT_EQ(renderer.baseCoordinates().size(), 20000u);
    EXPECT_FLOAT_EQ(renderer.baseCoordinates()[2 * 101], 0.01f);
    EXPECT_FLOAT_EQ(renderer.baseCoordinates()[2 * 101 + 1], 0.01f);
    EXPECT_FLOAT_EQ(renderer.detailCoordinates()[2 * 9999], 99.0f);
    EXPECT_FLOAT_EQ(renderer.detailCoordinates()[2 * 9999 + 1], 99.0f);
    EXPECT_GT(covered(drawn(renderer)), 64 * 64 / 2);
    renderer.invalidate();
    EXPECT_FALSE(renderer.hasArrays());

    GlExtensions none;
    none.disable();
    EXPECT_FALSE(none.hasMultitexture() || none.hasCompiledVertexArray());
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
    QTemporaryDir dir;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(image.save(dir.filePath("bark.png")));
    const QImage loaded = TextureHelper::loadImage(dir.filePath("bark.png"));
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(TextureHelper::loadImage(dir.filePath("bark.png").replace('/', '\\')), loaded);
    EXPECT_TRUE(TextureHelper::loadImage(dir.filePath("missing.png")).isNull());
    EXPECT_TRUE(TextureHelper::loadImage(QString()).isNull());
    // The built-in pictures load from the resources (the render model uploads every one of them).
    EXPECT_EQ(TextureHelper::loadImage(QStringLiteral(":/gui/textures/detail.png")).size(), QSize(512, 512));
    EXPECT_TRUE(TextureHelper::loadImage(QStringLiteral(":/gui/textures/leaf.png")).hasAlphaChannel());

    // A colour key makes near-white (every channel above 200) transparent white; other colours stay.
    const QRgb unkeyed[] = {qRgb(255, 255, 255), qRgb(201, 230, 250), qRgb(200, 250, 250),
                            qRgb(250, 200, 250), qRgb(250, 250, 200), qRgb(30, 120, 40)};
    const QColor keyed[] = {{255, 255, 255, 0},   {255, 255, 255, 0},   {200, 250, 250, 255},
                            {250, 200, 250, 255}, {250, 250, 200, 255}, {30, 120, 40, 255}};
    QImage row(6, 1, QImage::Format_RGB32);
    for (int x = 0; x < 6; ++x)
        row.setPixel(x, 0, unkeyed[x]);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(TextureHelper::applyColourKey(row).pixelColor(x, 0), keyed[x]) << x;
}

namespace {

// A render model on a 200 x 200 off-screen view, built in an empty working directory (the species
// trees then come from the copies built into the program). Errors are collected.
class RenderModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(workDir.isValid());
        QDir::setCurrent(workDir.path());
        ASSERT_TRUE(gl.create(Size, Size));
        makeModel();
    }
    void TearDown() override
    {
        if (model && gl.makeCurrent())
            model.reset();
        QDir::setCurrent(previousDir);
    }

    void makeModel()
    {
        const auto report = [this](const QString &title, const QString &text) {
            errors.push_back(title + QStringLiteral(": ") + text);
        };
        constructionWarnings =
            written([&] { model = std::make_unique<EcosystemRender>(gl.glContext(), report); }, true);
        model->toggleShowFPS(); // keep the test output quiet
    }

    // What `run` writes to standard output, or with `toErrors` to standard error.
    static std::string written(const std::function<void()> &run, bool toErrors = false)
    {
        toErrors ? ::testing::internal::CaptureStderr() : ::testing::internal::CaptureStdout();
        run();
        return toErrors ? ::testing::internal::GetCapturedStderr() : ::testing::internal::GetCapturedStdout();
    }

    QImage frame()
    {
        gl.makeCurrent();
        model->render();
        return gl.grab();
    }

    // Runs simulation steps with their log lines kept off the test output.
    void steps(int count)
    {
        stepOutput = written([this, count] {
            for (int i = 0; i < count; ++i)
                model->simulateNextStepAndUpdateGL();
        });
    }

    // A forest seeded into one cell keeps the frames quick to draw (software OpenGL under Xvfb).
    void growInOneCell(int count)
    {
        model->setLupaMinX(47);
        model->setLupaMaxX(48);
        model->setLupaMinY(45);
        model->setLupaMaxY(46);
        steps(count);
    }

    // Places the eye `above` units over the ground at (x, z).
    void placeCamera(float x, float z, float above, float heading, float lookPitch)
    {
        auto *camera = model->getCamera();
        camera->position = {x, 0.0f, z};
        camera->forceAtSurface = true;
        camera->followTerrain();
        camera->forceAtSurface = false;
        camera->position.y += above;
        camera->heading = heading;
        camera->lookPitch = lookPitch;
    }

    struct Drawn {
        QImage image;
        std::vector<int> perSpecies;
        std::uint64_t triangles = 0;
        std::uint64_t impostors = 0;
    };

    // A frame drawn from meshes or by the reference drawing, with the plants it drew of each species
    // (expected to be those of `countedAs` when given).
    Drawn draw(bool reference, const Drawn *countedAs = nullptr)
    {
        model->setReferenceDrawing(reference);
        Drawn d;
        d.image = frame();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        for (const auto &series : model->getStatistics().renderedSeries())
            d.perSpecies.push_back(series.points().empty() ? -1 : static_cast<int>(series.points().back().y));
        d.triangles = model->getLastTreeTriangles();
        d.impostors = model->treeMeshes().forest().stats().impostorPlants;
        if (countedAs != nullptr) {
            EXPECT_EQ(d.perSpecies, countedAs->perSpecies);
        }
        return d;
    }

    std::vector<float> plantSizes() const
    {
        std::vector<float> sizes;
        for (const auto &species : model->getSimulation().species())
            for (const auto &plant : species.plants)
                sizes.push_back(plant.size);
        return sizes;
    }

    void setExactDistantTrees(bool on)
    {
        if (model->isViewOptionOn(ViewOption::ExactDistantTrees) != on)
            model->toggleViewOptionFromMenu(ViewOption::ExactDistantTrees);
    }

    static constexpr int Size = 200;
    QTemporaryDir workDir;
    QString previousDir = QDir::currentPath();
    OffscreenGl gl;
    std::unique_ptr<EcosystemRender> model;
    std::vector<QString> errors;
    std::string constructionWarnings;
    std::string stepOutput;
};

} // namespace

TEST_F(RenderModel, startsOnTheAnalysedTerrainAndItsTexturesAreReloadedAndGoWithTheModelOrTheirContext)
{
    EXPECT_TRUE(model->getTerrain().isAnalysed());
    EXPECT_FALSE(model->isSimulationInitialised());
    std::vector<GLuint> names(model->textures().sky().begin(), model->textures().sky().end());
    for (std::size_t i = 0; i < ecosystem::EcosystemScene::TreeCount; ++i)
        names.insert(names.end(), {model->textures().tree(i).bark, model->textures().tree(i).leaf});
    for (GLuint name : names)
        EXPECT_TRUE(glIsTexture(name));
    EXPECT_TRUE(model->frame().terrainRenderer().hasArrays());
    model->toggleSingleRender();
    frame();
    EXPECT_GT(model->treeMeshes().cache().stats().bytes, 0u);
    const std::size_t bound = model->treeMeshes().cache().byteLimit();
    EXPECT_EQ(bound, TreeMeshes::meshCacheBound());
    EXPECT_GE(bound, TreeMeshes::MinimumCacheBytes);
    EXPECT_LE(bound, TreeMeshes::MaximumCacheBytes);
    gl.makeCurrent();
    model.reset();
    gl.makeCurrent();
    for (GLuint name : names)
        EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Reloaded textures replace the names; a missing picture keeps them, with its message.
    makeModel();
    const lignet::gl::TreeTextures original = model->textures().tree(5);
    model->reloadCurrentTreeTextures();
    const lignet::gl::TreeTextures reloaded = model->textures().tree(5);
    EXPECT_TRUE(glIsTexture(reloaded.bark) && glIsTexture(reloaded.leaf));
    for (GLuint old : {original.bark, original.leaf})
        EXPECT_TRUE(!glIsTexture(old) || old == reloaded.bark || old == reloaded.leaf);

    auto &parameters = model->getCurrentTree()->designedParameters();
    parameters.barkTexturePath = "no/such/bark.jpg";
    model->reloadCurrentTreeTextures();
    parameters.barkTexturePath = ":/gui/textures/bark.jpg";
    parameters.leafTexturePath = "no\\such\\leaf.png";
    model->reloadCurrentTreeTextures();
    EXPECT_EQ(errors, (std::vector<QString>{"Error: Could not open bark texture file.",
                                            "Error: Could not open leaf texture file."}));
    EXPECT_EQ(model->textures().tree(5).bark, reloaded.bark);
    EXPECT_EQ(model->textures().tree(5).leaf, reloaded.leaf);
    errors.clear();
    model->reloadAllTreeTextures(); // reports once, for the one tree whose picture is missing
    EXPECT_EQ(errors.size(), 1u);

    // Without a handler errors go to the signal when connected, else to standard error.
    model->setErrorHandler({});
    const auto reload = [this] { model->reloadCurrentTreeTextures(); };
    EXPECT_EQ(written(reload, true), "Error: Could not open leaf texture file.\n");
    QSignalSpy reported(model.get(), &EcosystemRender::errorReported);
    EXPECT_EQ(written(reload, true), "");
    ASSERT_EQ(reported.count(), 1);
    EXPECT_EQ(reported.at(0), (QVariantList{QStringLiteral("Error"), "Could not open leaf texture file."}));

    // A model that outlives its context has nothing left to release, and says nothing.
    model->toggleSingleRender();
    frame();
    gl.destroy();
    EXPECT_EQ(model->treeMeshes().cache().stats().entries, 0u);
    EXPECT_EQ(written([this] { model.reset(); }, true), "");
}

TEST_F(RenderModel, findsTheSpeciesTreesWhereverItIsStartedAndPrefersTheWorkingDirectory)
{
    // The working directory is empty: the built-in copies are the repository's files.
    EXPECT_TRUE(constructionWarnings.empty()) << constructionWarnings;
    const auto &files = assets::speciesTreeFiles();
    const auto repositoryText = [&files](std::size_t i) {
        lignet::TreeParameters expected;
        EXPECT_TRUE(lignet::TreeParameterFile::load(expected, VERDALIS_SOURCE_DIR "/" + files[i]));
        return lignet::TreeParameterFile::text(expected);
    };
    const auto treeText = [this](std::size_t i) {
        return lignet::TreeParameterFile::text(model->scene().tree(i).designedParameters());
    };
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(treeText(i), repositoryText(i)) << files[i];
    EXPECT_TRUE(files[5].empty());

    // A file in the working directory wins; a damaged one is named and the built-in copy used.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("bin/zbirka-4")));
    lignet::TreeParameters custom;
    custom.numberOfStrands = 77;
    ASSERT_TRUE(lignet::TreeParameterFile::save(custom, files[0]));
    testsupport::writeBytes(files[1], "bark\nleaf\nnot numbers\n");
    gl.makeCurrent();
    model.reset();
    makeModel();
    EXPECT_EQ(model->scene().tree(0).designedParameters().numberOfStrands, 77);
    EXPECT_EQ(treeText(1), repositoryText(1));
    EXPECT_NE(constructionWarnings.find("\"" + files[1] + "\""), std::string::npos) << constructionWarnings;
    EXPECT_EQ(std::count(constructionWarnings.begin(), constructionWarnings.end(), '\n'), 1);
}

TEST_F(RenderModel, treeActionsAnimateTheCurrentTreeTheNextSpeciesTakesOverSeedsAreCheckedAndFramesSkipped)
{
    QSignalSpy started(model.get(), &EcosystemRender::startTreeAnimation);
    auto &old = model->getCurrentTree()->settings();
    old.growthProgress = 0.7;
    model->actionGrow_tree();
    EXPECT_TRUE(old.growing);
    EXPECT_DOUBLE_EQ(old.growthProgress, 0.0);
    model->actionSpin_tree();
    model->actionSway_tree_in_wind();
    EXPECT_TRUE(old.spinning && old.windOn);
    EXPECT_EQ(started.count(), 3);
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    model->selectNextTreeSpecies();
    EXPECT_EQ(model->getCurrentTree(), &model->scene().tree(0));
    const auto &next = model->getCurrentTree()->settings();
    EXPECT_TRUE(next.spinning && next.windOn && !next.growing);
    EXPECT_TRUE(!old.spinning && !old.windOn && old.growing);
    EXPECT_EQ(changed.count(), 1);

    // Entering tree edit mode stops growth and resets the spin and the wireframe, not the spinning.
    auto &settings = model->getCurrentTree()->settings();
    settings.growing = settings.wireframe = true;
    settings.spinAngle = 40.0;
    model->toggleSingleRender();
    EXPECT_TRUE(!settings.growing && !settings.wireframe && settings.spinning);
    EXPECT_DOUBLE_EQ(settings.spinAngle, 0.0);

    // Short seed vectors are refused; repaints are thinned by the frame skip, never below one.
    auto seeds = model->getRandomGeneratorSeeds();
    ASSERT_EQ(seeds.size(), 13u);
    EXPECT_EQ(seeds[12], 13u);
    seeds[4] = 777;
    model->setRandomGeneratorSeeds(seeds);
    model->setRandomGeneratorSeeds({1, 2, 3});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Error: ")));
    EXPECT_EQ(model->getRandomGeneratorSeeds(), seeds);

    model->actionRender_more_often_skip_less_frames();
    EXPECT_EQ(model->getFrameSkip(), 1);
    changed.clear();
    model->actionReduce_leave_size();
    EXPECT_EQ(changed.count(), 1);
    model->actionRender_less_often_skip_more_frames();
    steps(5);
    EXPECT_EQ(changed.count(), 1 + 2);
    EXPECT_EQ(model->getSimulation().step(), 5);
    model->actionRender_less_often_skip_more_frames();
    for (int i = 0; i < 6; ++i)
        model->actionReduce_leave_size();
    EXPECT_EQ(changed.count(), 3 + 2);
}

// While the simulation runs, each step goes to a worker thread; every step is reported exactly once,
// and the forest, its saves and its log are as with the steps taken one by one.
TEST_F(RenderModel, stepsOnTheWorkerGiveTheSameForestSavesAndReportsAsStepsTakenInTurnAndSavesLoadBack)
{
    QSignalSpy reported(model.get(), &EcosystemRender::stepReported);
    QSignalSpy living(model.get(), &EcosystemRender::nrPlantsLivingChanged);
    model->setAutosave(3);
    model->setSimulationRunning(true);
    ::testing::internal::CaptureStdout();
    for (int i = 1; i <= 6; ++i) {
        model->simulateNextStepAndUpdateGL();
        EXPECT_TRUE(model->isStepPending());
        model->simulateNextStepAndUpdateGL(); // a tick while the step runs starts none
        EXPECT_EQ(model->getSimulation().step(), i);
        EXPECT_EQ(reported.count(), i - 1);
        ASSERT_TRUE(reported.wait(10000));
        EXPECT_FALSE(model->isStepPending());
    }
    // Stopped with a step under way: the next step asked for is that one.
    model->simulateNextStepAndUpdateGL();
    model->setSimulationRunning(false);
    model->simulateNextStepAndUpdateGL();
    EXPECT_FALSE(model->isStepPending());
    EXPECT_EQ(model->getSimulation().step(), 7);
    const std::string log = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(reported.count(), 7);
    EXPECT_EQ(living.count(), 7);
    for (const char *line :
         {"@1:", "@7:", "Simulation @ step 3successfouly", "Simulation @ step 6successfouly"})
        EXPECT_NE(log.find(line), std::string::npos) << line << " is not in:\n" << log;

    // In turn: autosaves every third step, none when switched off, and a save loads back.
    ASSERT_TRUE(QDir().rename(QStringLiteral("6.sim"), QStringLiteral("worker.sim")));
    makeModel();
    QSignalSpy livingInTurn(model.get(), &EcosystemRender::nrPlantsLivingChanged);
    model->setAutosave(3);
    steps(6);
    EXPECT_FALSE(testsupport::readBytes("6.sim").empty());
    EXPECT_EQ(testsupport::readBytes("worker.sim"), testsupport::readBytes("6.sim"));
    const int livingAtSix = model->getStatistics().nrPlants();
    steps(1);
    EXPECT_EQ(livingInTurn.count(), 7);
    EXPECT_NE(stepOutput.find("@7:"), std::string::npos);
    const QStringList saves = {"3.sim", "6.sim", "worker.sim"};
    EXPECT_EQ(QDir().entryList({QStringLiteral("*.sim")}), saves);
    model->setAutosave(0);
    steps(2);
    EXPECT_EQ(QDir().entryList({QStringLiteral("*.sim")}), saves);

    written([this] { EXPECT_TRUE(model->loadSimulation("6.sim")); });
    EXPECT_EQ(livingInTurn.count(), 10);
    EXPECT_EQ(model->getSimulation().step(), 6);
    EXPECT_EQ(plantSizes().size(), static_cast<std::size_t>(livingAtSix));
    EXPECT_FALSE(written([this] { EXPECT_FALSE(model->loadSimulation("missing.sim")); }, true).empty());
    EXPECT_EQ(model->getSimulation().step(), 6);
}

TEST_F(RenderModel, plantsDrawnWithTheCurrentTreesModelKeepItsSettingsAndDisksShowInSpeciesColours)
{
    // The first species tree is the current tree, as after "Select next tree parameters".
    model->selectNextTreeSpecies();
    ASSERT_EQ(model->getCurrentTreeIndex(), 0);
    lignet::TreeDrawSettings &own = model->getCurrentTree()->settings();
    own.growthProgress = 0.25;
    own.spinAngle = 12.0;
    own.windOn = true;
    const lignet::TreeDrawSettings before = own;
    model->toggleWireframe();
    growInOneCell(20);
    placeCamera(1187.0f, 1137.0f, 40.0f, 180.0f, 89.0f); // straight down onto the forest
    frame();
    ASSERT_GT(model->getLastRenderedCount(), 0);
    ASSERT_GT(model->getStatistics().renderedSeries().at(0).points().back().y, 0.0);
    // Not growing, solid, not spinning, in the wind, at its own progress, angle and detail.
    const auto kept = [](const lignet::TreeDrawSettings &s) {
        return std::tuple(s.growing, s.wireframe, s.spinning, s.windOn, s.growthProgress, s.spinAngle,
                          s.levelOfDetail);
    };
    EXPECT_EQ(kept(own), std::tuple(false, false, false, true, 0.25, 12.0, before.levelOfDetail));
    // The wind clock of the swaying plants runs on.
    EXPECT_GT(own.windTime, before.windTime);

    // Nothing animates once the wind stops, and the frame says so.
    own.windOn = false;
    QSignalSpy stopped(model.get(), &EcosystemRender::stopTreeAnimation);
    frame();
    EXPECT_EQ(stopped.count(), 1);

    // Neighbourhood disks without trees, in pure colours, keep the modelview stack balanced.
    model->toggleWireframe();
    model->toggleDoNotDrawTrees();
    const QImage bare = frame();
    model->toggleShowNeighborHood();
    const QImage disks = frame();
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    const auto full = [](int v) { return v == 0 || v == 255; };
    int pure = 0;
    for (int i = 0; i < Size * Size; ++i) {
        const QColor c = disks.pixelColor(i % Size, i / Size);
        pure += full(c.red()) && full(c.green()) && full(c.blue()) && c != QColor(Qt::white) &&
                c != QColor(Qt::black) && bare.pixelColor(i % Size, i / Size) != c;
    }
    EXPECT_GT(pure, 20);
    // Species beyond the table are drawn with the sixth tree, their disks white.
    for (const auto &[species, tree] : {std::pair{4, 4u}, {7, 5u}, {-1, 5u}})
        EXPECT_EQ(ecosystem::EcosystemScene::treeIndexForSpecies(species), tree) << species;
    unsigned char rgb[3];
    for (const auto &[species, colour] : {std::pair{3, QColor(255, 0, 255)}, {7, QColor(Qt::white)}}) {
        ecosystem::render::neighbourhoodColour(species, rgb);
        EXPECT_EQ(QColor(rgb[0], rgb[1], rgb[2]), colour) << species;
    }
}

TEST_F(RenderModel, everyOverlayChangesThePictureAndADamagedDemIsRefusedAndAGoodOneDrawnAtTheNextFrame)
{
    growInOneCell(1);
    const QImage before = frame();
    for (const auto &info : ecosystem::render::viewOptionTable()) {
        if (info.overlayName.empty())
            continue;
        model->toggleViewOptionFromMenu(info.option);
        EXPECT_GT(pixelsApart(before, frame(), 0), 20) << info.overlayName;
        model->toggleViewOptionFromMenu(info.option);
    }
    EXPECT_EQ(pixelsApart(before, frame(), 0), 0);

    const float range = model->getTerrain().heightRange();
    testsupport::writeBytes("short.dmr", "1 2 3\n4 5 6\n");
    EXPECT_FALSE(model->loadDem("short.dmr"));
    EXPECT_FALSE(model->loadDem("does-not-exist.dmr"));
    EXPECT_EQ(errors, (std::vector<QString>{"Error: Error reading DEM terrain file.",
                                            "Error: Could not open DEM terrain file."}));
    EXPECT_EQ(model->getTerrain().heightRange(), range);
    EXPECT_EQ(pixelsApart(before, frame(), 0), 0);
    std::string plane; // a tilted plane: height grows with the row
    for (int i = 0; i < 10000; ++i)
        plane += std::to_string(i % 100 * 25) + ' ' + std::to_string(i / 100 * 25) + ' ' +
                 std::to_string(500 + i / 100 * 2) + '\n';
    testsupport::writeBytes("plane.dmr", plane);
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    EXPECT_TRUE(model->loadDem("plane.dmr"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(model->frame().terrainRenderer().hasArrays());
    EXPECT_FLOAT_EQ(model->getTerrain().heightRange(), 198.0f);
    EXPECT_GT(pixelsApart(before, frame(), 0), 1000);
    EXPECT_TRUE(model->frame().terrainRenderer().hasArrays());
}

TEST_F(RenderModel, glErrorsArePrintedByNameOnlyWhenSwitchedOnAndTheFrameRateOnceASecond)
{
    glEnable(0x7FFF); // an invalid capability: GL_INVALID_ENUM
    const auto check = [this] { model->checkGlError("Test"); };
    EXPECT_EQ(written(check), "");
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_EQ(model->glErrors().reportedErrors(), 0);
    model->glErrors().setOn(true);
    glEnable(0x7FFF);
    EXPECT_EQ(written(check), "Test: GL_INVALID_ENUM\n");
    EXPECT_EQ(model->glErrors().reportedErrors(), 1);
    EXPECT_EQ(written([this] { frame(); }), ""); // a frame raises none

    const auto outputAfterASecond = [this] {
        frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        return written([this] { frame(); });
    };
    EXPECT_EQ(outputAfterASecond(), ""); // the fixture switched it off
    model->toggleShowFPS();
    const std::string line = outputAfterASecond();
    EXPECT_TRUE(line.ends_with("fps\n")) << line;
    EXPECT_GT(std::stod(line), 0.0);

    // A frozen tree edit display draws nothing and only stops the animation.
    model->toggleShowFPS();
    model->toggleSingleRender();
    model->toggleDoNotRefreshDisplay();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    QSignalSpy stopped(model.get(), &EcosystemRender::stopTreeAnimation);
    EXPECT_EQ(frame().pixelColor(Size / 2, Size / 2), QColor(Qt::red));
    EXPECT_EQ(stopped.count(), 1);
}

// Fifty steps of a forest seen from 50 units south of it: sky above, land below, and the plants in
// view drawn from meshes as the reference drawing draws them, and counted alike.
TEST_F(RenderModel, fiftyStepsShowSkyLandAndTheTreesInViewBatchedAsInTheReferenceFrames)
{
    growInOneCell(50);
    placeCamera(1187.0f, 1190.0f, 6.0f, 0.0f, 6.0f);
    const std::vector<float> sizesBefore = plantSizes();
    EXPECT_FALSE(model->isViewOptionOn(ViewOption::ExactDistantTrees)); // the far-field tier is on
    setExactDistantTrees(true);
    model->toggleDoNotDrawTrees();
    const QImage bare = frame();
    model->toggleDoNotDrawTrees();
    QSignalSpy rendered(model.get(), &EcosystemRender::nrPlantsRenderedChanged);
    const Drawn reference = draw(true);
    const Drawn instanced = draw(false, &reference);
    EXPECT_EQ(rendered.count(), 2);
    ASSERT_GT(model->getLastRenderedCount(), 0);
    EXPECT_EQ(std::accumulate(instanced.perSpecies.begin(), instanced.perSpecies.end(), 0),
              model->getLastRenderedCount());
    // Upper third: the sky box, not the white clear colour, trees or not; lower third: green land.
    const auto skyBlue = [](const QImage &image) {
        return countPixels(image.copy(0, 0, Size, Size / 3),
                           [](QRgb p) { return qBlue(p) > qRed(p) + 20 && qBlue(p) > qGreen(p); });
    };
    EXPECT_GT(skyBlue(instanced.image), Size * Size / 3 / 2);
    EXPECT_EQ(skyBlue(bare), skyBlue(instanced.image));
    EXPECT_GT(countPixels(instanced.image.copy(0, 2 * Size / 3, Size, Size - 2 * Size / 3),
                          [](QRgb p) { return qGreen(p) > qRed(p) && qGreen(p) > qBlue(p); }),
              Size * Size / 3 / 4);
    EXPECT_GT(pixelsApart(instanced.image, bare, 0), 100);
    EXPECT_EQ(instanced.triangles, reference.triangles);
    // Far fewer calls than primitives: plants sharing a mesh are drawn with one call per batch.
    EXPECT_LT(model->getLastTreeDrawCalls() * 10, instanced.triangles);
    const lignet::gl::ForestFrameStats &stats = model->treeMeshes().forest().stats();
    EXPECT_LT(stats.meshes, stats.meshPlants);
    EXPECT_LE(stats.draw.drawCalls, 3 * stats.meshes);

    // Without instancing: the same picture; with the fixed-function pipeline the leaf points' order
    // differs (0.7 % of the pixels apart from the reference instanced, 2.8 % fixed-function).
    model->treeMeshes().drawer().setPath(TreeMeshDrawer::Path::PerPlant);
    const Drawn perPlant = draw(false, &reference);
    EXPECT_LE(shareApart(perPlant.image, instanced.image, 8), 0.0001);
    model->treeMeshes().drawer().setPath(TreeMeshDrawer::Path::Fixed);
    const Drawn fixed = draw(false, &reference);
    // Blended leaves of neighbouring plants overlap in another order (mesh by mesh, not plant by
    // plant), which shows in scattered crown pixels.
    EXPECT_LE(shareApart(reference.image, fixed.image, 8), 0.08);
    EXPECT_LE(shareApart(reference.image, fixed.image, 64), 0.02);
    EXPECT_LT(shareApart(reference.image, instanced.image, 8), 0.015);
    model->treeMeshes().drawer().setPath(TreeMeshDrawer::Path::Instanced);

    // Tree scale: bigger trees, more in view (the culling sphere grows too), the same simulation.
    EXPECT_FALSE(model->setTreeScale(3));
    EXPECT_EQ(model->getTreeScale(), 1);
    ASSERT_TRUE(model->setTreeScale(5));
    const Drawn five = draw(false);
    EXPECT_GT(pixelsApart(bare, five.image, 0), 2 * pixelsApart(bare, instanced.image, 0));
    for (std::size_t i = 0; i < instanced.perSpecies.size(); ++i)
        EXPECT_GE(five.perSpecies[i], instanced.perSpecies[i]);
    const Drawn fiveReference = draw(true, &five);
    EXPECT_LE(shareApart(fiveReference.image, five.image, 8), 0.08);
    EXPECT_LE(shareApart(fiveReference.image, five.image, 64), 0.02);
    EXPECT_EQ(plantSizes(), sizesBefore);

    // Distant trees as impostors (the default) count as drawn like the exact ones.
    ASSERT_TRUE(model->setTreeScale(1));
    setExactDistantTrees(false);
    const Drawn far = draw(false, &instanced);
    EXPECT_GT(far.impostors, 0u);
    EXPECT_LE(shareApart(instanced.image, far.image, 8), 0.02);
    // Few plants stand near here: the frame keeps the threshold. With no budget for drawing plants
    // exactly, it raises the threshold to leave only those above the largest pictures exact.
    const lignet::gl::ForestBatch &forest = model->treeMeshes().forest();
    EXPECT_EQ(forest.impostorThreshold(), TreeMeshes::DefaultImpostorThreshold);
    const std::uint64_t farExact = forest.stats().meshPlants;
    model->treeMeshes().setExactDrawingBudget(0.0);
    const Drawn budgeted = draw(false, &instanced);
    EXPECT_GT(forest.impostorThreshold(), TreeMeshes::DefaultImpostorThreshold);
    EXPECT_LT(forest.stats().meshPlants, farExact);
    EXPECT_LT(budgeted.triangles, far.triangles);
    model->treeMeshes().setExactDrawingBudget(TreeMeshes::DefaultExactDrawingBudget);
    // "Fast distant trees" takes the plants up to a larger height as well; "Exact distant trees"
    // still draws every plant exactly.
    model->toggleViewOptionFromMenu(ViewOption::FastDistantTrees);
    const Drawn fast = draw(false, &instanced);
    EXPECT_GT(fast.impostors, far.impostors);
    EXPECT_LT(fast.triangles, far.triangles);
    setExactDistantTrees(true);
    EXPECT_EQ(draw(false).triangles, instanced.triangles);
    setExactDistantTrees(false);
    model->toggleViewOptionFromMenu(ViewOption::FastDistantTrees);

    // While the simulation runs or the camera coasts, every plant the tier can take is an impostor.
    model->setSimulationRunning(true);
    const Drawn running = draw(false, &instanced);
    EXPECT_GT(running.impostors, far.impostors);
    EXPECT_LT(running.triangles, far.triangles);
    model->setSimulationRunning(false);
    model->setCameraMoving(true);
    // The running frame drew the pictures this one needs.
    const Drawn coasting = draw(false);
    EXPECT_LE(coasting.triangles, running.triangles);
    EXPECT_GE(coasting.impostors, running.impostors);
    setExactDistantTrees(true);
    EXPECT_EQ(draw(false).triangles, instanced.triangles);
    // At rest the near plants are exact again.
    model->setCameraMoving(false);
    setExactDistantTrees(false);
    const Drawn resting = draw(false);
    EXPECT_GT(resting.triangles, coasting.triangles);
    EXPECT_LT(resting.impostors, coasting.impostors);
    setExactDistantTrees(true);

    // From the middle of the forest northwards the plants behind the eye are out of view.
    placeCamera(1187.0f, 1137.0f, 10.0f, 0.0f, 0.0f);
    frame();
    EXPECT_GT(model->getLastRenderedCount(), 0);
    EXPECT_LT(static_cast<std::size_t>(model->getLastRenderedCount()), plantSizes().size());
    // Far west of the terrain, looking further west: the frustum's planes pass far from every plant.
    model->getCamera()->position = {-5000.0f, 400.0f, 1250.0f};
    model->getCamera()->heading = 270.0f;
    frame();
    EXPECT_EQ(model->getLastRenderedCount(), 0);
    for (const auto &s : model->getStatistics().renderedSeries())
        EXPECT_EQ(s.points().back().y, 0.0);
}
