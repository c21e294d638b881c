#include "fakes.h"

#include "app/sdl_io.h"
#include "audio/sound.h"
#include "game/levels.h"
#include "game/state.h"
#include "render/scene.h"
#include "screens/end_screen.h"

FakeWorld fake;

void resetForTest() {
    fake = FakeWorld();
    resetGameState();
    initLevelTable();
    game.tilePitch = 90;
    game.slideSpeed = 1;
    game.fieldSize = 600;
    game.viewWidth = 800;
    for (int slot = 1; slot < EFFECT_SLOTS; ++slot) game.sounds[slot] = reinterpret_cast<Mix_Chunk*>(static_cast<intptr_t>(slot));
}

uint32_t currentTicks() {
    const uint32_t now = fake.ticks;
    fake.ticks += fake.tickStep;
    return now;
}
int pollEvent() { return 0; }
int waitEvent() { return 0; }
void swapBuffers() { ++fake.swaps; }

void playEffect(Mix_Chunk* chunk) {
    if (game.soundVolume != 0) fake.effects.push_back(chunk);
}
void startMusic(Mix_Music* track) { fake.music.push_back(track); }

void drawSlideFrame(int, int, float progress) {
    ++fake.slideFrames;
    fake.lastSlideProgress = progress;
}
void drawPlayer() { ++fake.playerDrawn; }
void drawDyingPlayer() { ++fake.dyingPlayerDrawn; }
void runEndScreen() { ++fake.endScreens; }
