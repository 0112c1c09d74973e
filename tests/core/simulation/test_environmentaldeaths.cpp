#include "simulationtestsupport.h"

#include "core/terrain/demtext.h"
#include "ecosystem/simulation/speciestable.h"

#include <gtest/gtest.h>

using ecosystem::Plant;
using ecosystem::SeedVector;

namespace {

// Maple samples inside every band, or beyond the tolerance of one band. The maple's bands:
// relative height 0.2 ± 0.3, moisture 0.6 ± 0.3, sunniness 0.65 ± 0.15, windiness 0 ± 0.4; its
// slope sensitivity is 0.05.
struct Case {
    const char *name;
    float relativeHeight, moisture, sunniness, windiness, slope;
    bool oldAge;
    bool diesOfEnvironment; // with the option on
};

// Generator states: height and sunniness at 0, whose draws are 0 and fire whenever the band's
// death probability is above 0; moisture and windiness at 1, whose first draw 69069 gives 0.69069,
// above every default probability; slope at 0, so the slope test fires for any slope above 0.
// Each of moisture and windiness draws once below, so only those first draws matter.
const Case cases[] = {
    {"inside every band", 0.2f, 0.6f, 0.65f, 0.0f, 0.0f, false, false},
    {"height outside: its draw fires", 0.9f, 0.6f, 0.65f, 0.0f, 0.0f, false, true},
    {"moisture outside: its draw does not fire, flat ground", 0.2f, 0.0f, 0.65f, 0.0f, 0.0f, false, false},
    {"sunniness outside: its draw fires", 0.2f, 0.6f, 0.0f, 0.0f, 0.0f, false, true},
    {"windiness outside: no fire, then the slope fires", 0.2f, 0.6f, 0.65f, 1.0f, 10.0f, false, true},
    {"inside every band on a slope", 0.2f, 0.6f, 0.65f, 0.0f, 10.0f, false, true},
    {"old age comes first", 0.9f, 0.6f, 0.65f, 0.0f, 0.0f, true, false},
};

// The cases as maples on the ramp, far enough apart that none dominates another.
struct Scene {
    // A plane rising gently to the east and south, analysed by the program.
    ecosystem::TerrainModel terrain =
        terraintest::terrainOf(terraintest::demText([](int c, int r) { return 300.0 + c + r; }));
    ecosystem::EcosystemSimulation simulation;

    explicit Scene(bool environmentalDeaths)
    {
        simulation.attachTerrain(terrain);
        simulation.initialise();
        simulation.setEnvironmentalDeaths(environmentalDeaths);
        auto &maples = simulation.species()[2];
        int column = 30;
        for (const Case &c : cases) {
            Plant p = simulation.constructPlant(maples, column, 40, terrain.vertex(column, 40));
            column += 3;
            p.relativeHeight = c.relativeHeight;
            p.moisture = c.moisture;
            p.sunniness = c.sunniness;
            p.windiness = c.windiness;
            p.slope = c.slope;
            p.prodornost = 1.0f;
            p.age = c.oldAge ? 150 : 50;
            p.timeOfDeath = 150.0f;
            maples.plants.push_back(p);
        }
        SeedVector seeds = simulation.getSeeds();
        seeds[ecosystem::DeathBecauseOfBadHeight] = 0;
        seeds[ecosystem::DeathBecauseOfBadMoisture] = 1;
        seeds[ecosystem::DeathBecauseOfBadSunniness] = 0;
        seeds[ecosystem::DeathBecauseOfBadWindiness] = 1;
        seeds[ecosystem::DeathBecauseOfBadSlope] = 0;
        EXPECT_TRUE(simulation.setSeeds(seeds).ok);
        simulation.killPhase();
    }

    bool survived(std::size_t caseIndex) const
    {
        const auto &plants = simulation.species()[2].plants;
        const std::uint32_t id = static_cast<std::uint32_t>(caseIndex) + 1;
        return std::any_of(plants.begin(), plants.end(), [&](const Plant &p) { return p.id == id; });
    }
};

} // namespace

TEST(EnvironmentalDeaths, killExactlyThePlantsWhoseTestFiredAndOnlyWhenTurnedOn)
{
    Scene on(true);
    Scene off(false);
    int fired = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(on.survived(i), !cases[i].diesOfEnvironment && !cases[i].oldAge);
        EXPECT_EQ(off.survived(i), !cases[i].oldAge);
        fired += cases[i].diesOfEnvironment ? 1 : 0;
    }
    EXPECT_EQ(on.simulation.statistics().environmentDeaths(), fired);
    EXPECT_EQ(on.simulation.statistics().weaknessDeaths(), 1);
    EXPECT_EQ(on.simulation.statistics().dominationDeaths(), 0);
    EXPECT_EQ(on.simulation.statistics().allDeaths(), fired + 1);
    EXPECT_EQ(off.simulation.statistics().environmentDeaths(), 0);
    EXPECT_EQ(off.simulation.statistics().allDeaths(), 1);
    // The option decides what a fired test does, not what is drawn.
    EXPECT_EQ(on.simulation.getSeeds(), off.simulation.getSeeds());
}
