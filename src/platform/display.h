// The display's refresh rate and the connection to it, per windowing system.
#pragma once

// Probes the display: returns 1 and the refresh rate in hertz when the host can control it.
int probeDesktopRefreshRate(int* hertz);

// Back to `wanted` hertz by the game's rule; nothing when `wanted` is 0, the rate already
// matches or no mode qualifies. Unit tests link a fake in its place.
void setRefreshRate(unsigned wanted);

// Calls `onLost`, which must end the process, when the connection to the display breaks (the X
// server went away). Call once the window is open.
void watchDisplayConnection(void (*onLost)());

// Once a full-screen mode is open: makes sure the window covers the whole screen, where no
// window manager does it on the game's behalf.
void coverScreen();
