#include "ecosystem/render/speciesappearance.h"
#include "ecosystem/render/terrainrenderer.h"
#include "ecosystem/render/skybox.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "lignet/treerenderer.h"
#include "render/ecosystem/modelfixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTextStream>

#include <GL/gl.h>

using ecosystem::render::EcosystemRender;

using RenderModel = ModelFixture;

TEST_F(RenderModel, startsWithTheDocumentedDefaults)
{
    EXPECT_FALSE(model->isSingleRender());
    EXPECT_FALSE(model->isDisplayTerrainNormals());
    EXPECT_FALSE(model->isDisplayLandMarkings());
    EXPECT_TRUE(model->isLightingEnabled());
    EXPECT_FALSE(model->isWireframe());
    EXPECT_TRUE(model->isDisplaySky());
    EXPECT_FALSE(model->isDisplaySun());
    EXPECT_EQ(model->getFrameSkip(), 1);
    EXPECT_EQ(model->getFrameCountdown(), 1);
    EXPECT_EQ(model->getAutosaveSteps(), -1);
    EXPECT_EQ(model->getCurrentTreeIndex(), 5);
    ASSERT_EQ(model->getTrees().size(), 6u);
    EXPECT_EQ(model->getCurrentTree(), model->getTrees()[5]);
    EXPECT_EQ(model->getDetailTextureFile(), QStringLiteral(":/gui/textures/detail.png"));
    QString n, s, e, w, u, d;
    model->getSkyTextureFileNames(n, s, e, w, u, d);
    EXPECT_EQ(n, QStringLiteral(":/gui/textures/sky_n.png"));
    EXPECT_EQ(d, QStringLiteral(":/gui/textures/sky_d.png"));
    EXPECT_EQ(model->getCamera()->parent(), model.get());
    EXPECT_TRUE(model->getTerrain().isAnalysed());
    EXPECT_EQ(model->getTerrain().heightRange(), 364.2f);
    EXPECT_FALSE(model->isSimulationInitialised());
    EXPECT_TRUE(errors.empty()) << errors.front().toStdString();
    for (const auto &tree : model->getTrees()) {
        EXPECT_NE(tree->settings().barkTexture, 0u);
        EXPECT_NE(tree->settings().leafTexture, 0u);
        EXPECT_TRUE(tree->settings().quadric);
    }
    for (GLuint name : model->getSkyBox().textures())
        EXPECT_NE(name, 0u);
    EXPECT_TRUE(model->getTerrainRenderer().hasArrays());
}

TEST_F(RenderModel, missingSpeciesFilesWarnOnceEachAndKeepDefaults)
{
    for (int i = 0; i < 5; ++i) {
        const std::string &file = EcosystemRender::speciesFiles()[static_cast<std::size_t>(i)];
        EXPECT_NE(constructionWarnings.find("\"" + file + "\""), std::string::npos) << file;
    }
    EXPECT_EQ(std::count(constructionWarnings.begin(), constructionWarnings.end(), '\n'), 5);
    EXPECT_TRUE(EcosystemRender::speciesFiles()[5].empty());
    const lignet::TreeParameters defaults;
    EXPECT_EQ(model->getTrees()[0]->designedParameters().numberOfStrands, defaults.numberOfStrands);
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
    EXPECT_EQ(model->getCurrentTree(), model->getTrees()[0]);
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
    EXPECT_TRUE(model->isSingleRender());
    EXPECT_FALSE(settings.growing);
    EXPECT_DOUBLE_EQ(settings.spinAngle, 0.0);
    EXPECT_FALSE(settings.wireframe);
    EXPECT_TRUE(settings.spinning);
}

