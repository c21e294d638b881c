// Refresh-rate probe and control through XRandR, the watch on the X connection, and full
// screen where no window manager makes it.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
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

// The first window named by a window's property, or None.
static Window namedWindow(Display* display, Window window, Atom property) {
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char* data = nullptr;
    Window named = None;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &left, &data) ==
            Success &&
        data != nullptr && format == 32 && count == 1)
        named = *reinterpret_cast<Window*>(data);
    if (data != nullptr) XFree(data);
    return named;
}

// True when a running window manager says it makes windows full screen: its check window
// names itself (a manager that has gone leaves a stale name behind), and its list of
// supported hints holds the full-screen state.
static bool managerDoesFullScreen(Display* display) {
    const Window root = DefaultRootWindow(display);
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const Window manager = namedWindow(display, root, check);
    if (manager == None || namedWindow(display, manager, check) != manager) return false;
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char* data = nullptr;
    bool found = false;
    const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    if (XGetWindowProperty(display, root, XInternAtom(display, "_NET_SUPPORTED", False), 0, 4096, False, XA_ATOM, &type,
                           &format, &count, &left, &data) == Success &&
        data != nullptr && format == 32)
        for (unsigned long i = 0; i < count; ++i) found = found || reinterpret_cast<Atom*>(data)[i] == fullScreen;
    if (data != nullptr) XFree(data);
    return found;
}

// SDL asks the window manager for full screen and draws as if it were granted. With none to
// grant it (a bare X server, a kiosk), the window kept its own size and the picture came out
// enlarged and cut off; the window is then laid over the whole screen here.
void coverScreen() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11) return;
    Display* display = info.info.x11.display;
    if (display == nullptr || managerDoesFullScreen(display)) return;
    XWindowAttributes screen;
    if (!XGetWindowAttributes(display, DefaultRootWindow(display), &screen)) return;
    const Window window = info.info.x11.wmwindow != None ? info.info.x11.wmwindow : info.info.x11.window;
    XMoveResizeWindow(display, window, 0, 0, static_cast<unsigned>(screen.width), static_cast<unsigned>(screen.height));
    XRaiseWindow(display, window);
    XSync(display, False);
}
