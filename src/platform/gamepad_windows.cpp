#include <SDL.h>
#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

#include "platform/gamepad.h"

// SDL 1.2 lists pads once, when its joystick part starts: starting it again finds a pad
// plugged in since.
bool startPads(bool again) {
    if (again) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

// SDL 1.2 reads pads through the multimedia joystick calls, which also tell an unplugged pad.
int gamepadsPresent() {
    JOYINFOEX info = {};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNALL;
    return joyGetPosEx(JOYSTICKID1, &info) == JOYERR_NOERROR ? 1 : 0;
}

PadLayout gamepadLayout() { return PAD_LAYOUT_RAW; }
