// Display refresh-rate probe and control, per windowing system.
#include "app/platform.h"

#ifdef _WIN32
#include <windows.h>

int probeDesktopRefreshRate(int* hertz) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version) || version.dwMajorVersion <= 4) return 0;
    HDC dc = GetDC(NULL);
    *hertz = GetDeviceCaps(dc, VREFRESH);
    ReleaseDC(NULL, dc);
    return 1;
}

void setRefreshRate(unsigned wanted) {
    if (wanted == 0) return;
    HDC dc = GetDC(NULL);
    if (static_cast<unsigned>(GetDeviceCaps(dc, VREFRESH)) != wanted) {
        const DisplayMode current = {static_cast<unsigned>(GetDeviceCaps(dc, HORZRES)),
                                     static_cast<unsigned>(GetDeviceCaps(dc, VERTRES)),
                                     static_cast<unsigned>(GetDeviceCaps(dc, BITSPIXEL)), 0};
        DEVMODEA record = {};
        record.dmSize = sizeof record;
        unsigned best = 0;
        for (DWORD index = 0; EnumDisplaySettingsA(NULL, index, &record); ++index) {
            const DisplayMode mode = {record.dmPelsWidth, record.dmPelsHeight, record.dmBitsPerPel,
                                      record.dmDisplayFrequency};
            const unsigned rate = chooseRefreshRate(current, &mode, 1, wanted);
            if (rate > best) best = rate;
        }
        if (best != 0) {
            record.dmSize = sizeof record;
            record.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
            record.dmPelsWidth = current.width;
            record.dmPelsHeight = current.height;
            record.dmBitsPerPel = current.depth;
            record.dmDisplayFrequency = best;
            ChangeDisplaySettingsA(&record, CDS_FULLSCREEN);
        }
    }
    ReleaseDC(NULL, dc);
}

// Windows keeps the desktop when a window's process loses it; nothing to watch.
void watchDisplayConnection(void (*onLost)()) { (void)onLost; }

#elif defined(ZK_HAVE_XRANDR)
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

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

#else

void watchDisplayConnection(void (*onLost)()) { (void)onLost; }

// No refresh-rate control on this system: start-up leaves it switched off.
int probeDesktopRefreshRate(int* hertz) {
    *hertz = 0;
    return 0;
}

void setRefreshRate(unsigned) {}

#endif
