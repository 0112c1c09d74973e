#include "core/tempfolder.h"
#include "ecosystem/render/ecosystemframe.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/treerenderer.h"
#include "render/ecosystem/modelfixture.h"

#include <QColor>
#include <QSignalSpy>

#include <GL/gl.h>

#include <chrono>
#include <thread>

using ecosystem::render::EcosystemRender;

namespace {

// Pixels in rows from..to that are bluish and that are green.
std::pair<int, int> bluishAndGreenish(const QImage &image, int fromRow, int toRow)
{
    int bluish = 0, greenish = 0;
    for (int y = fromRow; y < toRow; ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            bluish += c.blue() > c.red() + 20 && c.blue() > c.green();
            greenish += c.green() > c.red() && c.green() > c.blue();
        }
    return {bluish, greenish};
}

} // namespace

using EcosystemFrame = ModelFixture;

TEST_F(EcosystemFrame, showsSkyAboveTerrainAndTheTreesInViewAndRecordsHowManyItDrew)
{
    growInOneCell(50);
    placeCamera(1187.0f, 1190.0f, 6.0f, 0.0f, 6.0f); // 50 units south of the forest, looking at it
    QSignalSpy rendered(model.get(), &EcosystemRender::nrPlantsRenderedChanged);
    const QImage withTrees = frame();
    EXPECT_EQ(rendered.count(), 1);
    EXPECT_GT(model->getLastRenderedCount(), 0);
    int recorded = 0;
    for (const auto &s : model->getStatistics().renderedSeries())
        recorded += static_cast<int>(s.points().back().y);
    EXPECT_EQ(recorded, model->getLastRenderedCount());
    // Upper third: the sky box, not the white clear colour; lower third: green land.
    const auto [skyBlue, skyGreen] = bluishAndGreenish(withTrees, 0, Size / 3);
    EXPECT_GT(skyBlue, Size * Size / 3 / 2);
    EXPECT_GT(bluishAndGreenish(withTrees, 2 * Size / 3, Size).second, Size * Size / 3 / 4);
    model->toggleDoNotDrawTrees();
    const QImage bare = frame();
    EXPECT_GT(differingPixels(withTrees, bare), 100);
    EXPECT_EQ(bluishAndGreenish(bare, 0, Size / 3).first, skyBlue);

    // From the middle of the forest northwards the plants behind the eye are out of view.
    model->toggleDoNotDrawTrees();
    placeCamera(1187.0f, 1137.0f, 10.0f, 0.0f, 0.0f);
    frame();
    std::size_t living = 0;
    for (const auto &species : model->getSimulation().species())
        living += species.plants.size();
    EXPECT_GT(model->getLastRenderedCount(), 0);
    EXPECT_LT(static_cast<std::size_t>(model->getLastRenderedCount()), living);
    // Far west of the terrain, looking further west: the frustum's planes pass far from every plant.
    model->getCamera()->position = {-5000.0f, 400.0f, 1250.0f};
    model->getCamera()->heading = 270.0f;
    frame();
    EXPECT_EQ(model->getLastRenderedCount(), 0);
    for (const auto &s : model->getStatistics().renderedSeries())
        EXPECT_EQ(s.points().back().y, 0.0);
}

TEST_F(EcosystemFrame, plantsDrawnWithTheCurrentTreesModelLeaveItsOwnSettingsAloneAndNeighbourhoodDisksShow)
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
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const QColor c = disks.pixelColor(x, y);
            pure += full(c.red()) && full(c.green()) && full(c.blue()) && c != QColor(Qt::white) &&
                    c != QColor(Qt::black) && bare.pixelColor(x, y) != c;
        }
    EXPECT_GT(pure, 20);
}

TEST_F(EcosystemFrame, everyOverlayChangesThePicture)
{
    growInOneCell(1);
    const QImage base = frame();
    for (const auto &info : ecosystem::render::viewOptionTable()) {
        if (info.overlayName.empty())
            continue;
        model->toggleViewOptionFromMenu(info.option);
        EXPECT_GT(differingPixels(base, frame()), 20) << info.overlayName;
        model->toggleViewOptionFromMenu(info.option);
    }
    EXPECT_EQ(differingPixels(base, frame()), 0);
}

TEST_F(EcosystemFrame, aFrozenTreeEditDisplayDrawsNothingAndOnlyStopsTheAnimation)
{
    model->toggleSingleRender();
    model->toggleDoNotRefreshDisplay();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    QSignalSpy stopped(model.get(), &EcosystemRender::stopTreeAnimation);
    EXPECT_EQ(frame().pixelColor(Size / 2, Size / 2), QColor(Qt::red));
    EXPECT_EQ(stopped.count(), 1);
}

TEST_F(EcosystemFrame, damagedDemIsRefusedAndAGoodOneIsDrawnAtTheNextFrame)
{
    const QImage before = frame();
    const float range = model->getTerrain().heightRange();
    testsupport::writeBytes("short.dmr", "1 2 3\n4 5 6\n");
    EXPECT_FALSE(model->loadDem("short.dmr"));
    EXPECT_FALSE(model->loadDem("does-not-exist.dmr"));
    EXPECT_EQ(errors, (std::vector<QString>{"Error: Error reading DEM terrain file.",
                                            "Error: Could not open DEM terrain file."}));
    EXPECT_EQ(model->getTerrain().heightRange(), range);
    EXPECT_EQ(differingPixels(before, frame()), 0);

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
    EXPECT_GT(differingPixels(before, frame()), 1000);
    EXPECT_TRUE(model->frame().terrainRenderer().hasArrays());
}

TEST_F(EcosystemFrame, glErrorsArePrintedByNameOnlyWhenSwitchedOnAndAFrameRaisesNone)
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
    EXPECT_EQ(written([this] { frame(); }), "");
}

TEST_F(EcosystemFrame, frameRateLineOnceASecondWhileEnabled)
{
    const auto outputAfterASecond = [this] {
        frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        return written([this] { frame(); });
    };
    EXPECT_EQ(outputAfterASecond(), ""); // the fixture switched it off
    model->toggleShowFPS();
    const std::string line = outputAfterASecond();
    ASSERT_GE(line.size(), 4u);
    EXPECT_EQ(line.substr(line.size() - 4), "fps\n");
    EXPECT_GT(std::stod(line), 0.0);
}
