// What the in-memory recording costs the live frame: the real frame (rules, frame clock, the
// session at the engine's seams) with the recording on, and with it off as in a session that
// outgrew it, in one run. SDL's clock, events and swap, the drawing and the screens are
// stubbed; the clock advances 1..3 ms a frame, as on a desktop drawing some 500 frames a
// second, with a key press and release every 80 ms or so.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/frame_loop.h"
#include "audio/sound.h"
#include "game/engine.h"
#include "game/levels.h"
#include "game/run.h"
#include "game/state.h"
#include "platform/display.h"
#include "platform/sdl_io.h"
#include "render/lists.h"
#include "render/scene.h"
#include "replay/seams.h"
#include "replay/session.h"
#include "replay/session_test_hooks.h"
#include "replay/start.h"
#include "screens/title_menu.h"

static uint32_t clock_ = 1000, nextKey = 1080, seed = 7;
static bool keyDown = false;

uint32_t sdlTicks() { return clock_; }
// One poll a frame: the frame ends here, so the clock moves on.
int sdlPollEvent(SDL_Event* event) {
    seed = seed * 1103515245 + 12345;
    clock_ += 1 + (seed >> 16) % 3;
    if (clock_ < nextKey) return 0;
    nextKey = clock_ + 70 + (seed >> 20) % 20;
    *event = SDL_Event{};
    event->type = (keyDown = !keyDown) ? SDL_KEYDOWN : SDL_KEYUP;
    event->key.keysym.sym = SDLK_f;  // the frame-rate display: play goes on unchanged
    return 1;
}
int sdlWaitEvent(SDL_Event* event) { return sdlPollEvent(event); }
void sdlWaitForEventUntil(uint32_t) {}
void sdlSwapBuffers() {}
void sdlDelay(uint32_t) {}

void setRefreshRate(unsigned) {}
void playEffect(EffectSlot) {}
void startMusic(MusicTrack) {}
void muteAudio(bool) {}
void setUpGraphics() {}
void callList(int) {}
void resetView() {}
void drawScene() {}
void drawCompletionPicture() {}
void drawPlayer() {}
void drawDyingPlayer() {}
void drawSlideFrame(int, int, float) {}
void runEndScreen() {}
void runTitleMenu(GameEvent&) {}

// A new game on a World of level 1 without walls; the figure stays on its start tile, which
// every rule tick restores, so play goes on without input or death.
static void startPlaying(bool recording) {
    resetSession();
    resetGameState();
    useEngineIo({sdlTicks, sdlPollEvent, sdlWaitEvent, sdlWaitForEventUntil, sdlSwapBuffers, sdlDelay});
    for (auto& column : game.world)
        for (SectorInfo& sector : column) sector = {0, 0, 1};
    startRecordableSession({nullptr, nullptr, nullptr, [] { return 1u; }});
    if (!recording) {
        // A session past the longest recording records no more: distinct events, fed until
        // the recording stops growing.
        GameEvent event = {EVENT_KEY_DOWN, 0, 0, 0, 0};
        for (size_t before = 0; recordedTape().size() != before;) {
            before = recordedTape().size();
            for (uint32_t n = 0; n < (20u << 20); ++n) {
                event.sym = static_cast<uint16_t>(n % 4000);
                recordEvent(CALL_WAIT, &event);
            }
        }
    }
    fillBoard();
    newGame();
    setLevelValues();
    game.lastTicks = clock_;
}

static void BM_LiveFrame(benchmark::State& state) {
    const bool recording = state.range(0) != 0;
    startPlaying(recording);
    const size_t before = recordedTape().size();
    for (auto _ : state) runFrame();
    if (game.deathTimer != 0) state.SkipWithError("the figure died: the frame measured is not play");
    state.counters["tape_bytes_per_frame"] =
        static_cast<double>(recordedTape().size() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LiveFrame)->ArgName("recording")->Arg(0)->Arg(1);

BENCHMARK_MAIN();
