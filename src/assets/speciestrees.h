#pragma once

#include "lignet/treeparameters.h"

#include <array>
#include <string>

namespace assets {

// The six tree models of the ecosystem: five species parameter files, named relative to the
// working directory, and an empty name for the editable tree, which keeps the default set.
const std::array<std::string, 6> &speciesTreeFiles();

// Loads species tree `index` into `parameters`: from the working directory's file when there is
// one, else from the copy compiled into the program, so the species look the same wherever the
// program is started. A file that is present but damaged is reported in `warning` (the compiled-in
// copy is used instead). Returns false, leaving the set unchanged, only when neither could be read.
bool loadSpeciesTree(std::size_t index, lignet::TreeParameters &parameters, std::string *warning = nullptr);

} // namespace assets
