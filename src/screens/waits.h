// Event waits shared by the frame loop and the screens.
#pragma once

#include <cstdint>

// Alt+F4 in a key event held in game.event.
bool isAltF4();

// A focus gain: restores the refresh rate when the mouse focus came back and control is on.
void onFocusGained();

// Pauses until the window is active again, then rebuilds the graphics in full screen.
void waitWhileInactive();

// Waits for a key press (`key` 0: any key), handling quit, Alt+F4 and focus changes.
void waitForKey(uint16_t key);
