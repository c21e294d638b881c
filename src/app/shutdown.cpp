#include "app/shutdown.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "audio/sound.h"
#include "game/rules.h"
#include "game/state.h"
#include "persist/settings.h"
#include "platform/fatal.h"
#include "render/lists.h"
#include "replay/session.h"

static bool displayLost = false;
static bool savesHeld = false;

void holdSaves(bool held) { savesHeld = held; }

void endWithoutDisplay() {
    displayLost = true;
    fatal("Lost the connection to the display.");
}

void saveProgress() {
    // A replay leaves the player's files alone: its score is not the player's.
    if (sessionMode() != SESSION_LIVE) return;
    // The score of a game still in progress counts.
    raiseBestScore();
    if (!savesHeld) saveSettings(CONFIG_PATH, game, game.bestScore, bestGameTape(game.bestScore));
}

void shutdownHandler() {
    if (!displayLost) releaseGraphics();
    closeAudio();
    saveProgress();
    endSession();
    if (displayLost) {
        // SDL's clean-up, and every exit handler after this one, would talk to the display.
        fflush(stdout);
        fflush(stderr);
        _Exit(1);
    }
    SDL_Quit();
}
