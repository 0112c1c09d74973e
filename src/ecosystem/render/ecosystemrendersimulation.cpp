// The render model's simulation side: stepping, the option of environmental deaths, simulation
// files, seeds and autosave.

#include "ecosystem/render/ecosystemrender.h"

#include "ecosystem/scene/ecosystemscene.h"

#include <iostream>
#include <sstream>

namespace ecosystem::render {

void EcosystemRender::simulateNextStepAndUpdateGL()
{
    std::cout << ecosystem->step() << std::endl;
    emit nrPlantsLivingChanged();
    if (++stepsSinceRepaint >= frameSkip) {
        stepsSinceRepaint = 0;
        emit modelDataChanged();
    }
    updateAutoSave();
}

void EcosystemRender::actionEnvironmentalDeaths()
{
    EcosystemSimulation &simulation = ecosystem->simulation();
    simulation.setEnvironmentalDeaths(!simulation.environmentalDeaths());
    emit modelDataChanged();
}

bool EcosystemRender::environmentalDeaths() const
{
    return ecosystem->simulation().environmentalDeaths();
}

bool EcosystemRender::loadSimulation(std::string fileName)
{
    const SimulationOutcome outcome = ecosystem->simulation().load(fileName, std::cout, std::cerr);
    if (outcome)
        emit nrPlantsLivingChanged();
    return outcome.ok;
}

bool EcosystemRender::saveSimulation(std::string fileName)
{
    return ecosystem->simulation().save(fileName, std::cout, std::cerr).ok;
}

std::vector<unsigned long long> EcosystemRender::getRandomGeneratorSeeds()
{
    return ecosystem->simulation().getSeeds();
}

void EcosystemRender::setRandomGeneratorSeeds(std::vector<unsigned long long> seeds)
{
    const SimulationOutcome outcome = ecosystem->simulation().setSeeds(seeds);
    if (!outcome)
        reportError(errorTitle(), QString::fromStdString(outcome.message));
}

void EcosystemRender::setAutosave(int nrSteps)
{
    ecosystem->autosave().setInterval(nrSteps);
}

int EcosystemRender::getAutosaveSteps() const
{
    return ecosystem->autosave().interval();
}

void EcosystemRender::updateAutoSave()
{
    // The reason goes to standard error as always, and to the window: a simulation left running
    // must not lose its saves unnoticed.
    std::ostringstream problem;
    if (ecosystem->autosaveIfDue(std::cout, problem))
        return;
    std::cerr << problem.str();
    emit autosaveFailed(QString::fromStdString(problem.str()).trimmed());
}

} // namespace ecosystem::render
