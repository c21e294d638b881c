#include "platform/sdl_io.h"

#include <SDL_opengl.h>

#include "platform/gamepad.h"

uint32_t sdlTicks() { return SDL_GetTicks(); }

// Pads and their held directions speak in keys; their own events never reach the game.
int sdlPollEvent(SDL_Event* event) {
    watchGamepad(SDL_GetTicks());
    for (;;) {
        if (padTake(event)) return 1;
        if (!SDL_PollEvent(event)) return padRepeat(SDL_GetTicks(), event);
        if (padFilter(*event, SDL_GetTicks())) return 1;
    }
}

// With a pad it wakes for a held direction's repeat and to look at the pad; without one it
// sleeps in SDL until an event comes, so a paused game costs nothing.
int sdlWaitEvent(SDL_Event* event) {
    if (!gamepadInUse()) {
        while (SDL_WaitEvent(event))
            if (padFilter(*event, SDL_GetTicks())) return 1;
        return 0;
    }
    while (!sdlPollEvent(event)) sdlWaitForEventUntil(SDL_GetTicks() + 500);
    return 1;
}

// SDL 1.2 has no wait with a time-out: look at the queue and sleep between looks, in steps of
// 10 ms like SDL_WaitEvent, cut short so the deadline is not overslept.
void sdlWaitForEventUntil(uint32_t deadline) {
    const int32_t longestSleep = 10;
    for (;;) {
        watchGamepad(SDL_GetTicks());  // an unplugged pad pauses a waiting menu too
        deadline = padWakeBy(SDL_GetTicks(), deadline);
        SDL_PumpEvents();
        SDL_Event queued;
        if (SDL_PeepEvents(&queued, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) != 0) return;
        const int32_t left = static_cast<int32_t>(deadline - SDL_GetTicks());
        if (left <= 0) return;
        SDL_Delay(static_cast<Uint32>(left < longestSleep ? left : longestSleep));
    }
}

// What the viewport leaves out (the bars beside a picture that keeps its shape) is never drawn
// over: it is cleared after each swap, as a buffer just swapped holds anything.
static bool clearAfterSwaps = false;

void sdlClearAfterSwaps(bool clear) { clearAfterSwaps = clear; }

void sdlSwapBuffers() {
    SDL_GL_SwapBuffers();
    if (clearAfterSwaps) glClear(GL_COLOR_BUFFER_BIT);
}

void sdlDelay(uint32_t milliseconds) { SDL_Delay(milliseconds); }
