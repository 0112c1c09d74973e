#include "assets/speciestrees.h"
#include "ecosystem/render/ecosystemframe.h"
#include "ecosystem/render/scenetextures.h"
#include "ecosystem/render/speciesappearance.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "lignet/treeparameterfile.h"
#include "lignet/treerenderer.h"
#include "render/ecosystem/modelfixture.h"

#include <QColor>
#include <QFile>
#include <QSignalSpy>

#include <GL/gl.h>

#include <algorithm>

using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;

using RenderModel = ModelFixture;

TEST_F(RenderModel, startsInTheEcosystemWithSkyLightingAndFrameRateAndEveryTextureUploaded)
{
    for (const auto &info : ecosystem::render::viewOptionTable()) {
        const bool on = info.option == ViewOption::LightingEnabled || info.option == ViewOption::DisplaySky ||
                        info.option == ViewOption::ShowFPS || info.option == ViewOption::DisplayLeaves;
        // The fixture switched the frame rate off.
        EXPECT_EQ(model->isViewOptionOn(info.option), on && info.option != ViewOption::ShowFPS) << info.name;
    }
    EXPECT_EQ(model->getFrameSkip(), 1);
    EXPECT_EQ(model->getAutosaveSteps(), -1);
    EXPECT_EQ(model->getCurrentTreeIndex(), 5);
    EXPECT_EQ(model->getCamera()->parent(), model.get());
    EXPECT_TRUE(model->getTerrain().isAnalysed());
    EXPECT_EQ(model->getTerrain().heightRange(), 364.2f);
    EXPECT_FALSE(model->isSimulationInitialised());
    EXPECT_TRUE(errors.empty()) << errors.front().toStdString();
    for (std::size_t i = 0; i < ecosystem::EcosystemScene::TreeCount; ++i) {
        EXPECT_TRUE(glIsTexture(model->textures().tree(i).bark));
        EXPECT_TRUE(glIsTexture(model->textures().tree(i).leaf));
    }
    for (GLuint name : model->textures().sky())
        EXPECT_TRUE(glIsTexture(name));
    EXPECT_TRUE(model->frame().terrainRenderer().hasArrays());
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
    QFile damaged(QString::fromStdString(files[1]));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("bark\nleaf\nnot numbers\n");
    damaged.close();
    gl.makeCurrent();
    model.reset();
    makeModel();
    EXPECT_EQ(model->scene().tree(0).designedParameters().numberOfStrands, 77);
    EXPECT_EQ(treeText(1), repositoryText(1));
    EXPECT_NE(constructionWarnings.find("\"" + files[1] + "\""), std::string::npos) << constructionWarnings;
    EXPECT_EQ(std::count(constructionWarnings.begin(), constructionWarnings.end(), '\n'), 1);
}

