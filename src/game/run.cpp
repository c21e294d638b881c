// The start of a run (one character from its corner) and of a game (the first character, no
// score): the rules' record set as the level table says.
#include "game/run.h"

#include "audio/sound.h"
#include "game/levels.h"
#include "game/state.h"

struct StartCorner {
    uint8_t sectorX, sectorY, tileX, tileY;
};

static const StartCorner START_CORNERS[3] = {
    {0, 7, 0, 5},  // character 0: top left
    {7, 7, 5, 5},  // character 1: top right
    {7, 0, 5, 0},  // character 2: bottom right
};

static void placeAtStartCorner() {
    if (game.character > 2) return;
    const StartCorner& c = START_CORNERS[game.character];
    game.sectorX = c.sectorX;
    game.sectorY = c.sectorY;
    game.playerX = game.respawnX = c.tileX;
    game.playerY = game.respawnY = c.tileY;
}

void startRun() {
    placeAtStartCorner();
    // A new game chosen during a run keeps the game music that already plays.
    if (!(game.character == 0 && game.lives != 0)) startMusic(MUSIC_GAME);
    game.lives = 4;
    // Level-1 values until the first edge-crossing attempt, whatever the start sector.
    setValuesOfLevel(1);
    game.deathTimer = 0;
    clearItems();
    game.board[game.respawnX][game.respawnY].stage = 1;
}

void newGame() {
    game.character = 0;
    game.score = 0;
    for (int32_t& done : game.characterCompleted) done = 0;
    startRun();
}
