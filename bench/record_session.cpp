// Records a long session of play headless, for the verifier's benchmark: the game's real rules
// and loops, a player that steps onto standing tiles and across Sectors, dies, goes on after
// each end screen and starts a new game after each last one, on a clock that moves a set frame
// length at every frame shown. The same arguments make the same file.
//
// Usage: zk_record_session FILE FRAME_MS [MINUTES [BUILD]]   (ten minutes; BUILD: linux, windows
// or web, whose random numbers and rule steps it plays with)
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include "app/frame_loop.h"
#include "game/engine.h"
#include "game/sector.h"
#include "game/state.h"
#include "platform/sdl_io.h"
#include "render/lists.h"
#include "replay/seams.h"
#include "replay/session.h"
#include "replay/session_test_hooks.h"
#include "replay/start.h"
#include "screens/title_menu.h"

static uint32_t clockMs = 1000, frameMs = 16, endMs = 0;
static int readingsSinceSwap = 0;
static std::deque<SDL_Event> queue;
static uint32_t nextDecision = 0, wayUntil = 0, lcg = 12345;
static int way = DIR_RIGHT;

static SDL_Event keyDown(SDLKey key) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    return event;
}

static const int STEP_X[4] = {1, 0, -1, 0}, STEP_Y[4] = {0, -1, 0, 1};
static const SDLKey ARROW[4] = {SDLK_RIGHT, SDLK_DOWN, SDLK_LEFT, SDLK_UP};

static bool standing(int x, int y) {
    const int stage = game.board[x][y].stage;
    return stage != STAGE_HOLE && stage != STAGE_CRUMBLING && stage < 9;
}

// Towards the way it is heading, over the edge when a crossing is there, else any standing tile.
static void decide() {
    // No run in progress: the title menu, which Return answers with a new game.
    if (game.lives <= 0) {
        queue.push_back(keyDown(SDLK_RETURN));
        return;
    }
    if (game.deathTimer != 0) return;
    if (clockMs >= wayUntil) {
        lcg = lcg * 1103515245u + 12345u;
        way = static_cast<int>((lcg >> 16) % 4);
        wayUntil = clockMs + 2000 + (lcg >> 8) % 3000;
    }
    for (int turn = 0; turn < 4; ++turn) {
        const int d = (way + turn) % 4;
        const int x = game.playerX + STEP_X[d], y = game.playerY + STEP_Y[d];
        const bool onBoard = x >= 0 && x < BOARD_SIZE && y >= 0 && y < BOARD_SIZE;
        if (onBoard ? standing(x, y) : turn == 0 && crossingAllowed(d)) {
            queue.push_back(keyDown(ARROW[d]));
            return;
        }
    }
}

// At the end of the time the recording is written, as at the exit of a session recorded live.
uint32_t sdlTicks() {
    if (++readingsSinceSwap > 4) clockMs += 1;  // loops that spin without drawing still see time go
    if (clockMs >= endMs) {
        endSession();
        exit(0);
    }
    return clockMs;
}

int sdlPollEvent(SDL_Event* event) {
    if (queue.empty() && clockMs >= nextDecision) {
        nextDecision = clockMs + 150;
        decide();
    }
    if (queue.empty()) return 0;
    *event = queue.front();
    queue.pop_front();
    return 1;
}

// The end screen and the pages wait here: Space, 0.7 s later.
int sdlWaitEvent(SDL_Event* event) {
    clockMs += 700;
    *event = keyDown(SDLK_SPACE);
    return 1;
}

void sdlWaitForEventUntil(uint32_t deadline) {
    if (queue.empty() && static_cast<int32_t>(deadline - clockMs) > 0) clockMs = deadline;
}

void sdlSwapBuffers() {
    clockMs += frameMs;
    readingsSinceSwap = 0;
}

void sdlDelay(uint32_t) {}

int main(int argc, char* argv[]) {
    if (argc < 3) {
        fputs("usage: zk_record_session FILE FRAME_MS [MINUTES [linux|windows|web]]\n", stderr);
        return 2;
    }
    frameMs = static_cast<uint32_t>(atoi(argv[2]));
    endMs = clockMs + static_cast<uint32_t>(60000 * (argc > 3 ? atof(argv[3]) : 10));
    const std::string build = argc > 4 ? argv[4] : "linux";
    recordAsBuild(build == "web" ? BUILD_WEB : build == "windows" ? BUILD_WINDOWS : BUILD_LINUX);
    recordTo(argv[1]);
    useEngineIo({sdlTicks, sdlPollEvent, sdlWaitEvent, sdlWaitForEventUntil, sdlSwapBuffers, sdlDelay});
    startRecordableSession({nullptr, ZK_DATA_DIR "/world.txt", setUpGraphics, [] { return 4321u; }});
    fillBoard();
    GameEvent event = {};
    runTitleMenu(event);
    for (;;) runFrame();
}
