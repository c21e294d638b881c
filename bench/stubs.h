// What the benchmarks put in place of the engine: a clock that advances by a set frame length
// per reading, and counters for the frames the slide draws and shows.
#pragma once

#include <cstdint>

struct BenchClock {
    uint32_t ticks = 0;  // what the next currentTicks() returns, before the step is added
    uint32_t step = 0;   // added on every currentTicks() call, before returning
    long long slideFrames = 0;
    long long swaps = 0;
};

extern BenchClock benchClock;
