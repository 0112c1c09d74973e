#pragma once

#include "lignet/krivulja.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ecosystem {

// Per-species series of living and drawn plant counts, death counters, running time sums and the
// timing line of the last step. Points are (number of earlier points, count): x counts records,
// not steps.
class SimulationStatistics {
public:
    // Appends one point per species to the living series (adding series as species appear) and
    // sets the living total.
    void recordLiving(const std::vector<int> &counts);
    // The same for the plants drawn in one frame; the living total is left alone.
    void recordRendered(const std::vector<int> &counts);
    // Adds the times (milliseconds) to the running sums and rebuilds the log line.
    void composeLogLine(int step, int render, int add, int grow, int kill, int decide);

    void countDominationDeath()
    {
        ++dominationDeaths_;
        ++allDeaths_;
    }
    void countWeaknessDeath()
    {
        ++weaknessDeaths_;
        ++allDeaths_;
    }
    // A plant killed by a fired environmental test (only with environmental deaths on).
    void countEnvironmentDeath()
    {
        ++environmentDeaths_;
        ++allDeaths_;
    }

    int nrPlants() const { return nrPlants_; }
    int dominationDeaths() const { return dominationDeaths_; }
    int weaknessDeaths() const { return weaknessDeaths_; }
    int environmentDeaths() const { return environmentDeaths_; }
    int allDeaths() const { return allDeaths_; }
    int renderTimeSum() const { return renderTimeSum_; }
    int simulationTimeSum() const { return simulationTimeSum_; }
    const std::vector<lignet::Krivulja> &livingSeries() const { return living_; }
    const std::vector<lignet::Krivulja> &renderedSeries() const { return rendered_; }
    // For each living record, the number of frames drawn before it: the frames drawn between two
    // records show the plants of the earlier one.
    const std::vector<std::size_t> &framesBeforeLiving() const { return framesBeforeLiving_; }
    std::string logLine() const { return logLine_; }

private:
    static void append(std::vector<lignet::Krivulja> &series, const std::vector<int> &counts);

    std::int32_t nrPlants_ = 0;
    std::int32_t dominationDeaths_ = 0;
    std::int32_t weaknessDeaths_ = 0;
    std::int32_t environmentDeaths_ = 0;
    std::int32_t allDeaths_ = 0;
    std::vector<lignet::Krivulja> living_;
    std::vector<lignet::Krivulja> rendered_;
    std::vector<std::size_t> framesBeforeLiving_;
    std::int32_t renderTimeSum_ = 0;
    std::int32_t simulationTimeSum_ = 0;
    std::string logLine_;
};

} // namespace ecosystem
