// The play field: background, tiles, items, frame of walls and the figure.
#pragma once

#include <cstdint>

// The 36 tiles; with `showGoal` the goal tile of sector (0, 0) shows its marker.
void drawBoard(int showGoal);

// Active Hearts and Bonuses.
void drawItems();

// Walls, corners and inner corners of sector (x, y).
void drawBoardFrame(uint8_t x, uint8_t y);

// A figure picture (texture slot) drawn with a figure list at a translation.
void drawFigureAt(float x, float y, int textureSlot, int list);