TEST_F(RenderModel, togglesFlipTheirFlags)
{
    model->toggleWireframe();
    EXPECT_TRUE(model->isWireframe());
    EXPECT_TRUE(model->getTerrainRenderer().wireframe);
    model->toggleLightingEnabled();
    model->toggleShowNeighborHood();
    model->toggleDoNotDrawTrees();
    model->toggleDisplaySky();
    model->toggleDisplaySun();
    model->toggleDisplayLandMarkings();
    model->toggleDisplayTerrainWindiness();
    EXPECT_FALSE(model->isLightingEnabled());
    EXPECT_TRUE(model->isShowNeighborHood());
    EXPECT_TRUE(model->isDoNotDrawTrees());
    EXPECT_FALSE(model->isDisplaySky());
    EXPECT_TRUE(model->isDisplaySun());
    EXPECT_TRUE(model->isDisplayLandMarkings());
    EXPECT_TRUE(model->isDisplayTerrainWindiness());
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
    EXPECT_EQ(ecosystem::render::treeIndexForSpecies(0), 0);
    EXPECT_EQ(ecosystem::render::treeIndexForSpecies(5), 5);
    EXPECT_EQ(ecosystem::render::treeIndexForSpecies(6), 5);
    EXPECT_EQ(ecosystem::render::treeIndexForSpecies(7), 5);
    EXPECT_EQ(ecosystem::render::treeIndexForSpecies(-1), 5);
    unsigned char rgb[3];
    ecosystem::render::neighbourhoodColour(3, rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
    EXPECT_EQ(rgb[2], 255);
    ecosystem::render::neighbourhoodColour(7, rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 255);
    EXPECT_EQ(rgb[2], 255);
}

TEST_F(RenderModel, reloadingBarkReplacesBothNamesAndDeletesTheOldOnes)
{
    gl.makeCurrent();
    auto &settings = model->getCurrentTree()->settings();
    const GLuint oldBark = settings.barkTexture;
    const GLuint oldLeaf = settings.leafTexture;
    model->reloadCurrentTreeTextures();
    const GLuint firstBark = settings.barkTexture;
    model->reloadCurrentTreeTextures();
    EXPECT_TRUE(glIsTexture(settings.barkTexture));
    EXPECT_TRUE(glIsTexture(settings.leafTexture));
    EXPECT_FALSE(glIsTexture(oldBark) && oldBark != settings.barkTexture && oldBark != settings.leafTexture);
    EXPECT_FALSE(glIsTexture(oldLeaf) && oldLeaf != settings.barkTexture && oldLeaf != settings.leafTexture);
    EXPECT_FALSE(glIsTexture(firstBark) && firstBark != settings.barkTexture && firstBark != settings.leafTexture);
    EXPECT_TRUE(errors.empty());
}

TEST_F(RenderModel, missingBarkOrLeafImageShowsTheErrorAndKeepsTheTextures)
{
    gl.makeCurrent();
    auto &tree = *model->getCurrentTree();
    const GLuint bark = tree.settings().barkTexture;
    const GLuint leaf = tree.settings().leafTexture;
    tree.designedParameters().barkTexturePath = "no/such/bark.jpg";
    model->reloadCurrentTreeTextures();
    tree.designedParameters().barkTexturePath = ":/gui/textures/bark.jpg";
    tree.designedParameters().leafTexturePath = "no\\such\\leaf.png";
    model->reloadCurrentTreeTextures();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], QStringLiteral("Error: Could not open bark texture file."));
    EXPECT_EQ(errors[1], QStringLiteral("Error: Could not open bark texture file."));
    EXPECT_EQ(tree.settings().barkTexture, bark);
    EXPECT_EQ(tree.settings().leafTexture, leaf);
    EXPECT_TRUE(glIsTexture(bark));

    // reloadAllTreeTextures reports once per tree that names the missing image and keeps the
    // current tree.
    model->selectNextTreeSpecies();
    errors.clear();
    model->reloadAllTreeTextures();
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(model->getCurrentTreeIndex(), 0);
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
    const auto before = model->getSkyBox().textures();
    model->reloadSkyTextures(n, s, e, w, u, d);
    EXPECT_EQ(changed.count(), 1);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_TRUE(glIsTexture(model->getSkyBox().textures()[i]));
    // The north picture on the up face: the names are stored in the order given.
    model->reloadSkyTextures(u, s, e, w, u, d);
    QString first;
    model->getSkyTextureFileNames(first, s, e, w, u, d);
    EXPECT_EQ(first, u);
    (void)before;
}
