#pragma once

#include "ecosystem/simulation/simulationoutcome.h"

#include <string>

namespace ecosystem {

// Writes content to path through a temporary file next to it that replaces the file only once it
// is complete, so a failed write (full disk, missing folder, no permission) never destroys what
// was there before. The failure message names the path and the reason.
SimulationOutcome writeFileAtomically(const std::string &path, const std::string &content);

} // namespace ecosystem
