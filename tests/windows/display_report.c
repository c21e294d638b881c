/* Prints what Windows (here Wine) tells a program about the display: the version record,
 * the device caps the game's refresh-rate probe reads, the current mode and every mode. */
#include <stdio.h>
#include <windows.h>

int main(void) {
    OSVERSIONINFOA version;
    DEVMODEA mode;
    HDC dc;
    DWORD index;

    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version))
        printf("version %lu.%lu\n", version.dwMajorVersion, version.dwMinorVersion);
    else
        printf("version unknown\n");
    dc = GetDC(NULL);
    printf("caps %dx%dx%d refresh %d\n", GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES),
           GetDeviceCaps(dc, BITSPIXEL), GetDeviceCaps(dc, VREFRESH));
    ReleaseDC(NULL, dc);
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    if (EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &mode))
        printf("current %lux%lux%lu@%lu\n", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel,
               mode.dmDisplayFrequency);
    for (index = 0; EnumDisplaySettingsA(NULL, index, &mode); ++index)
        printf("mode %lux%lux%lu@%lu\n", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel,
               mode.dmDisplayFrequency);
    return 0;
}
