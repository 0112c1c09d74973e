#include "ecosystem/simulation/simulationstatistics.h"

#include <algorithm>
#include <limits>
#include <string>

namespace ecosystem {

namespace {

// The sums only grow; a program left running for weeks stops at the largest value instead of
// wrapping into negative times.
std::int32_t saturatingAdd(std::int32_t sum, long long value)
{
    const long long total = static_cast<long long>(sum) + value;
    return static_cast<std::int32_t>(std::clamp<long long>(total, std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max()));
}

} // namespace

void SimulationStatistics::append(std::vector<lignet::Krivulja> &series, const std::vector<int> &counts)
{
    if (series.size() < counts.size())
        series.resize(counts.size());
    for (std::size_t i = 0; i < counts.size(); ++i) {
        lignet::Krivulja &s = series[i];
        s.append({static_cast<double>(s.size()), static_cast<double>(counts[i])});
    }
}

void SimulationStatistics::recordLiving(const std::vector<int> &counts)
{
    framesBeforeLiving_.push_back(rendered_.empty() ? 0 : rendered_.front().size());
    append(living_, counts);
    long long total = 0;
    for (const int c : counts)
        total += c;
    nrPlants_ = static_cast<std::int32_t>(total);
}

void SimulationStatistics::recordRendered(const std::vector<int> &counts)
{
    append(rendered_, counts);
}

void SimulationStatistics::composeLogLine(int step, int render, int add, int grow, int kill, int decide)
{
    renderTimeSum_ = saturatingAdd(renderTimeSum_, render);
    simulationTimeSum_ = saturatingAdd(simulationTimeSum_, static_cast<long long>(add) + grow + kill);
    using std::to_string;
    logLine_ = "@" + to_string(step) + ":" + " time(render_all)=" + to_string(renderTimeSum_) +
               " time(simm_all)=" + to_string(simulationTimeSum_) + " || " +
               " time(render)=" + to_string(render) + " time(dodaj)=" + to_string(add) +
               " time(zrasti)=" + to_string(grow) + " time(pobij)=" + to_string(kill) +
               " time(pobij_dominir)=" + to_string(decide) + " || " + " nrPlants=" + to_string(nrPlants_);
}

} // namespace ecosystem
