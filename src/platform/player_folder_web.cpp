// The player's files in a web page: /save, which the page keeps in the browser's IndexedDB.
#include <cstdio>

#include "platform/player_folder.h"

int playerFilePath(PlayerFolder, const char* name, char* path, size_t size, int) {
    return snprintf(path, size, "/save/%s", name) < static_cast<int>(size);
}
