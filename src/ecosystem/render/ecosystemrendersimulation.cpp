// The render model's simulation side: stepping, the option of environmental deaths, simulation
// files, seeds and autosave.

#include "ecosystem/render/ecosystemrender.h"

#include "ecosystem/render/backgroundstep.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/scene/ecosystemscene.h"

#include <iostream>
#include <sstream>

namespace ecosystem::render {

void EcosystemRender::simulateNextStepAndUpdateGL()
{
    if (meshes->isSimulationRunning() && backgroundSteps) {
        stepper->start();
        return;
    }
    // Stopped while a step was on the worker: that step is the one taken now.
    if (stepper->pending()) {
        stepper->finishNow();
        return;
    }
    reportStep(ecosystem->stepAndAutosave());
}

bool EcosystemRender::isStepPending() const
{
    return stepper->pending();
}

void EcosystemRender::waitForStep() const
{
    stepper->join();
}

void EcosystemRender::finishStep()
{
    stepper->finishNow();
}

void EcosystemRender::reportStep(const EcosystemScene::StepReport &report)
{
    std::cout << report.logLine << std::endl;
    std::cout << report.saved << std::flush;
    emit nrPlantsLivingChanged();
    if (++stepsSinceRepaint >= frameSkip) {
        stepsSinceRepaint = 0;
        emit modelDataChanged();
    }
    if (!report.problem.empty())
        reportAutosaveProblem(report.problem);
    emit stepReported();
}

void EcosystemRender::actionEnvironmentalDeaths()
{
    EcosystemSimulation &simulation = scene().simulation();
    simulation.setEnvironmentalDeaths(!simulation.environmentalDeaths());
    emit modelDataChanged();
}

bool EcosystemRender::environmentalDeaths() const
{
    return scene().simulation().environmentalDeaths();
}

bool EcosystemRender::loadSimulation(std::string fileName)
{
    const SimulationOutcome outcome = scene().simulation().load(fileName, std::cout, std::cerr);
    if (outcome)
        emit nrPlantsLivingChanged();
    return outcome.ok;
}

bool EcosystemRender::saveSimulation(std::string fileName)
{
    return scene().simulation().save(fileName, std::cout, std::cerr).ok;
}

std::vector<unsigned long long> EcosystemRender::getRandomGeneratorSeeds()
{
    return scene().simulation().getSeeds();
}

void EcosystemRender::setRandomGeneratorSeeds(std::vector<unsigned long long> seeds)
{
    const SimulationOutcome outcome = scene().simulation().setSeeds(seeds);
    if (!outcome)
        reportError(errorTitle(), QString::fromStdString(outcome.message));
}

void EcosystemRender::setAutosave(int nrSteps)
{
    scene().autosave().setInterval(nrSteps);
}

int EcosystemRender::getAutosaveSteps() const
{
    return scene().autosave().interval();
}

void EcosystemRender::updateAutoSave()
{
    std::ostringstream problem;
    if (!scene().autosaveIfDue(std::cout, problem))
        reportAutosaveProblem(problem.str());
}

void EcosystemRender::reportAutosaveProblem(const std::string &problem)
{
    // The reason goes to standard error as always, and to the window: a simulation left running
    // must not lose its saves unnoticed.
    std::cerr << problem;
    emit autosaveFailed(QString::fromStdString(problem).trimmed());
}

} // namespace ecosystem::render
