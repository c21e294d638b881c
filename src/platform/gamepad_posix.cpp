#include <SDL.h>
#include <dlfcn.h>

#include "platform/gamepad.h"

// SDL 1.2 here is sdl12-compat over SDL 2: it keeps an unplugged pad's handle and says nothing
// of the loss, but SDL 2's own count of pads drops. With a genuine SDL 1.2 there is no such
// count, and a pad once opened counts as present.
static int (*sdl2Pads)() = nullptr;

// SDL 1.2 lists pads once, when its joystick part starts: starting it again finds a pad
// plugged in since.
bool startPads(bool again) {
    if (again) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

int gamepadsPresent() {
    static bool looked = false;
    if (!looked) {
        looked = true;
        void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
        if (sdl2 != nullptr) sdl2Pads = reinterpret_cast<int (*)()>(dlsym(sdl2, "SDL_NumJoysticks"));
    }
    return sdl2Pads != nullptr ? sdl2Pads() : SDL_NumJoysticks();
}

PadLayout gamepadLayout() { return PAD_LAYOUT_RAW; }
