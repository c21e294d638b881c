// Event waits shared by the frame loop and the screens. Each reads events into the caller's
// `event`, which holds the last event read when it returns.
#pragma once

#include <cstdint>

#include "platform/game_event.h"

// Alt+F4 in a key event.
bool isAltF4(const GameEvent& event);

// A focus gain: restores the refresh rate when the mouse focus came back and control is on.
void onFocusGained(const GameEvent& event);

// Pauses until the window is active again, then rebuilds the graphics in full screen.
void waitWhileInactive(GameEvent& event);

// Waits for a key press (`key` 0: any key; Space: Start too), handling quit, Alt+F4 and focus
// changes.
void waitForKey(uint16_t key, GameEvent& event);
