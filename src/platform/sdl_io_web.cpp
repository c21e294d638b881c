// The engine's clock, events and frame swap in a web page. The page runs on the browser's one
// thread: every loop that waits or swaps hands the browser its turn, so the page draws, plays
// sound and takes keys while the game's loops stay as they are.
#include <SDL.h>
#include <emscripten.h>

#include "platform/gamepad.h"
#include "platform/sdl_io.h"

// The browser's next frame; at most 100 ms, since a hidden tab draws no frames.
EM_ASYNC_JS(void, awaitBrowserFrame, (), {
    await new Promise(function(done) {
        var timer = setTimeout(done, 100);
        requestAnimationFrame(function() {
            clearTimeout(timer);
            done();
        });
    });
});

static uint32_t lastTurn = 0;

static void giveBrowserItsTurn() {
    awaitBrowserFrame();
    lastTurn = SDL_GetTicks();
}

// A loop that only watches the clock (the end screen's pause) must not freeze the page.
static const uint32_t LONGEST_HOLD_MS = 50;

uint32_t sdlTicks() {
    if (SDL_GetTicks() - lastTurn > LONGEST_HOLD_MS) giveBrowserItsTurn();
    return SDL_GetTicks();
}

// The browser reports focus and visibility as window events; the game knows them as
// activation events. Leaving the tab pauses like leaving the window.
static void asActivation(SDL_Event& event) {
    if (event.type != SDL_WINDOWEVENT) return;
    const Uint8 what = event.window.event;
    const bool lost = what == SDL_WINDOWEVENT_FOCUS_LOST || what == SDL_WINDOWEVENT_HIDDEN;
    const bool gained = what == SDL_WINDOWEVENT_FOCUS_GAINED || what == SDL_WINDOWEVENT_SHOWN;
    if (!lost && !gained) return;
    event = SDL_Event{};
    event.type = SDL_ACTIVEEVENT;
    event.active.gain = gained ? 1 : 0;
    event.active.state =
        what == SDL_WINDOWEVENT_HIDDEN || what == SDL_WINDOWEVENT_SHOWN ? SDL_APPACTIVE : SDL_APPINPUTFOCUS;
}

// An event taken from SDL's queue to look at it; it is handed out before any other.
static SDL_Event held;
static bool holding = false;

// Pads, their held directions and the page's touch controls speak in keys.
static bool takeEvent(SDL_Event& into) {
    watchGamepad(SDL_GetTicks());
    for (;;) {
        if (padTake(&into)) return true;
        if (!SDL_PollEvent(&into)) return padRepeat(SDL_GetTicks(), &into) != 0;
        asActivation(into);
        if (padFilter(into, SDL_GetTicks())) return true;
    }
}

int sdlPollEvent(SDL_Event* event) {
    if (holding) {
        holding = false;
        *event = held;
        return 1;
    }
    return takeEvent(*event) ? 1 : 0;
}

int sdlWaitEvent(SDL_Event* event) {
    while (!sdlPollEvent(event)) giveBrowserItsTurn();
    return 1;
}

void sdlWaitForEventUntil(uint32_t deadline) {
    while (!holding) {
        holding = takeEvent(held);
        if (holding || static_cast<int32_t>(deadline - SDL_GetTicks()) <= 0) return;
        giveBrowserItsTurn();
    }
}

// The page keeps the canvas's shape itself.
void sdlClearAfterSwaps(bool) {}

// The frame shows when the browser composes the page, after the game hands it its turn.
void sdlSwapBuffers() {
    SDL_GL_SwapBuffers();
    giveBrowserItsTurn();
}

// A sleep hands the browser its turn: the page must not freeze while a replay keeps its pace.
void sdlDelay(uint32_t milliseconds) {
    const uint32_t until = SDL_GetTicks() + milliseconds;
    while (static_cast<int32_t>(until - SDL_GetTicks()) > 0) giveBrowserItsTurn();
}
