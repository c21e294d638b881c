#include "game/state.h"

#include <cstdlib>

#include "audio/sound.h"
#include "game/levels.h"
#include "game/random.h"

GameState game;

static GameState initialState() {
    GameState s = {};
    s.moveInput = DIR_NONE;
    s.screenWidth = 800;
    s.screenHeight = 600;
    s.bitsPerPixel = 32;
    s.fullscreen = 1;
    s.soundVolume = 128;
    s.musicVolume = 100;
    return s;
}

void resetGameState() { game = initialState(); }

// Static initialisation: the record holds its start values before main runs.
static const bool gameStateReady = (resetGameState(), true);

void setLayoutConstants() {
    game.tilePitch = 90.0f;
    game.slideSpeed = 1.0f;
    game.mapCellGap = 1.0f;
    game.viewWidth = 800.0f;
    game.fieldSize = 600.0f;
    game.frameBorder = 30.0f;
    game.boardOrigin = 30.0f;
    game.mapCellPitch = 21.0f;
}

void clearItems() {
    for (ItemSlot& heart : game.hearts) heart.active = 0;
    for (ItemSlot& bonus : game.bonuses) bonus.active = 0;
    game.heartsSpawned = 0;
    game.bonusesSpawned = 0;
}

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

void fillBoard() {
    for (int y = 0; y < BOARD_SIZE; ++y)
        for (int x = 0; x < BOARD_SIZE; ++x) game.board[x][y].stage = nextRandom() % 11;
}
