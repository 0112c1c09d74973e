#pragma once

#include "ecosystem/simulation/species.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace ecosystem {

inline constexpr int DefaultSpeciesCount = 5;

// Names of the default species by index, as the statistics show them.
inline constexpr std::array<std::string_view, DefaultSpeciesCount> DefaultSpeciesNames = {
    "Bush", "Weeping willow", "Maple", "Pine", "Beech",
};

// The five species every simulation starts with, in index order, without plants.
std::vector<Species> defaultSpeciesTable();

// The name of a species index, or "Species N" for an index outside the default table.
std::string speciesName(int index);

} // namespace ecosystem
