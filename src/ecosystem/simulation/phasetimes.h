#pragma once

namespace ecosystem {

// Wall-clock milliseconds of one simulation step, as the timing log line reports them.
struct PhaseTimes {
    int render = 0; // from the end of the previous step to the start of this one
    int add = 0;    // dodaj
    int grow = 0;   // zrasti
    int kill = 0;   // pobij
    int decide = 0; // death decisions inside the kill phase (pobij_dominir)
};

} // namespace ecosystem
