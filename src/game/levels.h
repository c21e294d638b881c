// The eleven level rows that set how fast a sector's tiles age.
#pragma once

#include <cstdint>

// Appends one row to the level table; callers add at most eleven.
void addLevel(int32_t tickInterval, int32_t randomRange, int32_t growthStep, int32_t growthThreshold,
              int32_t reappearChance);

// Fills rows 0..10, level 0 first; the first act of start-up.
void initLevelTable();

// The values a sector of `level` sets: step and sector score, item limits.
void setValuesOfLevel(int level);

// The values of the level of the sector the player is in.
void setLevelValues();
