// The play field: background, tiles, items, frame of walls and the figure.
#pragma once

#include <cstdint>

// The whole play field and side panel of the current sector, without the figure.
void drawScene();

// The 36 tiles; with `showGoal` the goal tile of sector (0, 0) shows its marker.
void drawBoard(int showGoal);

// Active Hearts and Bonuses.
void drawItems();

// Walls, corners and inner corners of sector (x, y).
void drawBoardFrame(uint8_t x, uint8_t y);

// The current character's figure on the player's tile, facing `facing`.
void drawPlayer();

// The same with the dying picture.
void drawDyingPlayer();

// A figure picture (texture slot) drawn with a figure list at a translation.
void drawFigureAt(float x, float y, int textureSlot, int list);

// One frame of the sector slide at `progress` view units of 600.
void drawSlideFrame(int dx, int dy, float progress);

// The end screen's result picture: logo and the figures of characters who reached the goal.
void drawCompletionPicture();
