#include "game/frame_clock.h"

#include "game/engine.h"
#include "game/state.h"

void resetFrameTiming() {
    game.lastTicks = currentTicks();
    game.tickAccumulator = 0;
}

void updateFrameTiming(uint16_t& deltaOut) { advanceFrameTiming(currentTicks(), deltaOut); }

void advanceFrameTiming(uint32_t now, uint16_t& deltaOut) {
    game.nowTicks = now;
    // Low 16 bits only: right for every frame shorter than 65.536 s.
    const uint16_t delta =
        static_cast<uint16_t>(static_cast<uint16_t>(game.nowTicks) - static_cast<uint16_t>(game.lastTicks));
    game.lastTicks = game.nowTicks;
    deltaOut = delta;
    game.tickAccumulator = static_cast<uint16_t>(game.tickAccumulator + delta);
}

void updateFps() {
    game.fpsFrames += 1;
    game.fpsElapsed += game.frameDelta;
    if (game.fpsElapsed > 500.0f) {
        game.fps = static_cast<int32_t>(game.fpsFrames / game.fpsElapsed * 1000.0f);
        game.fpsFrames = 0;
        game.fpsElapsed = 0.0f;
    }
}
