// The rule that picks the refresh rate to bring the display back to.
#pragma once

#include <cstddef>

// A mode the rule chooses among: only modes of the current size and depth count.
struct DisplayMode {
    unsigned width, height, depth, rate;
};

// The highest rate of a mode with the current size and depth that does not exceed `wanted`;
// 0 when none does.
unsigned chooseRefreshRate(const DisplayMode& current, const DisplayMode* modes, size_t count, unsigned wanted);
