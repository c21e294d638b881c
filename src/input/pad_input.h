// Gamepads and the page's touch controls speak to the game in its own keys: one table says
// which control gives which action, and an action is the key a keyboard player presses for it.
// The game, its menus, its end screen and its replays therefore see keys only. A tap is one
// step: a held direction repeats only once held past an ordinary tap, timed from the control's
// own press, never from frames. An unplugged pad pauses the game like a lost focus.
#pragma once

#include <SDL.h>

#include <cstdint>

// How a pad numbers its buttons.
enum PadLayout {
    PAD_LAYOUT_RAW,       // SDL 1.2's numbers for XInput-style pads, on Linux and Windows
    PAD_LAYOUT_STANDARD,  // the browser's "standard" gamepad
};

// The page's touch controls, numbered as the page sends them: tools/web/build-release gives
// web/page/thumbs.js this line's names in order.
enum TouchControl { TOUCH_UP, TOUCH_DOWN, TOUCH_LEFT, TOUCH_RIGHT, TOUCH_OK, TOUCH_MENU, TOUCH_GO_ON };

// Start gives the Pause key (KEY_PAUSE to the game): it opens the menu in play, closes one
// opened in a run, goes on at the end screen, and chooses nothing.
const SDLKey START_KEY = SDLK_PAUSE;

// A direction held on a pad or touch control repeats this long after its press, then at the
// interval: every tap up to 250 ms stays one step, whatever the frame rate.
const uint32_t HELD_REPEAT_DELAY_MS = 300, HELD_REPEAT_INTERVAL_MS = 80;

// Forgets everything held and queued; pads are read in `layout` from now on.
void padReset(PadLayout layout);

// Looks at one event from SDL's queue. A pad's event is turned into the keys it gives, queued
// here: false, nothing to hand on. A key pressed while an unplugged pad keeps the game paused
// ends that pause instead: false too. Every other event is the game's: true.
bool padFilter(const SDL_Event& event, uint32_t now);

// A touch control pressed (`down`) or let go at tick `at`, the touch's own time.
void touchControl(int control, bool down, uint32_t at);

// The pad in use went away: the game pauses. Plugged in again: the pause it caused ends.
void padUnplugged();
void padPluggedIn();

// The next key the pads and touch gave: 1 with `out` filled, else 0.
int padTake(SDL_Event* out);

// The repeat of a held direction once it is due at `now`: 1 with `out` filled, else 0. Asked
// only once the system's queue is empty, so a release waiting there is seen first.
int padRepeat(uint32_t now, SDL_Event* out);

// The tick by which padTake or padRepeat has something to give, or `deadline` when that comes first.
uint32_t padWakeBy(uint32_t now, uint32_t deadline);
