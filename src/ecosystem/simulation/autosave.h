#pragma once

#include "ecosystem/simulation/simulationoutcome.h"

#include <iosfwd>
#include <string>

namespace ecosystem {

class EcosystemSimulation;

// Saving every N steps to "<step>.sim" in a folder (the working directory by default). An interval
// below 1 means off, which is how a program starts.
class AutoSave {
public:
    void setInterval(int nrSteps) { interval_ = nrSteps; }
    int interval() const { return interval_; }
    void setFolder(std::string folder) { folder_ = std::move(folder); }

    bool isDue(int step) const { return interval_ >= 1 && step % interval_ == 0; }
    // "120.sim" for step 120.
    static std::string fileName(int step) { return std::to_string(step) + ".sim"; }
    std::string pathFor(int step) const
    {
        return folder_.empty() ? fileName(step) : folder_ + "/" + fileName(step);
    }

    // Saves the simulation when its step is due; returns whether a save was due and succeeded
    // (not due counts as success).
    SimulationOutcome update(const EcosystemSimulation &simulation, std::ostream &out,
                             std::ostream &err) const;

private:
    int interval_ = -1;
    std::string folder_;
};

} // namespace ecosystem
