#include "assets/speciestrees.h"
#include "core/tempfolder.h"
#include "ecosystem/render/ecosystemframe.h"
#include "ecosystem/render/scenetextures.h"
#include "ecosystem/render/speciesappearance.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/treeparameterfile.h"
#include "lignet/treerenderer.h"
#include "render/ecosystem/modelfixture.h"

#include <QColor>
#include <QSignalSpy>

#include <GL/gl.h>

#include <algorithm>

using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;

using RenderModel = ModelFixture;

TEST_F(RenderModel, startsOnTheAnalysedTerrainWithEveryTextureUploadedAndReleasesThemWithTheModel)
{
    EXPECT_FALSE(model->isViewOptionOn(ViewOption::SingleRender));
    EXPECT_EQ(model->getCurrentTreeIndex(), 5);
    EXPECT_TRUE(model->getTerrain().isAnalysed());
    EXPECT_FALSE(model->isSimulationInitialised());
    EXPECT_TRUE(errors.empty()) << errors.front().toStdString();
    std::vector<GLuint> names(model->textures().sky().begin(), model->textures().sky().end());
    for (std::size_t i = 0; i < ecosystem::EcosystemScene::TreeCount; ++i)
        names.insert(names.end(), {model->textures().tree(i).bark, model->textures().tree(i).leaf});
    for (GLuint name : names)
        EXPECT_TRUE(glIsTexture(name));
    EXPECT_TRUE(model->frame().terrainRenderer().hasArrays());
    gl.makeCurrent();
    model.reset();
    gl.makeCurrent();
    for (GLuint name : names)
        EXPECT_FALSE(glIsTexture(name));
    // A model that outlives its context has nothing left to release, and says nothing.
    makeModel();
    gl.destroy();
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

TEST_F(RenderModel, treeActionsAnimateTheCurrentTreeAndTheNextSpeciesTakesOverSpinAndWind)
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
    EXPECT_TRUE(model->isViewOptionOn(ViewOption::SingleRender));
    EXPECT_TRUE(!settings.growing && !settings.wireframe && settings.spinning);
    EXPECT_DOUBLE_EQ(settings.spinAngle, 0.0);
}

TEST_F(RenderModel, repaintsAreThinnedByTheFrameSkipWhichNeverFallsBelowOne)
{
    model->actionRender_more_often_skip_less_frames();
    EXPECT_EQ(model->getFrameSkip(), 1);
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    const float size = model->getCurrentTree()->designedParameters().leafSize;
    model->actionReduce_leave_size();
    EXPECT_EQ(model->getCurrentTree()->designedParameters().leafSize, size * 0.91f);
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

TEST_F(RenderModel, seedsRoundTripAndShortVectorsAreRefused)
{
    auto seeds = model->getRandomGeneratorSeeds();
    ASSERT_EQ(seeds.size(), 13u);
    EXPECT_EQ(seeds[12], 13u);
    seeds[4] = 777;
    model->setRandomGeneratorSeeds(seeds);
    model->setRandomGeneratorSeeds({1, 2, 3});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Error: ")));
    EXPECT_EQ(model->getRandomGeneratorSeeds(), seeds);
}

// While the simulation runs, each step goes to a worker thread: the window may use the model at
// once, anything reading the simulation waits for the step, every step is reported exactly once,
// and the forest, its saves and its log are the same as with the steps taken one by one.
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
    const QDir dir(workDir.path());
    const QStringList saves = {"3.sim", "6.sim", "worker.sim"};
    EXPECT_EQ(dir.entryList({QStringLiteral("*.sim")}), saves);
    model->setAutosave(0);
    steps(2);
    EXPECT_EQ(dir.entryList({QStringLiteral("*.sim")}), saves);

    written([this] { EXPECT_TRUE(model->loadSimulation("6.sim")); });
    EXPECT_EQ(livingInTurn.count(), 10);
    EXPECT_EQ(model->getSimulation().step(), 6);
    int loaded = 0;
    for (const auto &species : model->getSimulation().species())
        loaded += static_cast<int>(species.plants.size());
    EXPECT_EQ(loaded, livingAtSix);
    EXPECT_FALSE(written([this] { EXPECT_FALSE(model->loadSimulation("missing.sim")); }, true).empty());
    EXPECT_EQ(model->getSimulation().step(), 6);
}

TEST(SpeciesAppearance, speciesBeyondTheTableUseTheSixthTreeAndWhite)
{
    EXPECT_EQ(ecosystem::EcosystemScene::treeIndexForSpecies(4), 4u);
    EXPECT_EQ(ecosystem::EcosystemScene::treeIndexForSpecies(7), 5u);
    EXPECT_EQ(ecosystem::EcosystemScene::treeIndexForSpecies(-1), 5u);
    unsigned char rgb[3];
    ecosystem::render::neighbourhoodColour(3, rgb);
    EXPECT_EQ(QColor(rgb[0], rgb[1], rgb[2]), QColor(255, 0, 255));
    ecosystem::render::neighbourhoodColour(7, rgb);
    EXPECT_EQ(QColor(rgb[0], rgb[1], rgb[2]), QColor(255, 255, 255));
}

TEST_F(RenderModel, reloadedTreeTexturesReplaceTheNamesAndAMissingPictureKeepsThemWithItsMessage)
{
    gl.makeCurrent();
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
    EXPECT_EQ(reported.at(0).at(0).toString(), QStringLiteral("Error"));
    EXPECT_EQ(reported.at(0).at(1).toString(), QStringLiteral("Could not open leaf texture file."));
}
