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
    template <typename T> void add(const T &value)
    {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (const unsigned char b : bytes) {
            hash_ ^= b;
            hash_ *= 0x100000001b3ull;
        }
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

inline std::uint64_t hashSimulation(const ecosystem::EcosystemSimulation &s)
{
    StateHash h;
    h.add(s.step());
    for (const ecosystem::Species &species : s.species()) {
        h.add(species.seedBudget);
        h.add(species.seedProduction);
        h.add(species.plants.size());
        for (const ecosystem::Plant &p : species.plants) {
            h.add(p.species);
            h.add(p.id);
            h.add(p.age);
            h.add(p.size);
            h.add(p.height);
            h.add(p.cellX);
            h.add(p.cellY);
            h.add(p.position.x);
            h.add(p.position.y);
            h.add(p.position.z);
            h.add(p.prodornost);
            h.add(p.strength);
            h.add(p.slope);
            h.add(p.moisture);
            h.add(p.sunniness);
            h.add(p.windiness);
            h.add(p.relativeHeight);
            h.add(p.timeOfDeath);
            h.add(p.dominated);
        }
    }
    for (const unsigned long long state : s.getSeeds())
        h.add(state);
    h.add(s.plantIdCounter());
    return h.value();
}

} // namespace simulationtest
