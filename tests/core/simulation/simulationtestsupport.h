#pragma once

#include "core/tempfolder.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/simulationfile.h"
#include "ecosystem/terrain/terrainmodel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace simulationtest {

// The built-in terrain, read from the source tree and analysed.
inline ecosystem::TerrainModel defaultTerrain()
{
    static const ecosystem::TerrainModel terrain = [] {
        ecosystem::TerrainModel t;
        const auto result =
            t.loadDemFile(VERDALIS_SOURCE_DIR "/gui/textures/100x100.dmr", ecosystem::HeightImages{},
                          ecosystem::TerrainModel::MapUpdate::Compute);
        EXPECT_TRUE(result.ok()) << result.detail;
        return t;
    }();
    return terrain;
}

// A terrain and a simulation on it, the way the program pairs them.
struct World {
    ecosystem::TerrainModel terrain = defaultTerrain();
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

// 64-bit FNV-1a over the exact bits of the values fed to it.
class StateHash {
public:
    // Adds the values in the order given.
    template <typename... T> void add(const T &...values) { (addOne(values), ...); }
    std::uint64_t value() const { return hash_; }

private:
    template <typename T> void addOne(const T &value)
    {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (const unsigned char b : bytes) {
            hash_ ^= b;
            hash_ *= 0x100000001b3ull;
        }
    }
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

inline std::uint64_t hashSimulation(const ecosystem::EcosystemSimulation &s)
{
    StateHash h;
    h.add(s.step());
    for (const ecosystem::Species &species : s.species()) {
        h.add(species.seedBudget, species.seedProduction, species.plants.size());
        for (const ecosystem::Plant &p : species.plants)
            h.add(p.species, p.id, p.age, p.size, p.height, p.cellX, p.cellY, p.position.x, p.position.y,
                  p.position.z, p.prodornost, p.strength, p.slope, p.moisture, p.sunniness, p.windiness,
                  p.relativeHeight, p.timeOfDeath, p.dominated);
    }
    for (const unsigned long long state : s.getSeeds())
        h.add(state);
    h.add(s.plantIdCounter());
    return h.value();
}

} // namespace simulationtest
