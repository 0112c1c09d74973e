#include "ecosystem/render/ecosystemframe.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "lignet/treerenderer.h"
#include "render/ecosystem/modelfixture.h"

#include <QColor>
#include <QFile>
#include <QSignalSpy>
#include <QTextStream>

#include <GL/gl.h>

#include <chrono>
#include <thread>

using ecosystem::render::EcosystemRender;

namespace {

struct Tally {
    int bluish = 0;
    int greenish = 0;
    int white = 0;
};

Tally tally(const QImage &image, int fromRow, int toRow)
{
    Tally t;
    for (int y = fromRow; y < toRow; ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > c.red() + 20 && c.blue() > c.green())
                ++t.bluish;
            if (c.green() > c.red() && c.green() > c.blue())
                ++t.greenish;
            if (c.red() == 255 && c.green() == 255 && c.blue() == 255)
                ++t.white;
        }
    return t;
}

} // namespace

// A forest seeded into one cell keeps the frames quick to draw (software OpenGL under Xvfb).
class EcosystemFrame : public ModelFixture {
protected:
    void grow(int steps)
    {
        model->setLupaMinX(47);
        model->setLupaMaxX(48);
        model->setLupaMinY(45);
        model->setLupaMaxY(46);
        ::testing::internal::CaptureStdout();
        for (int i = 0; i < steps; ++i)
            model->simulateNextStepAndUpdateGL();
        ::testing::internal::GetCapturedStdout();
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

    // Straight down onto the middle of the plant area.
    void lookDownAtTheForest() { placeCamera(1187.0f, 1137.0f, 40.0f, 180.0f, 89.0f); }
    // From 50 units south of the forest towards it, slightly downwards.
    void lookAcrossTheForest() { placeCamera(1187.0f, 1190.0f, 6.0f, 0.0f, 6.0f); }
    // From the middle of the forest northwards: the plants behind the eye are out of view.
    void standInTheForest() { placeCamera(1187.0f, 1137.0f, 10.0f, 0.0f, 0.0f); }
};

TEST_F(EcosystemFrame, afterFiftyStepsShowsSkyTerrainAndTrees)
{
    grow(50);
    lookAcrossTheForest();
    QSignalSpy rendered(model.get(), &EcosystemRender::nrPlantsRenderedChanged);
    const QImage withTrees = frame();
    keep(withTrees, "fifty-steps");
    EXPECT_EQ(rendered.count(), 1);
    EXPECT_GT(model->getLastRenderedCount(), 0);
    const auto &series = model->getStatistics().renderedSeries();
    ASSERT_EQ(series.size(), model->getSimulation().species().size());
    int recorded = 0;
    for (const auto &s : series)
        recorded += static_cast<int>(s.points().back().y);
    EXPECT_EQ(recorded, model->getLastRenderedCount());

    // Upper third: the sky box, not the white clear colour; lower third: green land.
    const Tally sky = tally(withTrees, 0, Size / 3);
    EXPECT_GT(sky.bluish, Size * Size / 3 / 2);
    EXPECT_LT(sky.white, Size * Size / 3 / 10);
    const Tally land = tally(withTrees, 2 * Size / 3, Size);
    EXPECT_GT(land.greenish + land.bluish, 0);
    EXPECT_GT(land.greenish, Size * Size / 3 / 4);

    model->toggleDoNotDrawTrees();
    const QImage bare = frame();
    EXPECT_GT(differingPixels(withTrees, bare), 100);
    EXPECT_EQ(tally(bare, 0, Size / 3).bluish, sky.bluish);
}

TEST_F(EcosystemFrame, plantsOutsideTheViewAreNotDrawn)
{
    grow(20);
    standInTheForest();
    frame();
    const int visible = model->getLastRenderedCount();
    EXPECT_GT(visible, 0);
    int living = 0;
    for (const auto &species : model->getSimulation().species())
        living += static_cast<int>(species.plants.size());
    EXPECT_LT(visible, living); // the camera sees only part of the forest

    // Far west of the terrain, looking further west: the frustum's planes pass far from every plant.
    auto *camera = model->getCamera();
    camera->position = {-5000.0f, 400.0f, 1250.0f};
    camera->heading = 270.0f;
    camera->lookPitch = 0.0f;
    frame();
    EXPECT_EQ(model->getLastRenderedCount(), 0);
    for (const auto &s : model->getStatistics().renderedSeries())
        EXPECT_EQ(s.points().back().y, 0.0);
}

TEST_F(EcosystemFrame, plantsDrawnWithTheCurrentTreesModelLeaveItsOwnSettingsAlone)
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
    grow(20);
    lookDownAtTheForest();
    frame();
    ASSERT_GT(model->getLastRenderedCount(), 0);
    ASSERT_GT(model->getStatistics().renderedSeries().at(0).points().back().y, 0.0);
    EXPECT_FALSE(own.growing);
    EXPECT_FALSE(own.wireframe);
    EXPECT_FALSE(own.spinning);
    EXPECT_TRUE(own.windOn);
    EXPECT_EQ(own.growthProgress, 0.25);
    EXPECT_EQ(own.spinAngle, 12.0);
    EXPECT_EQ(own.levelOfDetail, before.levelOfDetail);
    // The wind clock of the swaying plants runs on.
    EXPECT_GT(own.windTime, before.windTime);

    // Nothing animates once the wind stops, and the frame says so.
    own.windOn = false;
    QSignalSpy stopped(model.get(), &EcosystemRender::stopTreeAnimation);
    frame();
    EXPECT_EQ(stopped.count(), 1);
}

