#include "ecosystem/simulation/autosave.h"

#include "ecosystem/simulation/ecosystemsimulation.h"

namespace ecosystem {

SimulationOutcome AutoSave::update(const EcosystemSimulation &simulation, std::ostream &out,
                                   std::ostream &err) const
{
    if (!isDue(simulation.step()))
        return SimulationOutcome::success();
    return simulation.save(pathFor(simulation.step()), out, err);
}

} // namespace ecosystem
