#include "screens/waits.h"

#include <SDL.h>

#include <cstdlib>

#include "game/engine.h"
#include "game/state.h"
#include "platform/display.h"
#include "platform/program.h"
#include "render/lists.h"

bool isAltF4() {
    return game.event.type == SDL_KEYDOWN && game.event.key.keysym.sym == SDLK_F4 &&
           (game.event.key.keysym.mod & KMOD_ALT) != 0;
}

void onFocusGained() {
    if (game.event.active.state == SDL_APPMOUSEFOCUS && game.refreshRateKnown)
        setRefreshRate(static_cast<unsigned>(game.desktopRefreshRate));
}

// Quit requests end the process; a gained focus ends the wait. Everything else is dropped.
static void handlePausedEvent(bool& waiting) {
    if (isAltF4() || game.event.type == SDL_QUIT) endProgram();
    if (game.event.type == SDL_ACTIVEEVENT && game.event.active.gain == 1) waiting = false;
}

void waitWhileInactive() {
    bool waiting = true;
    // Blocks instead of spinning, so a paused game does not burn a core.
    while (waiting && waitEvent()) handlePausedEvent(waiting);
    // Events queued behind the activation are read and dropped before play goes on.
    while (pollEvent()) handlePausedEvent(waiting);
    if (game.fullscreen) setUpGraphics();
}

void waitForKey(uint16_t key) {
    while (waitEvent()) {
        if (game.event.type == SDL_KEYDOWN) {
            if (isAltF4()) {
                endProgram();
                continue;
            }
            if (key == 0 || game.event.key.keysym.sym == key) return;
        } else if (game.event.type == SDL_ACTIVEEVENT) {
            if (game.event.active.gain != 0)
                onFocusGained();
            else
                waitWhileInactive();
        } else if (game.event.type == SDL_QUIT) {
            endProgram();
        }
    }
}
