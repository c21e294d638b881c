// The one record of all game state, shared by every module, and its resets.
#pragma once

#include <cstdint>

#include "persist/settings.h"

// Direction codes: moves, facing and the figure's display list all use them.
enum Direction { DIR_RIGHT = 0, DIR_DOWN = 1, DIR_LEFT = 2, DIR_UP = 3, DIR_NONE = 4 };

const int BOARD_SIZE = 6;
const int WORLD_SIZE = 8;
const int LEVEL_ROWS = 11;
const int HEART_SLOTS = 2;
const int BONUS_SLOTS = 3;
const int TEXTURE_SLOTS = 20;

const int STAGE_HOLE = 0;
const int STAGE_CRUMBLING = 11;

struct Tile {
    int32_t stage;   // 0 hole, 1..10 ageing tile, 11 crumbling
    int32_t growth;  // ageing accumulator
};

struct SectorInfo {
    uint8_t wallBottom;  // no crossing to the sector below
    uint8_t wallLeft;    // no crossing to the sector on the left
    uint8_t level;       // 0..10, row of the level table
};

struct LevelParams {
    int32_t tickInterval;
    int32_t randomRange;
    int32_t growthStep;
    int32_t growthThreshold;
    int32_t reappearChance;
};

struct ItemSlot {
    int32_t x;
    int32_t y;
    int32_t active;  // 1 on the board; x and y are stale otherwise
};

// The settings, read at start-up and written back at exit, come first.
struct GameState : Settings {
    // World and board: walls and levels for the process, the board for the whole session.
    SectorInfo world[WORLD_SIZE][WORLD_SIZE];  // [sectorX][sectorY], (0, 0) bottom left
    LevelParams levelTable[LEVEL_ROWS];
    int32_t levelCount;
    Tile board[BOARD_SIZE][BOARD_SIZE];  // [x][y], (0, 0) bottom left

    // Items of the current sector visit.
    ItemSlot hearts[HEART_SLOTS];
    ItemSlot bonuses[BONUS_SLOTS];
    int32_t heartsSpawned;
    int32_t bonusesSpawned;
    int32_t heartLimit;
    int32_t bonusLimit;

    // Position and movement, per run.
    uint8_t sectorX, sectorY;
    uint8_t playerX, playerY;
    uint8_t respawnX, respawnY;
    int32_t facing;
    int32_t moveInput;
    int32_t lastDirection;        // Kept: starts as right (0), so a first step left earns nothing
    int32_t lastSectorDirection;  // survives runs and games

    // Progress and scoring, per game.
    uint32_t score;
    uint32_t bestScore;
    int32_t lives;  // spare lives; -1 marks a finished game
    int32_t deathTimer;
    uint8_t character;
    int32_t characterCompleted[3];
    int32_t stepScore;
    int32_t sectorScore;

    // Frame clock, advanced by every loop that draws.
    uint32_t nowTicks;
    uint32_t lastTicks;
    uint16_t frameDelta;
    uint16_t tickAccumulator;
    int32_t fpsFrames;
    float fpsElapsed;
    int32_t fps;
    int32_t showFps;
    uint32_t boardTicks;  // times the Board has aged since start; the benchmarks read it

    // Platform, for the process.
    int32_t refreshRateKnown;
    int32_t desktopRefreshRate;
    int32_t windowWidth, windowHeight;  // of the video mode open now
    int32_t windowFullscreen;           // 1 when that mode covers the screen

    // Render resources, remade when focus returns in full screen.
    uint32_t textures[TEXTURE_SLOTS];
    uint32_t displayListBase;

    // Layout constants, set first thing at start-up.
    float tilePitch;
    float slideSpeed;
    float mapCellGap;
    float viewWidth;
    float fieldSize;
    float frameBorder;
    float boardOrigin;
    float mapCellPitch;
};

extern GameState game;

// Every field back to its value at process start (tests start from here).
void resetGameState();

// Sizes and spacings of the view that the display lists are built from; first thing at start-up.
void setLayoutConstants();

// Frees all Heart and Bonus slots and restarts both spawn counters.
void clearItems();

// Gives every tile a random stage 0..10; called once before the first menu.
void fillBoard();
