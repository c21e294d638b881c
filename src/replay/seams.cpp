// The engine's clock, events and swaps for the game: live from SDL and recorded, or from the
// replay's tape. A watched replay keeps the recorded pace and stops on Escape or Alt+F4.
#include <cstdlib>

#include "audio/sound.h"
#include "game/engine.h"
#include "game/state.h"
#include "platform/sdl_io.h"
#include "replay/session.h"

static bool playing() { return sessionMode() != SESSION_LIVE; }

static void stopWatching() {
    replayStopped();
    exit(0);
}

// The viewer's keys: Escape, Alt+F4 or closing the window (or SIGTERM and SIGINT, which SDL
// turns into a quit request) ends the replay; the rest is dropped.
static void readViewerKeys() {
    SDL_Event event;
    while (sdlPollEvent(&event)) {
        if (event.type == SDL_QUIT) stopWatching();
        if (event.type != SDL_KEYDOWN) continue;
        const SDLKey key = event.key.keysym.sym;
        if (key == SDLK_ESCAPE || (key == SDLK_F4 && (event.key.keysym.mod & KMOD_ALT) != 0)) stopWatching();
    }
}

// Looks at the viewer's keys at most every 20 ms, at every call the game makes, so a timedemo
// stops too, and a replay whose game spins without drawing.
static void lookAtViewerKeys() {
    uint32_t& lastLook = watchPace().lastLook;
    const uint32_t now = sdlTicks();
    if (now - lastLook < 20) return;
    lastLook = now;
    readViewerKeys();
}

// Waits until as much real time has passed since the watched part began as the tape says.
// Kept: the earlier games of a best game's session run by first, unseen and unheard.
static void keepPace(uint32_t recorded) {
    WatchPace& pace = watchPace();
    bool &anchored = pace.anchored, &muted = pace.muted;
    uint32_t &recordedStart = pace.recordedStart, &realStart = pace.realStart;
    const bool running = fastForwarding();
    if (running != muted) muteAudio(muted = running);
    const uint32_t now = sdlTicks();
    if (running || !anchored) {
        anchored = !running;
        recordedStart = recorded;
        realStart = now;
    }
    lookAtViewerKeys();
    for (;;) {
        const int32_t ahead = static_cast<int32_t>((recorded - recordedStart) - (sdlTicks() - realStart));
        if (ahead <= 0) return;
        sdlDelay(ahead < 10 ? static_cast<uint32_t>(ahead) : 10);
        readViewerKeys();
    }
}

uint32_t currentTicks() {
    if (!playing()) {
        const uint32_t now = sdlTicks();
        recordTicks(now);
        return now;
    }
    const uint32_t recorded = playTicks();
    if (sessionMode() == SESSION_WATCH)
        keepPace(recorded);
    else
        lookAtViewerKeys();
    return recorded;
}

int pollEvent() {
    if (playing()) {
        lookAtViewerKeys();
        return playEvent(CALL_POLL);
    }
    const int taken = sdlPollEvent(&game.event);
    recordEvent(CALL_POLL, taken);
    return taken;
}

int waitEvent() {
    if (playing()) {
        lookAtViewerKeys();
        return playEvent(CALL_WAIT);
    }
    const int taken = sdlWaitEvent(&game.event);
    recordEvent(CALL_WAIT, taken);
    return taken;
}

// A replay never sleeps here: its clock readings carry the pauses.
void waitForEventUntil(uint32_t deadline) {
    if (!playing()) sdlWaitForEventUntil(deadline);
}

void swapBuffers() {
    countSwap();
    if (!fastForwarding()) sdlSwapBuffers();
    if (playing()) lookAtViewerKeys();
}
