#include "screens/waits.h"

#include <cstdlib>

#include "game/engine.h"
#include "game/state.h"
#include "platform/display.h"
#include "render/lists.h"

bool isAltF4(const GameEvent& event) {
    return event.type == EVENT_KEY_DOWN && event.sym == KEY_F4 && (event.mod & KEY_MOD_ALT) != 0;
}

void onFocusGained(const GameEvent& event) {
    if (event.state == FOCUS_MOUSE && game.refreshRateKnown)
        setRefreshRate(static_cast<unsigned>(game.desktopRefreshRate));
}

// Quit requests end the process; a gained focus ends the wait. Everything else is dropped.
static void handlePausedEvent(const GameEvent& event, bool& waiting) {
    if (isAltF4(event) || event.type == EVENT_QUIT) quitGame();
    if (event.type == EVENT_ACTIVE && event.gain == 1) waiting = false;
}

void waitWhileInactive(GameEvent& event) {
    bool waiting = true;
    // Blocks instead of spinning, so a paused game does not burn a core.
    while (waiting && waitEvent(event)) handlePausedEvent(event, waiting);
    // Events queued behind the activation are read and dropped before play goes on.
    while (pollEvent(event)) handlePausedEvent(event, waiting);
    if (game.fullscreen) setUpGraphics();
}

void waitForKey(uint16_t key, GameEvent& event) {
    while (waitEvent(event)) {
        if (event.type == EVENT_KEY_DOWN) {
            if (isAltF4(event)) {
                quitGame();
                continue;
            }
            if (key == 0 || event.sym == key || (key == KEY_SPACE && event.sym == KEY_PAUSE)) return;
        } else if (event.type == EVENT_ACTIVE) {
            if (event.gain != 0)
                onFocusGained(event);
            else
                waitWhileInactive(event);
        } else if (event.type == EVENT_QUIT) {
            quitGame();
        }
    }
}
