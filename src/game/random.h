// The rules' random numbers. The game draws them from its C library's own rand(); a replay
// from another build draws them from a copy of that build's generator, so that it plays there
// as it was played.
#pragma once

#include <cstdint>

#include "builds/builds.h"

void drawAsOwnLibrary();        // the C library's own rand() and srand(); the start
void drawAsBuild(Build build);  // a copy of `build`'s generator, the same on every system

void seedRandom(unsigned seed);
int nextRandom();

// The first four numbers after seeding 1, which tell the C libraries apart; the generator is
// left seeded with 1.
void randomFingerprint(uint32_t print[4]);
