// The engine's clock, events and swaps for the game: live from SDL and recorded, or from the
// replay's tape. A watched replay keeps the recorded pace and stops on Escape or Alt+F4.
#include "replay/seams.h"

#include <cstdlib>

#include "audio/sound.h"
#include "game/engine.h"
#include "platform/event_codes.h"
#include "platform/program.h"
#include "replay/session.h"

static EngineIo io;

void useEngineIo(const EngineIo& chosen) { io = chosen; }

static bool playing() { return sessionMode() != SESSION_LIVE; }

static void stopWatching() {
    replayStopped();
    exit(0);
}

// The viewer's keys: Escape, Alt+F4 or closing the window (or SIGTERM and SIGINT, which SDL
// turns into a quit request) ends the replay; the rest is dropped.
static void readViewerKeys() {
    SDL_Event event;
    while (io.pollEvent(&event)) {
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
    const uint32_t now = io.ticks();
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
    const uint32_t now = io.ticks();
    if (running || !anchored) {
        anchored = !running;
        recordedStart = recorded;
        realStart = now;
    }
    lookAtViewerKeys();
    for (;;) {
        const int32_t ahead = static_cast<int32_t>((recorded - recordedStart) - (io.ticks() - realStart));
        if (ahead <= 0) return;
        io.delay(ahead < 10 ? static_cast<uint32_t>(ahead) : 10);
        readViewerKeys();
    }
}

uint32_t currentTicks() {
    if (!playing()) {
        const uint32_t now = io.ticks();
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

// The parts of an SDL event the game reads, in the numbers a replay keeps.
static GameEvent portableEvent(const SDL_Event& native) {
    GameEvent event = {};
    event.type = portableEventType(native.type);
    if (native.type == SDL_KEYDOWN || native.type == SDL_KEYUP) {
        event.sym = portableKey(native.key.keysym.sym);
        event.mod = static_cast<uint16_t>(native.key.keysym.mod);
    } else if (native.type == SDL_ACTIVEEVENT) {
        event.gain = native.active.gain;
        event.state = native.active.state;
    }
    if (event.type == EVENT_NONE) event.type = EVENT_OTHER;  // never taken for "no event"
    return event;
}

// Live: the engine's answer, handed on and recorded.
static int takeLive(TapeCallKind kind, int taken, const SDL_Event& native, GameEvent& event) {
    if (taken) event = portableEvent(native);
    recordEvent(kind, taken ? &event : nullptr);
    return taken;
}

int pollEvent(GameEvent& event) {
    if (playing()) {
        lookAtViewerKeys();
        return playEvent(CALL_POLL, event);
    }
    SDL_Event native;
    return takeLive(CALL_POLL, io.pollEvent(&native), native, event);
}

int waitEvent(GameEvent& event) {
    if (playing()) {
        lookAtViewerKeys();
        return playEvent(CALL_WAIT, event);
    }
    SDL_Event native;
    return takeLive(CALL_WAIT, io.waitEvent(&native), native, event);
}

// A replay never sleeps here: its clock readings carry the pauses.
void waitForEventUntil(uint32_t deadline) {
    if (!playing()) io.waitForEventUntil(deadline);
}

// The recording build's: a replay from the web page runs its rules in the page's steps.
uint32_t ruleSliceMs() { return BUILDS[sessionBuild()].ruleSliceMs; }

// Kept: a replay from the web page stays in its menu on Quit, as the page did.
void quitGame() {
    if (!playing())
        endProgram();
    else if (BUILDS[sessionBuild()].endsOnQuit)
        replayQuit();
}

void swapBuffers() {
    countSwap();
    if (!fastForwarding()) io.swapBuffers();
    if (playing()) lookAtViewerKeys();
}
