// Gamepads and the page's touch controls speak to the game in its own keys: one table says
// which control gives which action, and an action is the key a keyboard player presses for it.
// The game, its menus, its end screen and its replays therefore see keys only. A held direction
// repeats like a held arrow key; an unplugged pad pauses the game like a lost focus.
#pragma once

#include <SDL.h>

#include <cstdint>

// How a pad numbers its buttons.
enum PadLayout {
    PAD_LAYOUT_RAW,       // SDL 1.2's numbers for XInput-style pads, on Linux and Windows
    PAD_LAYOUT_STANDARD,  // the browser's "standard" gamepad
};

// The page's touch controls, numbered as the page sends them.
enum TouchControl { TOUCH_UP, TOUCH_DOWN, TOUCH_LEFT, TOUCH_RIGHT, TOUCH_OK, TOUCH_MENU, TOUCH_GO_ON };

// Forgets everything held and queued; pads are read in `layout` from now on.
void padReset(PadLayout layout);

// Looks at one event from SDL's queue. A pad's event is turned into the keys it gives, queued
// here: false, nothing to hand on. A key pressed while an unplugged pad keeps the game paused
// ends that pause instead: false too. Every other event is the game's: true.
bool padFilter(const SDL_Event& event, uint32_t now);

// A touch control pressed (`down`) or let go.
void touchControl(int control, bool down, uint32_t now);

// The pad in use went away: the game pauses. Plugged in again: the pause it caused ends.
void padUnplugged();
void padPluggedIn();

// The next key the pads and touch gave, or the repeat of a held direction once it is due:
// 1 with `out` filled, else 0.
int padTake(uint32_t now, SDL_Event* out);

// The tick by which padTake has something to give, or `deadline` when that comes first.
uint32_t padWakeBy(uint32_t now, uint32_t deadline);
