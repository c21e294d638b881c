#include "platform/gamepad.h"

#include <SDL.h>

static SDL_Joystick* pad = nullptr;
static bool lost = false;
static uint32_t lastLook = 0;
static const uint32_t LOOK_EVERY_MS = 500;

static void openFirstPad(bool again) {
    if (again && pad != nullptr) SDL_JoystickClose(pad);
    pad = nullptr;
    if (!startPads(again)) return;
    pad = gamepadsPresent() > 0 ? SDL_JoystickOpen(0) : nullptr;
    SDL_JoystickEventState(SDL_ENABLE);
}

void openGamepad() {
    padReset(gamepadLayout());
    openFirstPad(false);
}

bool gamepadInUse() { return pad != nullptr; }

void watchGamepad(uint32_t now) {
    if (now - lastLook < LOOK_EVERY_MS) return;
    lastLook = now;
    const bool present = gamepadsPresent() > 0;
    if (pad != nullptr && !lost && !present) {
        lost = true;
        padUnplugged();
    } else if (present && (pad == nullptr || lost)) {
        openFirstPad(true);
        if (pad != nullptr && lost) padPluggedIn();
        lost = pad == nullptr && lost;
    }
}
