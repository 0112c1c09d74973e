#include "simulationtestsupport.h"

#include <gtest/gtest.h>

using simulationtest::hashSimulation;
using simulationtest::World;

// The value below is the state after a fixed run. It changes only when the simulation's results
// change; update it deliberately, never to make the test pass.
TEST(Determinism, defaultRunOnASmallPlantAreaMatchesTheRecordedState)
{
    World w;
    // A ten by ten cell plant area keeps three hundred steps quick; terrain and seeds are the defaults.
    w.terrain.setPlantArea(45, 55, 45, 55);
    w.terrain.rebuildPlantableCells();
    w.run(300);
    EXPECT_EQ(hashSimulation(w.simulation), 0xdf599fd22816963ull)
        << std::hex << hashSimulation(w.simulation) << std::dec << " plants "
        << w.simulation.statistics().nrPlants();
}
