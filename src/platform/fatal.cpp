#include "platform/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include <cstring>
#include <cwchar>

static wchar_t errorsFile[4096];

void tellWhereErrorsGo(const wchar_t* path) { wcsncpy(errorsFile, path, 4095); }

// A program without a console: the player sees this box, not stderr.txt. Same text, without
// the line ends that end it, and where to find it again for a bug report.
static void showMessageBox(const char* format, va_list args) {
    char text[4096];
    vsnprintf(text, sizeof text, format, args);
    size_t length = strlen(text);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) text[--length] = '\0';
    wchar_t wide[4096];
    // The game's own text is UTF-8; what Windows reports through SDL comes in the ANSI code page.
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, 4096) == 0 &&
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 4096) == 0)
        wide[0] = L'\0';
    if (errorsFile[0] != L'\0') {
        const size_t used = wcslen(wide);
        _snwprintf(wide + used, 4096 - used, L"\n\nThis message is also in %ls.", errorsFile);
        wide[4095] = L'\0';
    }
    ClipCursor(nullptr);  // the game's input grab would keep the pointer away from the box
    MessageBoxW(nullptr, wide, L"Zembrak", MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST);
}
#endif

void fatal(const char* format, ...) {
    va_list args;
    va_start(args, format);
#ifdef _WIN32
    va_list again;
    va_copy(again, args);
#endif
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
#ifdef _WIN32
    fflush(stderr);
    showMessageBox(format, again);
    va_end(again);
#endif
    exit(1);
}