TEST_F(EcosystemFrame, everyOverlayChangesThePicture)
{
    grow(1);
    const QImage base = frame();
    using Toggle = void (EcosystemRender::*)();
    const std::vector<std::pair<const char *, Toggle>> overlays = {
        {"normals", &EcosystemRender::toggleDisplayTerrainNormals},
        {"inclination", &EcosystemRender::toggleDisplayTerrainInclination},
        {"moisture", &EcosystemRender::toggleDisplayTerrainMoisture},
        {"sunniness", &EcosystemRender::toggleDisplayTerrainSunniness},
        {"windiness", &EcosystemRender::toggleDisplayTerrainWindiness},
        {"markings", &EcosystemRender::toggleDisplayLandMarkings},
        {"sun", &EcosystemRender::toggleDisplaySun},
    };
    for (const auto &[name, toggle] : overlays) {
        (model.get()->*toggle)();
        const QImage with = frame();
        EXPECT_GT(differingPixels(base, with), 20) << name;
        (model.get()->*toggle)();
    }
    EXPECT_EQ(differingPixels(base, frame()), 0);
}

TEST_F(EcosystemFrame, neighbourhoodDisksWithoutTreesKeepTheStackBalanced)
{
    grow(20);
    lookDownAtTheForest();
    model->toggleDoNotDrawTrees();
    const QImage bare = frame();
    model->toggleShowNeighborHood();
    const QImage disks = frame();
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    int pure = 0;
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const QColor c = disks.pixelColor(x, y);
            const bool saturated = (c.red() == 255 || c.red() == 0) && (c.green() == 255 || c.green() == 0) &&
                                   (c.blue() == 255 || c.blue() == 0);
            if (saturated && c != QColor(Qt::white) && c != QColor(Qt::black) && bare.pixelColor(x, y) != c)
                ++pure;
        }
    EXPECT_GT(pure, 20);
}

TEST_F(EcosystemFrame, treeEditModeDrawsTheCurrentTreeOnTheSkyBackground)
{
    model->toggleSingleRender();
    const QImage image = frame();
    const QColor background(68, 121, 137);
    EXPECT_EQ(image.pixelColor(0, 0), background);
    EXPECT_EQ(image.pixelColor(Size - 1, 0), background);
    int tree = 0;
    for (int y = 0; y < Size; ++y)
        for (int x = Size / 4; x < 3 * Size / 4; ++x)
            if (image.pixelColor(x, y) != background)
                ++tree;
    EXPECT_GT(tree, 200);
    model->getCurrentTree()->settings().backgroundSky = false;
    EXPECT_EQ(frame().pixelColor(0, 0), QColor(Qt::white));
}

TEST_F(EcosystemFrame, frozenDisplayKeepsTheLastImageButStillStopsTheAnimation)
{
    frame();
    model->toggleDoNotRefreshDisplay();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    QSignalSpy stopped(model.get(), &EcosystemRender::stopTreeAnimation);
    const QImage image = frame();
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(image.pixelColor(Size / 2, Size / 2), QColor(Qt::red));
}

TEST_F(EcosystemFrame, damagedDemIsRefusedAndAGoodOneIsDrawnAtTheNextFrame)
{
    const QImage before = frame();
    const float range = model->getTerrain().heightRange();
    {
        QFile file(QStringLiteral("short.dmr"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
        QTextStream out(&file);
        out << "1 2 3\n4 5 6\n";
    }
    EXPECT_FALSE(model->loadDem("short.dmr"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], QStringLiteral("Error: Error reading DEM terrain file."));
    EXPECT_EQ(model->getTerrain().heightRange(), range);
    EXPECT_FALSE(model->loadDem("does-not-exist.dmr"));
    EXPECT_EQ(errors.back(), QStringLiteral("Error: Could not open DEM terrain file."));
    EXPECT_EQ(differingPixels(before, frame()), 0);

    {
        // A tilted plane: height grows with the row.
        QFile file(QStringLiteral("plane.dmr"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
        QTextStream out(&file);
        for (int r = 0; r < 100; ++r)
            for (int c = 0; c < 100; ++c)
                out << c * 25 << ' ' << r * 25 << ' ' << 500 + r * 2 << '\n';
    }
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    EXPECT_TRUE(model->loadDem("plane.dmr"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(model->frame().terrainRenderer().hasArrays());
    EXPECT_FLOAT_EQ(model->getTerrain().heightRange(), 198.0f);
    const QImage after = frame();
    EXPECT_TRUE(model->frame().terrainRenderer().hasArrays());
    EXPECT_GT(differingPixels(before, after), 1000);
}

TEST_F(EcosystemFrame, glErrorsArePrintedByNameOnlyWhenSwitchedOn)
{
    glEnable(0x7FFF); // an invalid capability: GL_INVALID_ENUM
    ::testing::internal::CaptureStdout();
    model->checkGlError("Test");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_EQ(model->glErrors().reportedErrors(), 0);
    model->glErrors().setOn(true);
    glEnable(0x7FFF);
    ::testing::internal::CaptureStdout();
    model->checkGlError("Test");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Test: GL_INVALID_ENUM\n");
    EXPECT_EQ(model->glErrors().reportedErrors(), 1);
    ::testing::internal::CaptureStdout();
    frame();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), ""); // a whole frame raises no GL error
}

TEST_F(EcosystemFrame, frameRateLineOnceASecondWhileEnabled)
{
    frame();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    ::testing::internal::CaptureStdout();
    frame(); // counter restarts, nothing printed: showFPS is off in the fixture
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    model->toggleShowFPS();
    frame();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    ::testing::internal::CaptureStdout();
    frame();
    const std::string line = ::testing::internal::GetCapturedStdout();
    ASSERT_GE(line.size(), 4u);
    EXPECT_EQ(line.substr(line.size() - 4), "fps\n");
    EXPECT_GT(std::stod(line), 0.0);
}
