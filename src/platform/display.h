// The display's refresh rate and the connection to it, per windowing system. Bringing the
// rate back (setRefreshRate) is an engine call: see platform/engine.h.
#pragma once

// Probes the display: returns 1 and the refresh rate in hertz when the host can control it.
int probeDesktopRefreshRate(int* hertz);

// Calls `onLost`, which must end the process, when the connection to the display breaks (the X
// server went away). Call once the window is open.
void watchDisplayConnection(void (*onLost)());

// Once a full-screen mode is open: makes sure the window covers the whole screen, where no
// window manager does it on the game's behalf.
void coverScreen();
