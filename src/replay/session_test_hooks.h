// What the replay tests reach inside the session besides the game's own calls.
#pragma once

#include <cstdint>
#include <vector>

#include "replay/session.h"

// This program's C library, by the first numbers rand() gives after srand(1).
void randFingerprint(uint32_t print[4]);

// The recording so far as a file (tests make their replays with it).
std::vector<uint8_t> recordedTape();

// A live session played as `build` was: its random numbers from a copy of that build's
// generator, its rule steps and quits. The benchmark records other builds' sessions with it.
void recordAsBuild(Build build);

// Back to a live session with nothing recorded, as at process start (tests start from here).
void resetSession();
