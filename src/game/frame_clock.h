// Frame clock: 16-bit millisecond frame lengths and the frame-rate counter.
#pragma once

#include <cstdint>

// Starts timing afresh, so loading time never reaches the game as one long frame.
void resetFrameTiming();

// Measures the frame that just ended into `deltaOut` and adds it to the tick accumulator.
void updateFrameTiming(uint16_t& deltaOut);

// The same, with the frame ending at `now` instead of the current tick.
void advanceFrameTiming(uint32_t now, uint16_t& deltaOut);

// Counts the frame; about twice a second turns the count into frames per second.
void updateFps();
