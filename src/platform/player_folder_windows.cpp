#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/player_folder.h"
#include "platform/wide_windows.h"

int playerFilePath(PlayerFolder folder, const char* name, char* path, size_t size, int create) {
    (void)folder;  // one folder holds both on Windows
    // Straight from the process environment in UTF-16: a user name outside the system's code
    // page reaches the ANSI getenv mangled.
    wchar_t appData[2048];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, sizeof appData / sizeof appData[0]);
    if (length == 0 || length >= sizeof appData / sizeof appData[0]) return 0;
    char directory[4096];
    if (!toUtf8(appData, directory, sizeof directory - 8)) return 0;
    strcat(directory, "\\Zembrak");
    if (create) CreateDirectoryW(toWide(directory).text, nullptr);
    return snprintf(path, size, "%s\\%s", directory, name) < static_cast<int>(size);
}
