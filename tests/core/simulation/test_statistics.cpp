#include "ecosystem/simulation/simulationstatistics.h"
#include "ecosystem/simulation/statisticscsv.h"

#include <gtest/gtest.h>

using ecosystem::SimulationStatistics;

TEST(SimulationStatistics, logLineHasTheExactLabelsAndTimeSumsSaturate)
{
    SimulationStatistics s;
    s.recordLiving({10, 20, 0, 20, 7});
    s.composeLogLine(12, 5, 1, 2, 3, 4);
    EXPECT_EQ(s.logLine(), "@12: time(render_all)=5 time(simm_all)=6 ||  time(render)=5 time(dodaj)=1 "
                           "time(zrasti)=2 time(pobij)=3 time(pobij_dominir)=4 ||  nrPlants=57");
    s.composeLogLine(13, 10, 0, 0, 1, 0);
    EXPECT_EQ(s.renderTimeSum(), 15);
    EXPECT_EQ(s.simulationTimeSum(), 7);
    // Sums stop at the largest value instead of wrapping.
    s.composeLogLine(14, 2000000000, 0, 0, 0, 0);
    s.composeLogLine(15, 2000000000, 0, 0, 0, 0);
    EXPECT_EQ(s.renderTimeSum(), 2147483647);
}

TEST(SimulationStatistics, seriesGetOnePointPerRecordAndDeathCountersAddUp)
{
    SimulationStatistics s;
    s.recordLiving({3, 0});
    s.recordLiving({4, 0, 2});
    s.recordRendered({1, 2});
    s.recordRendered({2, 2});
    ASSERT_EQ(s.livingSeries().size(), 3u);
    EXPECT_EQ(s.livingSeries()[0][1].x, 1.0);
    EXPECT_EQ(s.livingSeries()[0][1].y, 4.0);
    EXPECT_EQ(s.livingSeries()[1][0].y, 0.0);
    EXPECT_EQ(s.livingSeries()[2].size(), 1u);
    EXPECT_EQ(s.livingSeries()[2][0].x, 0.0);
    EXPECT_EQ(s.nrPlants(), 6); // the rendered counts leave the living total alone
    EXPECT_EQ(s.renderedSeries()[1][1].x, 1.0);
    EXPECT_EQ(s.renderedSeries()[1][1].y, 2.0);
    s.countDominationDeath();
    s.countWeaknessDeath();
    s.countWeaknessDeath();
    EXPECT_EQ(s.allDeaths(), 3);
}

TEST(SimulationStatistics, csvHasOneLinePerRecordWithTheLastFrameDrawnAfterItAndLateSpeciesAligned)
{
    SimulationStatistics s;
    s.recordRendered({9, 9}); // before the first record: belongs to no line
    s.recordLiving({3, 0});
    s.recordRendered({1, 0});
    s.recordRendered({2, 0}); // the picture the first record ended with
    s.recordLiving({4, 1});   // no frame drawn after it
    s.recordLiving({2, 1});
    s.recordRendered({1, 1});
    EXPECT_EQ(ecosystem::statisticsCsv(s), "step,Bush living,Bush rendered,Weeping willow living,"
                                           "Weeping willow rendered\n0,3,2,0,0\n1,4,,1,\n2,2,1,1,1\n");

    SimulationStatistics late;
    EXPECT_EQ(ecosystem::statisticsCsv(late), "step\n");
    late.recordLiving({}); // an empty simulation loaded: a record without species
    late.recordLiving({1000000});
    late.recordLiving({1234567, 5, 6, 7, 8, 9});
    EXPECT_EQ(ecosystem::statisticsCsv(late), "step,Bush living,Bush rendered,Weeping willow living,"
                                              "Weeping willow rendered,Maple living,Maple rendered,"
                                              "Pine living,Pine rendered,Beech living,Beech rendered,"
                                              "Species 5 living,Species 5 rendered\n"
                                              "0,1000000,,,,,,,,,,,\n1,1234567,,5,,6,,7,,8,,9,\n");
}
