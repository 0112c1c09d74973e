#include "ecosystem/scene/ecosystemscene.h"

#include <sstream>

namespace ecosystem {

EcosystemScene::EcosystemScene()
{
    simulation_.attachTerrain(terrain_);
    for (auto &tree : trees_)
        tree = std::make_unique<lignet::TreeRenderer>();
}

std::size_t EcosystemScene::treeIndexForSpecies(int speciesIndex)
{
    if (speciesIndex < 0 || speciesIndex >= static_cast<int>(TreeCount))
        return EditableTree;
    return static_cast<std::size_t>(speciesIndex);
}

void EcosystemScene::selectNextTree()
{
    lignet::TreeDrawSettings &old = currentTree().settings();
    const bool spinning = old.spinning;
    const bool windOn = old.windOn;
    old.spinning = false;
    old.windOn = false;
    currentIndex_ = (currentIndex_ + 1) % TreeCount;
    currentTree().settings().spinning = spinning;
    currentTree().settings().windOn = windOn;
}

void EcosystemScene::analyseTerrainIfNeeded()
{
    if (!terrain_.isAnalysed())
        computeTerrainMaps(terrain_);
}

std::string EcosystemScene::step()
{
    simulation_.simulateStep();
    return simulation_.statistics().logLine();
}

EcosystemScene::StepReport EcosystemScene::stepAndAutosave()
{
    StepReport report;
    report.logLine = step();
    std::ostringstream saved;
    std::ostringstream problem;
    if (!autosaveIfDue(saved, problem))
        report.problem = problem.str();
    report.saved = saved.str();
    return report;
}

bool EcosystemScene::autosaveIfDue(std::ostream &out, std::ostream &err)
{
    // A simulation that has not started has nothing to save.
    if (simulation_.step() < 0)
        return true;
    return autosave_.update(simulation_, out, err).ok;
}

} // namespace ecosystem
