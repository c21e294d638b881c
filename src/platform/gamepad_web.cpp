#include <SDL.h>

#include "platform/gamepad.h"

// The browser lists a pad only once a button on it was pressed, and drops it when unplugged.
int gamepadsPresent() { return SDL_NumJoysticks(); }

PadLayout gamepadLayout() { return PAD_LAYOUT_STANDARD; }
