#include "game/sector.h"

#include "audio/sound.h"
#include "game/engine.h"
#include "game/frame_clock.h"
#include "game/levels.h"
#include "game/rules.h"
#include "game/state.h"

static const int STEP_X[4] = {1, 0, -1, 0};
static const int STEP_Y[4] = {0, -1, 0, 1};

static int opposite(int direction) { return (direction + 2) % 4; }

bool crossingAllowed(int direction) {
    const int x = game.sectorX;
    const int y = game.sectorY;
    switch (direction) {
        case DIR_RIGHT: return x < WORLD_SIZE - 1 && game.world[x + 1][y].wallLeft == 0;
        case DIR_DOWN: return y > 0 && game.world[x][y].wallBottom == 0;
        case DIR_LEFT: return x > 0 && game.world[x][y].wallLeft == 0;
        case DIR_UP: return y < WORLD_SIZE - 1 && game.world[x][y + 1].wallBottom == 0;
        default: return false;
    }
}

// No bonus for going back the way the last attempt went, nor for leaving on the row or
// column of the tile where the player came in.
static void paySectorBonus(int direction) {
    if (game.lastSectorDirection != opposite(direction) && game.playerX != game.respawnX &&
        game.playerY != game.respawnY)
        game.score += game.sectorScore;
}

// The coordinate along the edge stays; the other one moves to the opposite side.
static void enterAtOppositeEdge(int direction) {
    switch (direction) {
        case DIR_RIGHT: game.playerX = 0; break;
        case DIR_DOWN: game.playerY = BOARD_SIZE - 1; break;
        case DIR_LEFT: game.playerX = BOARD_SIZE - 1; break;
        case DIR_UP: game.playerY = 0; break;
    }
    game.respawnX = game.playerX;
    game.respawnY = game.playerY;
}

void moveToSector(int direction) {
    if (crossingAllowed(direction)) {
        clearItems();
        paySectorBonus(direction);
        enterAtOppositeEdge(direction);
        slideToSector(STEP_X[direction], STEP_Y[direction]);
        game.sectorX += STEP_X[direction];
        game.sectorY += STEP_Y[direction];
    }
    // Kept: a blocked attempt still counts as the last direction for the next bonus.
    game.lastSectorDirection = direction;
    setLevelValues();
}

void slideToSector(int dx, int dy) {
    game.board[game.respawnX][game.respawnY].stage = 1;
    playEffect(EFFECT_SECTOR);
    float progress = 0.0f;
    while (progress < game.fieldSize) {
        updateFrameTiming(game.frameDelta);
        // The sector coordinates still name the old sector: its level ages the Board.
        updateRules();
        progress += game.frameDelta * game.slideSpeed;
        if (progress > game.fieldSize) progress = game.fieldSize;
        drawSlideFrame(dx, dy, progress);
        swapBuffers();
    }
}
