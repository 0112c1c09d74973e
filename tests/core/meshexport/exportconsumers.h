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

inline void addMeshTo(AssimpSummary &s, const aiMesh &mesh)
{
    ++s.meshes;
    s.vertices += mesh.mNumVertices;
    s.faces += mesh.mNumFaces;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f)
        s.nonTriangles += mesh.mFaces[f].mNumIndices != 3;
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
        const aiVector3D &p = mesh.mVertices[v];
        s.boundsMin = {std::min(s.boundsMin.x, p.x), std::min(s.boundsMin.y, p.y),
                       std::min(s.boundsMin.z, p.z)};
        s.boundsMax = {std::max(s.boundsMax.x, p.x), std::max(s.boundsMax.y, p.y),
                       std::max(s.boundsMax.z, p.z)};
        if (mesh.mNormals == nullptr || std::abs(mesh.mNormals[v].Length() - 1.0f) > 1e-4f)
            ++s.nonUnitNormals;
    }
}

// The meshes whose name contains `part` ("" for all).
inline AssimpSummary summarise(const aiScene &scene, const std::string &part = "")
{
    AssimpSummary s;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m)
        if (std::string(scene.mMeshes[m]->mName.C_Str()).find(part) != std::string::npos)
            addMeshTo(s, *scene.mMeshes[m]);
    return s;
}

// Whether the Khronos validator can run here. Where node is missing outside CI the check is
// skipped with `skipReason`; in CI (CI set), or when node is there but the validator is not, the
// test fails, so the check is never silently lost.
inline bool validatorReady(std::string &skipReason)
{
    const bool ci = std::getenv("CI") != nullptr;
    if (std::system("command -v node >/dev/null 2>&1") != 0) {
        if (ci)
            ADD_FAILURE() << "node is missing: run scripts/install-deps.sh";
        else
            skipReason = "node is not installed here, so the glTF validator cannot run; "
                         "scripts/install-deps.sh installs it";
        return false;
    }
    const std::string module = VERDALIS_SOURCE_DIR "/tools/gltf-validator/node_modules/gltf-validator";
    if (std::system(("test -d '" + module + "'").c_str()) != 0) {
        ADD_FAILURE() << "the glTF validator is not installed (" << module
                      << "): run scripts/install-deps.sh";
        return false;
    }
    return true;
}

// Runs the validator on the file: its exit status (0: no errors) and its report.
inline int runValidator(const std::string &file, std::string &report)
{
    const std::string out = file + ".validation.json";
    const std::string script = VERDALIS_SOURCE_DIR "/tools/gltf-validator/validate.js";
    const int raw = std::system(("node '" + script + "' '" + file + "' >'" + out + "' 2>&1").c_str());
    report = readBytes(out);
    std::remove(out.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Validates the file, or skips the rest of the test where the validator cannot run (see above).
#define EXPECT_VALID_GLTF(file)                                                                              \
    do {                                                                                                     \
        std::string skipReason;                                                                              \
        if (!testsupport::validatorReady(skipReason)) {                                                      \
            if (!skipReason.empty())                                                                         \
                GTEST_SKIP() << skipReason;                                                                  \
            break;                                                                                           \
        }                                                                                                    \
        std::string report;                                                                                  \
        EXPECT_EQ(testsupport::runValidator(file, report), 0) << report;                                     \
        EXPECT_NE(report.find("\"numErrors\": 0,"), std::string::npos) << report;                            \
    } while (false)

} // namespace testsupport
