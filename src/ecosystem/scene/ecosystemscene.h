#pragma once

#include "ecosystem/simulation/autosave.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/terrain/terrainmodel.h"
#include "lignet/treerenderer.h"

#include <array>
#include <iosfwd>
#include <memory>
#include <string>

namespace ecosystem {

// What the ecosystem is made of, apart from how it is drawn: the terrain, the simulation that
// lives on it, the six tree models (five species and the editable tree) with the current one, and
// the autosave of the simulation. It knows nothing of Qt or OpenGL.
class EcosystemScene {
public:
    static constexpr std::size_t TreeCount = 6;
    // The editable tree, current at start; species 6 and above are drawn with it too.
    static constexpr int EditableTree = 5;

    // A flat terrain (the owner loads a DEM into it), the simulation attached to it, six trees
    // with the default parameter set, the editable tree current.
    EcosystemScene();
    EcosystemScene(const EcosystemScene &) = delete;
    EcosystemScene &operator=(const EcosystemScene &) = delete;

    TerrainModel &terrain() { return terrain_; }
    const TerrainModel &terrain() const { return terrain_; }
    EcosystemSimulation &simulation() { return simulation_; }
    const EcosystemSimulation &simulation() const { return simulation_; }
    AutoSave &autosave() { return autosave_; }
    const AutoSave &autosave() const { return autosave_; }

    lignet::TreeRenderer &tree(std::size_t index) { return *trees_.at(index); }
    const lignet::TreeRenderer &tree(std::size_t index) const { return *trees_.at(index); }
    // The tree model a species is drawn with.
    lignet::TreeRenderer &treeForSpecies(int speciesIndex)
    {
        return *trees_[treeIndexForSpecies(speciesIndex)];
    }
    static std::size_t treeIndexForSpecies(int speciesIndex);

    lignet::TreeRenderer &currentTree() { return *trees_[currentIndex_]; }
    const lignet::TreeRenderer &currentTree() const { return *trees_[currentIndex_]; }
    int currentTreeIndex() const { return static_cast<int>(currentIndex_); }
    // The next tree (after the last, the first) becomes current and takes over the old one's spin
    // and wind animations, which stop on the old tree; growth stays where it was.
    void selectNextTree();

    // Runs the terrain analysis when the terrain has not been analysed yet.
    void analyseTerrainIfNeeded();

    // One simulation step; returns the step's log line.
    std::string step();

    // What one step followed by its autosave has to say.
    struct StepReport {
        std::string logLine;
        std::string saved;   // the autosave's report, empty when none was due
        std::string problem; // why the due autosave failed, empty when it did not
    };
    // One step and the autosave if due, touching nothing but the scene: it may run on a worker
    // thread while nothing else uses the scene.
    StepReport stepAndAutosave();
    // Saves the simulation when the autosave is due, reporting the save on `out` and failures on
    // `err`; not due counts as success.
    bool autosaveIfDue(std::ostream &out, std::ostream &err);

private:
    TerrainModel terrain_;
    EcosystemSimulation simulation_;
    AutoSave autosave_;
    std::array<std::unique_ptr<lignet::TreeRenderer>, TreeCount> trees_;
    std::size_t currentIndex_ = EditableTree;
};

} // namespace ecosystem
