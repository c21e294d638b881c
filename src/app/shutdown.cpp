#include "app/shutdown.h"

#include "audio/sound.h"
#include "game/state.h"
#include "persist/best_score.h"
#include "persist/settings.h"
#include "render/lists.h"

#include <SDL.h>

void shutdownHandler() {
    releaseGraphics();
    closeAudio();
    // The score of a game still in progress counts.
    raiseBestScore();
    saveSettings("config.txt");
    SDL_Quit();
}
