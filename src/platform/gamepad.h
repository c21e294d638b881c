// The first gamepad: opened at start (or when one first shows up), watched for being unplugged
// and plugged in again. Its events become keys through the input table (input/pad_input.h).
#pragma once

#include <cstdint>

#include "input/pad_input.h"

void openGamepad();               // after SDL has started
void watchGamepad(uint32_t now);  // at every poll; looks at the pad twice a second
bool gamepadInUse();              // a pad was opened (and may have been unplugged since)

// Per system (gamepad_*.cpp): starts SDL's joystick part (`again`: anew, to list the pads
// plugged in since), tells how many pads are plugged in now and how they number buttons.
bool startPads(bool again);
int gamepadsPresent();
PadLayout gamepadLayout();
