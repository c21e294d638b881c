// The few SDL calls the game's loops make each frame, kept in one place so tests can drive
// them with a clock and events of their own.
#pragma once

#include <cstdint>

// Milliseconds since SDL started.
uint32_t currentTicks();

// One poll into game.event; returns 1 when an event was taken.
int pollEvent();

// Blocks until an event arrives in game.event; returns 0 on error.
int waitEvent();

// Sleeps until an event is queued or the tick counter reaches `deadline`, whichever comes
// first. The event stays queued for the next poll.
void waitForEventUntil(uint32_t deadline);

// Shows the frame just drawn.
void swapBuffers();
