#pragma once

#include "ecosystem/scene/ecosystemscene.h"
#include "meshexport/exportscene.h"
#include "meshexport/treescene.h"

#include <array>
#include <optional>
#include <string>

namespace meshexport {

// Grid cells, limits included, as the plant area counts them.
struct CellArea {
    int minX = 0;
    int maxX = 0;
    int minY = 0;
    int maxY = 0;

    bool contains(int x, int y) const { return minX <= x && x <= maxX && minY <= y && y <= maxY; }
};

struct ForestPictures {
    std::array<TreePictures, ecosystem::EcosystemScene::TreeCount> trees; // per tree model
    std::string terrainPng;                                               // the terrain's colour texture
};

struct ForestExportOptions {
    std::optional<CellArea> area; // only the plants whose cell lies inside
    // Plants are drawn at the nearest of this many growth stages (progress k / stages), so a
    // forest holds at most this many meshes per species; 0 draws every size as it is.
    int growthStages = 8;
    // 0 to 5: the level of detail the frame gives plants at distance 0 to 180 units; higher
    // levels leave out the thinnest branches.
    int levelOfDetail = 0;
};

// The growth progress a plant of `size` is drawn with: min(size, 1), rounded to the nearest
// stage when there are stages.
double growthProgressFor(float size, int growthStages);

struct ForestCounts {
    std::size_t plants = 0;     // plant nodes written
    std::size_t treeMeshes = 0; // one per tree model and growth stage in use
};

// The living plants of the simulation on the terrain, as the ecosystem frame draws them up close:
// one mesh (bark and leaf primitives) per tree model and growth stage (the size is the growth
// progress of the drawing, so plants of one species and stage share it), one node per living plant
// translated to its position (without a mesh for a seedling too small to draw), under one node
// per species; and the terrain grid as a mesh with its
// colour texture. The scene's own trees are not drawn (their clocks stay as they are).
ExportScene forestScene(const ecosystem::EcosystemScene &scene, const ForestPictures &pictures,
                        const ForestExportOptions &options, ForestCounts *counts = nullptr);

// The terrain grid as triangles with the winding of its triangle strips (facing up), its unit
// normals and texture coordinates spanning the colour texture once.
ExportPrimitive terrainPrimitive(const ecosystem::TerrainModel &terrain, int material);

} // namespace meshexport
