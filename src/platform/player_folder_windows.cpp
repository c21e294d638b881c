#include "platform/player_folder.h"

#include <cstdio>
#include <cstdlib>
#include <direct.h>

int playerFilePath(PlayerFolder folder, const char* name, char* path, size_t size, int create) {
    (void)folder;  // one folder holds both on Windows
    const char* appData = getenv("APPDATA");
    if (appData == nullptr || appData[0] == '\0') return 0;
    char directory[1024];
    if (snprintf(directory, sizeof directory, "%s\\Zembrak", appData) >= static_cast<int>(sizeof directory)) return 0;
    if (create) _mkdir(directory);
    return snprintf(path, size, "%s\\%s", directory, name) < static_cast<int>(size);
}