TEST_F(RenderModel, nextSpeciesWrapsAndCarriesSpinAndWind)
{
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    auto &old = model->getCurrentTree()->settings();
    old.spinning = true;
    old.windOn = true;
    old.growing = true;
    model->selectNextTreeSpecies();
    EXPECT_EQ(model->getCurrentTreeIndex(), 0);
    EXPECT_EQ(model->getCurrentTree(), &model->scene().tree(0));
    EXPECT_TRUE(model->getCurrentTree()->settings().spinning);
    EXPECT_TRUE(model->getCurrentTree()->settings().windOn);
    EXPECT_FALSE(model->getCurrentTree()->settings().growing);
    EXPECT_FALSE(old.spinning);
    EXPECT_FALSE(old.windOn);
    EXPECT_TRUE(old.growing);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(RenderModel, frameSkipNeverFallsBelowOneAndThinsLeafRepaints)
{
    model->actionRender_more_often_skip_less_frames();
    EXPECT_EQ(model->getFrameSkip(), 1);
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    const float size = model->getCurrentTree()->designedParameters().leafSize;
    model->actionReduce_leave_size();
    EXPECT_FLOAT_EQ(model->getCurrentTree()->designedParameters().leafSize, size * 0.91f);
    EXPECT_EQ(changed.count(), 1);

    model->actionRender_less_often_skip_more_frames();
    model->actionRender_less_often_skip_more_frames();
    EXPECT_EQ(model->getFrameSkip(), 3);
    changed.clear();
    for (int i = 0; i < 6; ++i)
        model->actionReduce_leave_size();
    EXPECT_EQ(changed.count(), 2);
    model->actionEnlarge_leave_size();
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(RenderModel, treeActionsFlipTheCurrentTreeAndStartTheAnimation)
{
    QSignalSpy started(model.get(), &EcosystemRender::startTreeAnimation);
    auto &settings = model->getCurrentTree()->settings();
    settings.growthProgress = 0.7;
    model->actionGrow_tree();
    EXPECT_TRUE(settings.growing);
    EXPECT_DOUBLE_EQ(settings.growthProgress, 0.0);
    model->actionSpin_tree();
    model->actionSway_tree_in_wind();
    EXPECT_TRUE(settings.spinning);
    EXPECT_TRUE(settings.windOn);
    EXPECT_EQ(started.count(), 3);

    settings.spinAngle = 40.0;
    settings.wireframe = true;
    model->toggleSingleRender();
    EXPECT_TRUE(model->isViewOptionOn(ViewOption::SingleRender));
    EXPECT_FALSE(settings.growing);
    EXPECT_DOUBLE_EQ(settings.spinAngle, 0.0);
    EXPECT_FALSE(settings.wireframe);
    EXPECT_TRUE(settings.spinning);
}

TEST_F(RenderModel, everyViewMenuSwitchFlipsWhatItShowsAndTheTwoModesKeepTheirOwnWireframe)
{
    for (const auto &info : ecosystem::render::viewOptionTable()) {
        if (info.option == ViewOption::SingleRender)
            continue;
        const bool before = model->isViewOptionOn(info.option);
        model->toggleViewOptionFromMenu(info.option);
        EXPECT_NE(model->isViewOptionOn(info.option), before) << info.name;
    }
    // Only the sky switch of the menu also changes the tree edit background.
    EXPECT_FALSE(model->getCurrentTree()->settings().backgroundSky);

    const bool ecosystemWireframe = model->isViewOptionOn(ViewOption::Wireframe);
    model->toggleSingleRender();
    model->toggleViewOptionFromMenu(ViewOption::Wireframe);
    EXPECT_TRUE(model->getCurrentTree()->settings().wireframe);
    EXPECT_TRUE(model->isViewOptionOn(ViewOption::Wireframe));
    model->toggleSingleRender();
    EXPECT_EQ(model->isViewOptionOn(ViewOption::Wireframe), ecosystemWireframe);
}

TEST_F(RenderModel, plantAreaSlotsReachTheTerrain)
{
    model->setLupaMinX(40);
    model->setLupaMaxY(60);
    EXPECT_EQ(model->getLupaMinX(), 40);
    EXPECT_EQ(model->getLupaMaxX(), 75);
    EXPECT_EQ(model->getLupaMinY(), 25);
    EXPECT_EQ(model->getLupaMaxY(), 60);
    for (int cell : model->getTerrain().plantableCells()) {
        EXPECT_GE(cell % 100, 40);
        EXPECT_LT(cell / 100, 60);
    }
}

TEST_F(RenderModel, seedsRoundTripAndShortVectorsAreRefused)
{
    auto seeds = model->getRandomGeneratorSeeds();
    ASSERT_EQ(seeds.size(), 13u);
    EXPECT_EQ(seeds[0], 1u);
    EXPECT_EQ(seeds[12], 13u);
    seeds[4] = 777;
    model->setRandomGeneratorSeeds(seeds);
    EXPECT_EQ(model->getRandomGeneratorSeeds()[4], 777u);
    model->setRandomGeneratorSeeds({1, 2, 3});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Error: ")));
    EXPECT_EQ(model->getRandomGeneratorSeeds()[4], 777u);
}

TEST_F(RenderModel, autosaveWritesEveryNthStepNamedAfterTheStep)
{
    QSignalSpy living(model.get(), &EcosystemRender::nrPlantsLivingChanged);
    model->setAutosave(3);
    ::testing::internal::CaptureStdout();
    for (int i = 0; i < 7; ++i)
        model->simulateNextStepAndUpdateGL();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(living.count(), 7);
    EXPECT_NE(out.find("@1:"), std::string::npos);
    EXPECT_NE(out.find("@7:"), std::string::npos);
    const QDir dir(workDir.path());
    EXPECT_TRUE(dir.exists(QStringLiteral("3.sim")));
    EXPECT_TRUE(dir.exists(QStringLiteral("6.sim")));
    EXPECT_FALSE(dir.exists(QStringLiteral("1.sim")));
    EXPECT_FALSE(dir.exists(QStringLiteral("7.sim")));
    EXPECT_FALSE(dir.exists(QStringLiteral("0.sim")));

    model->setAutosave(0);
    ::testing::internal::CaptureStdout();
    for (int i = 0; i < 2; ++i)
        model->simulateNextStepAndUpdateGL();
    ::testing::internal::GetCapturedStdout();
    EXPECT_FALSE(dir.exists(QStringLiteral("9.sim")));
}

TEST_F(RenderModel, simulationStepsRepaintEveryFrameSkipSteps)
{
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    model->actionRender_less_often_skip_more_frames();
    ::testing::internal::CaptureStdout();
    for (int i = 0; i < 5; ++i)
        model->simulateNextStepAndUpdateGL();
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(model->getSimulation().step(), 5);
}

TEST_F(RenderModel, savedSimulationLoadsBack)
{
    ::testing::internal::CaptureStdout();
    for (int i = 0; i < 4; ++i)
        model->simulateNextStepAndUpdateGL();
    EXPECT_TRUE(model->saveSimulation("four.sim"));
    const int living = model->getStatistics().nrPlants();
    for (int i = 0; i < 3; ++i)
        model->simulateNextStepAndUpdateGL();
    QSignalSpy changed(model.get(), &EcosystemRender::nrPlantsLivingChanged);
    EXPECT_TRUE(model->loadSimulation("four.sim"));
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model->getSimulation().step(), 4);
    int count = 0;
    for (const auto &species : model->getSimulation().species())
        count += static_cast<int>(species.plants.size());
    EXPECT_EQ(count, living);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(model->loadSimulation("missing.sim"));
    EXPECT_FALSE(::testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(model->getSimulation().step(), 4);
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

TEST_F(RenderModel, reloadingTreeTexturesReplacesTheNamesAndAMissingPictureKeepsThemWithItsMessage)
{
    gl.makeCurrent();
    const std::size_t current = 5;
    const lignet::gl::TreeTextures original = model->textures().tree(current);
    model->reloadCurrentTreeTextures();
    const lignet::gl::TreeTextures reloaded = model->textures().tree(current);
    EXPECT_TRUE(glIsTexture(reloaded.bark));
    EXPECT_TRUE(glIsTexture(reloaded.leaf));
    for (GLuint old : {original.bark, original.leaf})
        EXPECT_TRUE(!glIsTexture(old) || old == reloaded.bark || old == reloaded.leaf);
    EXPECT_TRUE(errors.empty());

    auto &parameters = model->getCurrentTree()->designedParameters();
    parameters.barkTexturePath = "no/such/bark.jpg";
    model->reloadCurrentTreeTextures();
    parameters.barkTexturePath = ":/gui/textures/bark.jpg";
    parameters.leafTexturePath = "no\\such\\leaf.png";
    model->reloadCurrentTreeTextures();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], QStringLiteral("Error: Could not open bark texture file."));
    EXPECT_EQ(errors[1], QStringLiteral("Error: Could not open leaf texture file."));
    EXPECT_EQ(model->textures().tree(current).bark, reloaded.bark);
    EXPECT_EQ(model->textures().tree(current).leaf, reloaded.leaf);

    // Reloading all trees reports once, for the one tree whose picture is missing.
    errors.clear();
    model->reloadAllTreeTextures();
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(RenderModel, texturesAreReleasedWithTheModelAndSurviveTheContextGoingFirst)
{
    gl.makeCurrent();
    const GLuint bark = model->textures().tree(0).bark;
    const GLuint sky = model->textures().sky()[0];
    model.reset();
    gl.makeCurrent();
    EXPECT_FALSE(glIsTexture(bark));
    EXPECT_FALSE(glIsTexture(sky));

    // A model that outlives its context has nothing left to release, and says nothing.
    makeModel();
    gl.destroy();
    ::testing::internal::CaptureStderr();
    model.reset();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(RenderModel, errorsGoToTheSignalOrToStandardErrorWithoutAHandler)
{
    gl.makeCurrent();
    model->setErrorHandler({});
    model->getCurrentTree()->designedParameters().barkTexturePath = "missing.jpg";
    ::testing::internal::CaptureStderr();
    model->reloadCurrentTreeTextures();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Could not open bark texture file.\n");

    QSignalSpy reported(model.get(), &EcosystemRender::errorReported);
    ::testing::internal::CaptureStderr();
    model->reloadCurrentTreeTextures();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(reported.count(), 1);
    EXPECT_EQ(reported.at(0).at(0).toString(), QStringLiteral("Error"));
    EXPECT_EQ(reported.at(0).at(1).toString(), QStringLiteral("Could not open bark texture file."));
}

TEST_F(RenderModel, skyTexturesAreReuploadedAndRepainted)
{
    gl.makeCurrent();
    QString n, s, e, w, u, d;
    model->getSkyTextureFileNames(n, s, e, w, u, d);
    QSignalSpy changed(model.get(), &EcosystemRender::modelDataChanged);
    model->reloadSkyTextures(n, s, e, w, u, d);
    EXPECT_EQ(changed.count(), 1);
    for (GLuint name : model->textures().sky())
        EXPECT_TRUE(glIsTexture(name));
    // The north picture on the up face: the names are stored in the order given.
    model->reloadSkyTextures(u, s, e, w, u, d);
    QString first;
    model->getSkyTextureFileNames(first, s, e, w, u, d);
    EXPECT_EQ(first, u);
}
