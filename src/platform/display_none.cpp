// No windowing system the game can ask: no refresh-rate control, nothing to watch.
#include "platform/display.h"

void watchDisplayConnection(void (*onLost)()) { (void)onLost; }

void coverScreen() {}

// No refresh-rate control on this system: start-up leaves it switched off.
int probeDesktopRefreshRate(int* hertz) {
    *hertz = 0;
    return 0;
}

void setRefreshRate(unsigned) {}
