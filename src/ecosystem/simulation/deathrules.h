#pragma once

#include "ecosystem/simulation/dominationsurvey.h"
#include "ecosystem/simulation/plantgrid.h"
#include "ecosystem/simulation/randomgenerator.h"
#include "ecosystem/simulation/simulationstatistics.h"
#include "ecosystem/simulation/species.h"

#include <cstdint>
#include <vector>

namespace ecosystem {

// The kill decision for one plant: age, weakness, domination by a stronger neighbour, and the
// environmental tests. Holds the six death generators (positions 6 … 11 of the seed vector).
class DeathRules {
public:
    // Which environmental test fired in a decision; it kills only with environmental deaths on.
    enum class EnvironmentalTest { None, Height, Moisture, Sunniness, Windiness, Slope };

    RandomGenerator randomDeathBecauseOfBeingDominated{7};
    RandomGenerator randomDeathBecauseOfBadHeight{8};
    RandomGenerator randomDeathBecauseOfBadMoisture{9};
    RandomGenerator randomDeathBecauseOfBadSunniness{10};
    RandomGenerator randomDeathBecauseOfBadWindiness{11};
    RandomGenerator randomDeathBecauseOfBadSlope{12};

    // The grid searched for neighbours and the species the plants belong to; both must outlive
    // the rules' use.
    void bind(PlantGrid &grid, const std::vector<Species> &species);
    // Half-width in cells of the square window searched for dominating neighbours.
    void setNeighbourhoodRadius(int radius) { neighbourhoodRadius_ = radius; }
    int neighbourhoodRadius() const { return neighbourhoodRadius_; }

    // Off by default: the environmental tests then draw but never kill. On, a plant that survives
    // age and weakness dies when one of its environmental tests fires, before any domination test.
    void setEnvironmentalDeaths(bool on) { environmentalDeaths_ = on; }
    bool environmentalDeaths() const { return environmentalDeaths_; }

    // Scans ahead for the dominators of every plant in the grid (see DominationSurvey). Called
    // right after the grid's rebuild, while the registered plants are as they were registered; the
    // decisions that follow, in list order, use it until the next rebuild.
    void surveyDomination();

    // Decides whether plant p (registered in the grid as entry) dies in this kill phase. Dies of
    // age when age ≥ timeOfDeath, of weakness when prodornost ≤ 0.1, then, with environmental
    // deaths on, when an environmental test fires, otherwise when dominated and its death draw
    // says so. Sets p's dominated flag (other deaths leave it), counts the death and takes a dying
    // plant out of the grid. The environmental tests draw in every decision; with environmental
    // deaths off their outcome is counted nowhere: seeds and saved simulations reproduce the same
    // forest only as long as these draws and outcomes stay as they are.
    bool shouldDie(Plant &p, std::int32_t entry, SimulationStatistics &statistics);
    // A kill phase's decisions after the grid's rebuild: surveys the grid, decides every plant of
    // the lists (the species bound, in index order, each list in order) as shouldDie does, and
    // takes the dead out of the lists, which keep their order.
    void decide(std::vector<Species> &lists, SimulationStatistics &statistics);

    // The domination test with its death draw: sets p's dominated flag to whether a living plant
    // of equal or greater weighted strength overlaps its crown, and returns whether p dies of it.
    bool isDominated(Plant &p, std::int32_t entry);

    // Runs the height, moisture, sunniness and windiness tests in that order up to the first that
    // fires, and the slope test only when none of them fired. Each draws only as described for it.
    EnvironmentalTest runEnvironmentalTests(const Plant &p, const Species &s);

    // Crowns overlap when the sum of the two heights is strictly greater than the distance between
    // the positions (computed in double, compared in single precision).
    static bool crownsOverlap(const Plant &a, const Plant &b);

    // ceil(2 × largest fullHeight / cell size): the window that holds every possible overlap.
    static int computeNeighbourhoodRadius(const std::vector<Species> &species, float cellSize);

private:
    // A species' death chances as bounds on the draws that kill (drawsBelow), so that a decision
    // compares whole numbers instead of dividing each draw.
    struct DrawBounds {
        std::uint32_t height = 0;
        std::uint32_t moisture = 0;
        std::uint32_t sunniness = 0;
        std::uint32_t windiness = 0;
        std::uint32_t dominated = 0;
    };
    static DrawBounds drawBoundsOf(const Species &s);
    // Takes the bound species' chances afresh, as they are now.
    void refreshDrawBounds();

    // The plant's species, or none when the plant's index names none.
    const Species *speciesOf(const Plant &p) const;
    // Whether the survey answers for the grid as it is registered now.
    bool surveyHolds() const;
    // In line in the kill phase's loop, where the generators' states and the species stay at hand
    // from one plant to the next. The bounds are those of the plant's species; surveyed tells
    // whether the survey holds.
    [[gnu::always_inline]] inline bool isDominated(Plant &p, const Species *s, std::uint32_t dominatedBound,
                                                   std::int32_t entry, bool surveyed);
    [[gnu::always_inline]] inline bool decideOne(Plant &p, std::int32_t entry, bool surveyed,
                                                 SimulationStatistics &statistics);
    // The tests as runEnvironmentalTests runs them; unless Reported, only their generators advance
    // and None comes back.
    template <bool Reported>
    [[gnu::always_inline]] inline EnvironmentalTest environmentalTests(const Plant &p, const Species &s,
                                                                       const DrawBounds &bounds);

    PlantGrid *grid_ = nullptr;
    const std::vector<Species> *species_ = nullptr;
    int neighbourhoodRadius_ = 0;
    bool environmentalDeaths_ = false;
    DominationSurvey survey_;
    std::vector<DrawBounds> drawBounds_; // per bound species, for the decisions under way
};

} // namespace ecosystem
