// Refresh-rate probe and control through the Windows display settings.
#include <windows.h>

#include "platform/display.h"
#include "platform/refresh_rate.h"

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

// Full screen changes the display's mode to the window's size.
void coverScreen() {}
