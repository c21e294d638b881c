#include "app/frame_loop.h"

#include <SDL.h>

#include <cstdlib>

#include "game/death.h"
#include "game/engine.h"
#include "game/frame_clock.h"
#include "game/movement.h"
#include "game/rules.h"
#include "game/state.h"
#include "platform/program.h"
#include "platform/sdl_io.h"
#include "render/scene.h"
#include "screens/title_menu.h"
#include "screens/waits.h"

// Ends the program; where it cannot end (a page), the menu comes instead.
static void quitToMenu() {
    endProgram();
    runTitleMenu();
}

static void turnAndMove(int direction) {
    game.facing = direction;
    game.moveInput = direction;
}

// Rows of the key table are tested one after another; a match does not stop later rows.
static void handleKey() {
    if (isAltF4()) {
        quitToMenu();
        return;
    }
    if (game.event.key.keysym.sym == SDLK_ESCAPE) {
        runTitleMenu();
        // The menu polled into the same record: only a key press still held there may act.
        if (game.event.type != SDL_KEYDOWN) return;
    }
    switch (game.event.key.keysym.sym) {
        case SDLK_UP: turnAndMove(DIR_UP); break;
        case SDLK_DOWN: turnAndMove(DIR_DOWN); break;
        case SDLK_RIGHT: turnAndMove(DIR_RIGHT); break;
        case SDLK_LEFT: turnAndMove(DIR_LEFT); break;
        case SDLK_f: game.showFps = !game.showFps; break;
        default: break;
    }
}

void handleEvent() {
    switch (game.event.type) {
        case SDL_KEYDOWN: handleKey(); break;
        case SDL_ACTIVEEVENT:
            if (game.event.active.gain == 0)
                waitWhileInactive();
            else
                onFocusGained();
            break;
        case SDL_QUIT: quitToMenu(); break;
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
    if (pollEvent()) handleEvent();  // one event per frame; the rest wait for the next frames
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
