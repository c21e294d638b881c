#include <SDL.h>
#include <emscripten.h>

#include "platform/gamepad.h"

// The browser's SDL reads pads only when SDL_Init named the joystick part; it has nothing to
// start, and lists every pad it ever saw.
bool startPads(bool) {
    EM_ASM(SDL.initFlags |= 0x200);  // SDL_INIT_JOYSTICK
    return true;
}

// The browser lists a pad only once a button on it was pressed, and leaves an empty place
// where one was unplugged.
EM_JS(int, firstPadShown, (), {
    var pads = navigator.getGamepads ? navigator.getGamepads() : [];
    return pads && pads[0] ? 1 : 0;
});

int gamepadsPresent() { return firstPadShown(); }

PadLayout gamepadLayout() { return PAD_LAYOUT_STANDARD; }
