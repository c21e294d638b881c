// Events as a replay keeps them: SDL 1.2's numbers for event types and keys, whatever SDL the
// build compiles against (the web build's numbers them otherwise), so that a replay plays the
// same in every build.
#pragma once

#include <SDL.h>

#include <cstdint>

uint8_t portableEventType(uint32_t type);  // an event the game never reads may come back as another
uint32_t nativeEventType(uint8_t type);
uint16_t portableKey(uint32_t sym);  // a key the game never reads may come back as SDLK_UNKNOWN
SDLKey nativeKey(uint16_t sym);
