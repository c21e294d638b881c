#include "game/state.h"

#include <cstdlib>

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

void fillBoard() {
    for (int y = 0; y < BOARD_SIZE; ++y)
        for (int x = 0; x < BOARD_SIZE; ++x) game.board[x][y].stage = nextRandom() % 11;
}
