// An event as the game reads it and a replay keeps it, in SDL 1.2's numbers whatever SDL the
// build compiles against, so that a replay plays the same in every build.
#pragma once

#include <cstdint>

// Event types; a type the game never reads arrives as EVENT_OTHER.
const uint8_t EVENT_NONE = 0, EVENT_ACTIVE = 1, EVENT_KEY_DOWN = 2, EVENT_KEY_UP = 3, EVENT_QUIT = 12,
              EVENT_EXPOSE = 17, EVENT_OTHER = 0xFF;

// Keys the game reads; keys with a character are that character. Any other key is 0.
const uint16_t KEY_RETURN = 13, KEY_ESCAPE = 27, KEY_SPACE = 32, KEY_F = 'f', KEY_UP = 273, KEY_DOWN = 274,
               KEY_RIGHT = 275, KEY_LEFT = 276, KEY_F4 = 285;
// Pause: also the key a gamepad's Start gives (input/pad_input.h). It has no character.
const uint16_t KEY_PAUSE = 19;
const uint16_t KEY_MOD_ALT = 0x0300;  // either Alt key held

// What an EVENT_ACTIVE gained or lost.
const uint8_t FOCUS_MOUSE = 1, FOCUS_INPUT = 2, FOCUS_APP = 4;

struct GameEvent {
    uint8_t type;  // EVENT_NONE: no event (an empty poll, or a failed wait)
    uint16_t sym;  // key events
    uint16_t mod;
    uint8_t gain;  // focus events
    uint8_t state;
};
