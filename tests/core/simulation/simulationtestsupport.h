#pragma once

#include "core/terrain/demtext.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/simulationfile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace simulationtest {

// A terrain (the built-in one, analysed) and a simulation on it, the way the program pairs them.
struct World {
    ecosystem::TerrainModel terrain = [] {
        static const ecosystem::TerrainModel builtIn = terraintest::terrainOf(terraintest::defaultDem());
        return builtIn;
    }();
    ecosystem::EcosystemSimulation simulation;

    World() { simulation.attachTerrain(terrain); }
    World(const World &) = delete;

    void run(int steps)
    {
        for (int i = 0; i < steps; ++i)
            simulation.simulateStep();
    }
    std::string fileText() const { return ecosystem::SimulationFile::compose(simulation); }
};

// 64-bit FNV-1a over the exact bits of the plants' values, generator states and counters.
inline std::uint64_t hashSimulation(const ecosystem::EcosystemSimulation &s)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    const auto add = [&hash](const auto &...values) {
        const auto one = [&hash](const auto &value) {
            const auto *bytes = reinterpret_cast<const unsigned char *>(&value);
            for (std::size_t i = 0; i < sizeof(value); ++i)
                hash = (hash ^ bytes[i]) * 0x100000001b3ull;
        };
        (one(values), ...);
    };
    add(s.step());
    for (const ecosystem::Species &species : s.species()) {
        add(species.seedBudget, species.seedProduction, species.plants.size());
        for (const ecosystem::Plant &p : species.plants)
            // The narrow fields at the width of their values, so that the hash follows the values only.
            add(std::int32_t{p.species}, p.id, std::int32_t{p.age}, p.size, p.height, std::int32_t{p.cellX},
                std::int32_t{p.cellY}, p.position.x, p.position.y, p.position.z, p.prodornost, p.strength,
                p.slope, p.moisture, p.sunniness, p.windiness, p.relativeHeight, p.timeOfDeath, p.dominated);
    }
    for (const unsigned long long state : s.getSeeds())
        add(state);
    add(s.plantIdCounter());
    return hash;
}

} // namespace simulationtest
