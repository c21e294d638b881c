// The builds of the game a replay can come from, and what sets them apart: the C library that
// draws their random numbers, the platform a board names, how long one pass of their rules may
// see, and whether a quit ends them. Includes nothing of the game or of the server: both read it.
#pragma once

#include <cstdint>

enum Build { BUILD_LINUX, BUILD_WINDOWS, BUILD_WEB, BUILD_COUNT };

struct BuildFacts {
    const char* library;   // as the verifier's line names it
    const char* platform;  // as the board names it
    uint32_t ruleSliceMs;  // the longest time one pass of the rules may see; 0: a whole frame
    bool endsOnQuit;       // a web page cannot end itself: its menu stays
};

// The web build runs the rules in 2 ms steps within its long frames, as on a desktop drawing
// some 500 frames a second: the Board then ages at an uncapped desktop's pace, whatever the
// browser's frame rate.
inline constexpr BuildFacts BUILDS[BUILD_COUNT] = {
    {"glibc", "Linux", 0, true},
    {"msvcrt", "Windows", 0, true},
    {"emscripten", "web", 2, false},
};
