#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "platform/paths.h"
#include "platform/program.h"
#include "platform/wide_windows.h"

FILE* openGameFile(const char* gamePath, const char* mode) {
    return _wfopen(toWide(nativePath(gamePath).text).text, toWide(mode).text);
}

// Cuts a path to its folder; 0 when it names none (no separator, or only a leading one). A
// folder at a drive's root keeps its backslash: "C:" alone names the drive's current folder.
static int cutToFolder(wchar_t* path) {
    wchar_t* end = nullptr;
    for (wchar_t* p = path; *p != L'\0'; ++p)
        if (*p == L'\\' || *p == L'/') end = p;
    if (end == nullptr || end == path) return 0;
    if (end == path + 2 && path[1] == L':') ++end;
    *end = L'\0';
    return 1;
}

int changeToProgramDirectory(char* programPath) {
    // The running program's path in UTF-16: argv[0] and the ANSI calls spell it in the system's
    // code page, which turns a folder named "Hry ř" into one that does not exist.
    static wchar_t self[32768];
    const DWORD length = GetModuleFileNameW(nullptr, self, sizeof self / sizeof self[0]);
    if (length == 0 || length >= sizeof self / sizeof self[0]) {
        const WideText given = toWide(programPath);
        wcscpy(self, given.text);
    }
    return cutToFolder(self) && SetCurrentDirectoryW(self);
}

void setEnvironment(const char* assignment) { _putenv(assignment); }

Build thisBuild() { return BUILD_WINDOWS; }

void endProgram() { exit(0); }

void saveWhenLeft(void (*)()) {}

// Windows has no hang-up signal.
void endOnHangUp() {}

void ignoreClosedOutput() {}  // a closed pipe only fails the write here

int absolutePath(const char* path, char* out, size_t size) {
    wchar_t full[4096];
    if (_wfullpath(full, toWide(path).text, sizeof full / sizeof full[0]) == nullptr) return 0;
    return toUtf8(full, out, size);
}
