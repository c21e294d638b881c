#include "app/sdl_io.h"

#include "game/state.h"

#include <SDL.h>

uint32_t currentTicks() { return SDL_GetTicks(); }

int pollEvent() { return SDL_PollEvent(&game.event); }

int waitEvent() { return SDL_WaitEvent(&game.event); }

void swapBuffers() { SDL_GL_SwapBuffers(); }
