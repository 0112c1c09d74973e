// The render model's textures: the species trees' bark and leaf pictures, the sky box and the
// terrain, uploaded into the scene textures of the shared context.

#include "ecosystem/render/ecosystemrender.h"

#include "ecosystem/render/ecosystemframe.h"
#include "ecosystem/render/scenetextures.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "lignet/treerenderer.h"

namespace ecosystem::render {

void EcosystemRender::reloadCurrentTreeTextures()
{
    std::string error;
    const auto index = static_cast<std::size_t>(ecosystem->currentTreeIndex());
    if (!sceneTextures->uploadTree(index, ecosystem->currentTree().designedParameters(), &error))
        reportError(errorTitle(), QString::fromStdString(error));
    // Pictures drawn with the old textures (the far-field impostors) are made again.
    ecosystem->currentTree().bumpRevision();
}

void EcosystemRender::reloadAllTreeTextures()
{
    for (std::size_t i = 0; i < EcosystemScene::TreeCount; ++i) {
        std::string error;
        if (!sceneTextures->uploadTree(i, ecosystem->tree(i).designedParameters(), &error))
            reportError(errorTitle(), QString::fromStdString(error));
        ecosystem->tree(i).bumpRevision();
    }
}

void EcosystemRender::initAllTextures(QOpenGLContext *)
{
    reloadAllTreeTextures();
    sendSkyTexturesToSkyRender();
    sceneTextures->uploadTerrain(ecosystem->terrain(), detailTextureFile);
    ecosystemFrame->setUpTerrain(*sceneTextures);
    terrainChanged = false;
    sceneTextures->uploadSunOnce();
}

void EcosystemRender::sendSkyTexturesToSkyRender()
{
    sceneTextures->uploadSky(skyTextureFiles);
    ecosystemFrame->setSkyTextures(*sceneTextures);
}

void EcosystemRender::reloadSkyTextures(QString filenameSky1, QString filenameSky2, QString filenameSky3,
                                        QString filenameSky4, QString filenameSky5, QString filenameSky6)
{
    skyTextureFiles = {filenameSky1, filenameSky2, filenameSky3, filenameSky4, filenameSky5, filenameSky6};
    sendSkyTexturesToSkyRender();
    emit modelDataChanged();
}

void EcosystemRender::getSkyTextureFileNames(QString &filenameSky1, QString &filenameSky2,
                                             QString &filenameSky3, QString &filenameSky4,
                                             QString &filenameSky5, QString &filenameSky6)
{
    filenameSky1 = skyTextureFiles[0];
    filenameSky2 = skyTextureFiles[1];
    filenameSky3 = skyTextureFiles[2];
    filenameSky4 = skyTextureFiles[3];
    filenameSky5 = skyTextureFiles[4];
    filenameSky6 = skyTextureFiles[5];
}

} // namespace ecosystem::render
