#include "app/frame_loop.h"

#include <cstdlib>

#include "game/death.h"
#include "game/engine.h"
#include "game/frame_clock.h"
#include "game/movement.h"
#include "game/rules.h"
#include "game/state.h"
#include "render/scene.h"
#include "screens/title_menu.h"
#include "screens/waits.h"

// Ends the program; where it cannot end (a page), the menu comes instead.
static void quitToMenu(GameEvent& event) {
    quitGame();
    runTitleMenu(event);
}

static void turnAndMove(int direction) {
    game.facing = direction;
    game.moveInput = direction;
}

// Rows of the key table are tested one after another; a match does not stop later rows.
static void handleKey(GameEvent& event) {
    if (isAltF4(event)) {
        quitToMenu(event);
        return;
    }
    if (event.sym == KEY_ESCAPE || event.sym == KEY_PAUSE) {
        runTitleMenu(event);
        // The menu read into the same record: only a key press still held there may act.
        if (event.type != EVENT_KEY_DOWN) return;
    }
    switch (event.sym) {
        case KEY_UP: turnAndMove(DIR_UP); break;
        case KEY_DOWN: turnAndMove(DIR_DOWN); break;
        case KEY_RIGHT: turnAndMove(DIR_RIGHT); break;
        case KEY_LEFT: turnAndMove(DIR_LEFT); break;
        case KEY_F: game.showFps = !game.showFps; break;
        default: break;
    }
}

void handleEvent(GameEvent& event) {
    switch (event.type) {
        case EVENT_KEY_DOWN: handleKey(event); break;
        case EVENT_ACTIVE:
            if (event.gain == 0)
                waitWhileInactive(event);
            else
                onFocusGained(event);
            break;
        case EVENT_QUIT: quitToMenu(event); break;
        default: break;
    }
}

void catchUpRules(uint32_t slice) {
    if (slice == 0) return;
    const uint32_t now = currentTicks();
    while (static_cast<int32_t>(now - game.lastTicks) > static_cast<int32_t>(slice)) {
        advanceFrameTiming(game.lastTicks + slice, game.frameDelta);
        game.fpsElapsed += game.frameDelta;  // the frame counts once, its time in full
        checkGoal();
        updateRules();
    }
}

void runFrame() {
    game.nowTicks = currentTicks();
    game.moveInput = DIR_NONE;
    GameEvent event = {};
    if (pollEvent(event)) handleEvent(event);  // one event per frame; the rest wait for the next frames
    stepPlayer();
    catchUpRules(ruleSliceMs());
    updateFrameTiming(game.frameDelta);
    updateFps();
    checkGoal();
    updateRules();
    drawScene();
    drawPlayerOrRespawn();
    swapBuffers();
}
