// Refresh-rate probe and control through XRandR, and the watch on the X connection.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "platform/display.h"
#include "platform/refresh_rate.h"

// The X server's screen configuration, or null when there is no server or no XRandR.
struct XrandrScreen {
    Display* display = nullptr;
    XRRScreenConfiguration* config = nullptr;
};

static XrandrScreen openXrandrScreen() {
    XrandrScreen screen;
    screen.display = XOpenDisplay(nullptr);
    if (screen.display == nullptr) return screen;
    int eventBase = 0, errorBase = 0;
    if (XRRQueryExtension(screen.display, &eventBase, &errorBase))
        screen.config = XRRGetScreenInfo(screen.display, DefaultRootWindow(screen.display));
    return screen;
}

static void closeXrandrScreen(XrandrScreen& screen) {
    if (screen.config != nullptr) XRRFreeScreenConfigInfo(screen.config);
    if (screen.display != nullptr) XCloseDisplay(screen.display);
}

int probeDesktopRefreshRate(int* hertz) {
    XrandrScreen screen = openXrandrScreen();
    const int known = screen.config != nullptr;
    *hertz = known ? XRRConfigCurrentRate(screen.config) : 0;
    closeXrandrScreen(screen);
    return known;
}

// Only rates of the current size take part; X screens have one depth.
static void switchToBestRate(XrandrScreen& screen, unsigned wanted) {
    Rotation rotation = 0;
    const int size = XRRConfigCurrentConfiguration(screen.config, &rotation);
    int count = 0;
    const short* rates = XRRConfigRates(screen.config, size, &count);
    DisplayMode modes[64];
    const DisplayMode current = {0, 0, 0, 0};
    int used = 0;
    for (int i = 0; i < count && used < 64; ++i) modes[used++] = {0, 0, 0, static_cast<unsigned>(rates[i])};
    const unsigned best = chooseRefreshRate(current, modes, used, wanted);
    if (best == 0) return;
    XRRSetScreenConfigAndRate(screen.display, screen.config, DefaultRootWindow(screen.display), size, rotation,
                              static_cast<short>(best), CurrentTime);
}

void setRefreshRate(unsigned wanted) {
    if (wanted == 0) return;
    XrandrScreen screen = openXrandrScreen();
    if (screen.config != nullptr && static_cast<unsigned>(XRRConfigCurrentRate(screen.config)) != wanted)
        switchToBestRate(screen, wanted);
    closeXrandrScreen(screen);
}

static void (*displayLostAction)() = nullptr;

// Xlib's own handler ends the process from inside Xlib; ours hands over to the game's exit path.
static int onDisplayConnectionLost(Display*) {
    if (displayLostAction != nullptr) displayLostAction();
    return 0;  // not reached: the action ends the process
}

void watchDisplayConnection(void (*onLost)()) {
    displayLostAction = onLost;
    XSetIOErrorHandler(onDisplayConnectionLost);
}
