#pragma once

#include <string>

namespace ecosystem {

class SimulationStatistics;

// The statistics as comma-separated text (UTF-8, '.' decimals, '\n' line ends): a header line
// "step,<species> living,<species> rendered,..." and one line per living record (the step as the
// statistics count it, the x of the plot). A rendered cell holds the plants of the last frame drawn
// after that record and before the next one; it is empty when no frame was drawn in between
// (frames skipped, or the display not refreshed).
std::string statisticsCsv(const SimulationStatistics &statistics);

} // namespace ecosystem
