#include "game/death.h"

#include "game/engine.h"
#include "game/state.h"

void checkGoal() {
    // Tested before the rule step, so the goal counts even on a hole.
    if (game.sectorX != 0 || game.sectorY != 0 || game.playerX != 0 || game.playerY != 0) return;
    game.characterCompleted[game.character] = 1;
    runEndScreen();
}

static void respawn() {
    game.lives -= 1;
    game.deathTimer = 0;
    game.playerX = game.respawnX;
    game.playerY = game.respawnY;
}

void drawPlayerOrRespawn() {
    if (game.deathTimer < DEATH_DYING_FROM) {
        drawPlayer();
    } else if (game.deathTimer < DEATH_HIDDEN_FROM) {
        drawDyingPlayer();
    } else if (game.deathTimer <= DEATH_RESPAWN_AFTER) {
        // the figure has fallen: nothing to draw
    } else if (game.lives <= 0) {
        runEndScreen();
    } else {
        respawn();
    }
}
