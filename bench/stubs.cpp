// The calls the core objects make outside the core (SDL clock, events and swap, the display's
// refresh rate, sound, drawing, the screens), reduced to nothing or to a count, so the rule
// step and the slide run without a window.
#include "stubs.h"

#include "audio/sound.h"
#include "game/engine.h"
#include "platform/display.h"
#include "platform/sdl_io.h"
#include "render/lists.h"
#include "render/scene.h"
#include "screens/title_menu.h"

BenchClock benchClock;

uint32_t currentTicks() {
    benchClock.ticks += benchClock.step;
    return benchClock.ticks;
}
int pollEvent(GameEvent&) { return 0; }
int waitEvent(GameEvent&) { return 0; }
void swapBuffers() { ++benchClock.swaps; }

uint32_t ruleSliceMs() { return 0; }
void quitGame() {}

void setRefreshRate(unsigned) {}

void playEffect(EffectSlot) {}
void startMusic(MusicTrack) {}

void setUpGraphics() {}
void drawScene() {}
void drawSlideFrame(int, int, float) { ++benchClock.slideFrames; }
void drawPlayer() {}
void drawDyingPlayer() {}

void runEndScreen() {}
void runTitleMenu(GameEvent&) {}
