#include "game/movement.h"

#include "audio/sound.h"
#include "game/sector.h"
#include "game/state.h"

static bool leavesBoard(int direction) {
    switch (direction) {
        case DIR_RIGHT: return game.playerX + 1 > BOARD_SIZE - 1;
        case DIR_DOWN: return game.playerY == 0;
        case DIR_LEFT: return game.playerX == 0;
        case DIR_UP: return game.playerY + 1 > BOARD_SIZE - 1;
        default: return false;
    }
}

static void stepOnBoard(int direction) {
    // Kept: stepping straight back earns nothing, and an unscored step still counts as the last one.
    if (game.lastDirection != (direction + 2) % 4) game.score += game.stepScore;
    switch (direction) {
        case DIR_RIGHT: game.playerX += 1; break;
        case DIR_DOWN: game.playerY -= 1; break;
        case DIR_LEFT: game.playerX -= 1; break;
        case DIR_UP: game.playerY += 1; break;
    }
    playEffect(EFFECT_STEP);
}

void stepPlayer() {
    const int direction = game.moveInput;
    if (game.deathTimer == 0 && direction != DIR_NONE) {
        if (leavesBoard(direction))
            moveToSector(direction);
        else
            stepOnBoard(direction);
    }
    if (direction != DIR_NONE) game.lastDirection = direction;
}
