#pragma once

// Reading exported files with other programs' code: Assimp (the importer many engines use) and the
// Khronos glTF validator (run with node). Include only from tests that define VERDALIS_SOURCE_DIR.

#include "core/tempfolder.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/wait.h>

namespace testsupport {

struct AssimpSummary {
    unsigned meshes = 0;
    unsigned vertices = 0;
    unsigned faces = 0;
    unsigned nonTriangles = 0;
    unsigned nonUnitNormals = 0;
    aiVector3D boundsMin{1e30f, 1e30f, 1e30f};
    aiVector3D boundsMax{-1e30f, -1e30f, -1e30f};
};

// The meshes whose name contains `part` ("" for all).
inline AssimpSummary summarise(const aiScene &scene, const std::string &part = "")
{
    AssimpSummary s;
    for (const aiMesh *mesh : std::vector(scene.mMeshes, scene.mMeshes + scene.mNumMeshes)) {
        if (std::string(mesh->mName.C_Str()).find(part) == std::string::npos)
            continue;
        ++s.meshes;
        s.vertices += mesh->mNumVertices;
        s.faces += mesh->mNumFaces;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f)
            s.nonTriangles += mesh->mFaces[f].mNumIndices != 3;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            for (unsigned k = 0; k < 3; ++k) {
                s.boundsMin[k] = std::min(s.boundsMin[k], mesh->mVertices[v][k]);
                s.boundsMax[k] = std::max(s.boundsMax[k], mesh->mVertices[v][k]);
            }
            if (mesh->mNormals == nullptr || std::abs(mesh->mNormals[v].Length() - 1.0f) > 1e-4f)
                ++s.nonUnitNormals;
        }
    }
    return s;
}

// Runs the Khronos validator on the file, expecting no errors. Where node is missing outside CI
// it returns why the check is skipped; in CI (CI set), or when node is there but the validator is
// not, the test fails, so the check is never silently lost.
inline std::string validateGltf(const std::string &file)
{
    if (std::system("command -v node >/dev/null 2>&1") != 0) {
        if (std::getenv("CI") == nullptr)
            return "node is not installed here, so the glTF validator cannot run; "
                   "scripts/install-deps.sh installs it";
        ADD_FAILURE() << "node is missing: run scripts/install-deps.sh";
        return "";
    }
    const std::string tool = VERDALIS_SOURCE_DIR "/tools/gltf-validator/";
    if (std::system(("test -d '" + tool + "node_modules/gltf-validator'").c_str()) != 0) {
        ADD_FAILURE() << "the glTF validator is not installed (" << tool << "): run scripts/install-deps.sh";
        return "";
    }
    const std::string out = file + ".validation.json";
    const int raw =
        std::system(("node '" + tool + "validate.js' '" + file + "' >'" + out + "' 2>&1").c_str());
    const std::string report = readBytes(out);
    std::remove(out.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0) << report;
    EXPECT_NE(report.find("\"numErrors\": 0,"), std::string::npos) << report;
    return "";
}

// Validates the file, or skips the rest of the test where the validator cannot run (see above).
#define EXPECT_VALID_GLTF(file)                                                                              \
    do {                                                                                                     \
        if (const std::string skipReason = testsupport::validateGltf(file); !skipReason.empty())             \
            GTEST_SKIP() << skipReason;                                                                      \
    } while (false)

} // namespace testsupport
