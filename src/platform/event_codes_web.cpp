// The web build's SDL numbers events and the keys that have no character as SDL 2 does.
#include <SDL.h>

#include "platform/event_codes.h"

static const struct {
    uint32_t native;
    uint8_t portable;
} EVENTS[] = {{SDL_ACTIVEEVENT, EVENT_ACTIVE},
              {SDL_KEYDOWN, EVENT_KEY_DOWN},
              {SDL_KEYUP, EVENT_KEY_UP},
              {SDL_QUIT, EVENT_QUIT},
              {SDL_VIDEOEXPOSE, EVENT_EXPOSE}};

// Keys with a character keep it in both; these are SDL 1.2's numbers for the others.
static const struct {
    SDLKey native;
    uint16_t portable;
} KEYS[] = {
    {SDLK_UP, KEY_UP}, {SDLK_DOWN, KEY_DOWN}, {SDLK_RIGHT, KEY_RIGHT}, {SDLK_LEFT, KEY_LEFT}, {SDLK_INSERT, 277},
    {SDLK_HOME, 278},  {SDLK_END, 279},       {SDLK_PAGEUP, 280},      {SDLK_PAGEDOWN, 281},  {SDLK_F1, 282},
    {SDLK_F2, 283},    {SDLK_F3, 284},        {SDLK_F4, KEY_F4},       {SDLK_F5, 286},        {SDLK_F6, 287},
    {SDLK_F7, 288},    {SDLK_F8, 289},        {SDLK_F9, 290},          {SDLK_F10, 291},       {SDLK_F11, 292},
    {SDLK_F12, 293},   {SDLK_RSHIFT, 303},    {SDLK_LSHIFT, 304},      {SDLK_RCTRL, 305},     {SDLK_LCTRL, 306},
    {SDLK_RALT, 307},  {SDLK_LALT, 308},      {SDLK_PAUSE, KEY_PAUSE},
};

static const uint32_t FIRST_WITHOUT_CHARACTER = 128;

uint8_t portableEventType(uint32_t type) {
    for (const auto& event : EVENTS)
        if (event.native == type) return event.portable;
    return EVENT_OTHER;
}

uint16_t portableKey(uint32_t sym) {
    if (sym < FIRST_WITHOUT_CHARACTER) return static_cast<uint16_t>(sym);
    for (const auto& key : KEYS)
        if (static_cast<uint32_t>(key.native) == sym) return key.portable;
    return 0;
}
