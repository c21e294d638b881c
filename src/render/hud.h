// The side panel: minimap, spare lives, score, best score and frame rate.
#pragma once

#include <cstdint>

// The whole panel; the shift moves only the current-sector mark (the sector slide uses it).
void drawHud(float markShiftX, float markShiftY);

// While a replay is watched, the foot of the panel says "REPLAY" in place of the game's name.
void showReplayMark(bool shown);

// Wall strips of one minimap cell at the current matrix.
void drawMapWalls(uint8_t x, uint8_t y);

// A decimal number in 16-unit digits; align 0 ends at x, 2 centres on x, anything else
// starts at x.
void drawNumber(int32_t value, float x, float y, unsigned align);
