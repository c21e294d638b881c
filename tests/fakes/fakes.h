// Test doubles for the calls the rules make into SDL, sound, drawing and the screens.
#pragma once

#include <cstdint>
#include <vector>

struct FakeWorld {
    uint32_t ticks = 0;      // what the next currentTicks() returns
    uint32_t tickStep = 0;   // added after every currentTicks() call
    std::vector<void*> effects;  // chunks passed to playEffect, in order
    std::vector<void*> music;    // tracks passed to startMusic
    int slideFrames = 0;
    float lastSlideProgress = 0;
    int swaps = 0;
    int endScreens = 0;
    int playerDrawn = 0;
    int dyingPlayerDrawn = 0;
};

extern FakeWorld fake;

// Fresh game state (level table and layout constants filled) and fresh fakes.
void resetForTest();
