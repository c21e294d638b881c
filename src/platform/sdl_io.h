// SDL's clock, event queue and buffer swap as they are. The engine calls of the game
// (game/engine.h) reach them through the session, which records or replays them.
#pragma once

#include <SDL.h>

#include <cstdint>

uint32_t sdlTicks();                           // milliseconds since SDL started
int sdlPollEvent(SDL_Event* event);            // one poll; 1 when an event was taken
int sdlWaitEvent(SDL_Event* event);            // blocks until an event comes; 0 on error
void sdlWaitForEventUntil(uint32_t deadline);  // sleeps until an event is queued or the deadline
void sdlSwapBuffers();                         // shows the frame just drawn
void sdlClearAfterSwaps(bool clear);           // clears the whole buffer for the next frame
void sdlDelay(uint32_t milliseconds);          // sleeps
