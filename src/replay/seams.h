// What the engine's calls (game/engine.h) reach beneath the session: in the game SDL's clock,
// events and swap (platform/sdl_io.h); elsewhere nothing, or what a test or benchmark plays
// instead. Set before start-up; a replay's answers all come from its tape.
#pragma once

#include <SDL.h>

#include <cstdint>

struct EngineIo {
    uint32_t (*ticks)() = []() -> uint32_t { return 0; };
    int (*pollEvent)(SDL_Event* event) = [](SDL_Event*) { return 0; };
    int (*waitEvent)(SDL_Event* event) = [](SDL_Event*) { return 0; };
    void (*waitForEventUntil)(uint32_t deadline) = [](uint32_t) {};
    void (*swapBuffers)() = [] {};
    void (*delay)(uint32_t milliseconds) = [](uint32_t) {};
};

void useEngineIo(const EngineIo& io);
