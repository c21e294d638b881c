#include "app/shutdown.h"

#include "audio/sound.h"
#include "game/state.h"
#include "game/rules.h"
#include "persist/settings.h"
#include "render/lists.h"

#include "platform/fatal.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

static bool displayLost = false;
static bool savesHeld = false;

void holdSaves(bool held) { savesHeld = held; }

void endWithoutDisplay() {
    displayLost = true;
    fatal("Lost the connection to the display.");
}

void saveProgress() {
    raiseBestScore();
    if (!savesHeld) saveSettings("config.txt");
}

void shutdownHandler() {
    if (!displayLost) releaseGraphics();
    closeAudio();
    // The score of a game still in progress counts.
    raiseBestScore();
    if (!savesHeld) saveSettings("config.txt");
    if (displayLost) {
        // SDL's clean-up, and every exit handler after this one, would talk to the display.
        fflush(stdout);
        fflush(stderr);
        _Exit(1);
    }
    SDL_Quit();
}
