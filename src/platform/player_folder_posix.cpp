#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/player_folder.h"

// Makes every missing folder on the way to `directory`.
static int makeFolders(char* directory) {
    for (char* p = directory + 1; *p != '\0'; ++p) {
        if (*p != '/') continue;
        *p = '\0';
        const int made = mkdir(directory, 0755) == 0 || errno == EEXIST;
        *p = '/';
        if (!made) return 0;
    }
    return mkdir(directory, 0755) == 0 || errno == EEXIST;
}

// $XDG_... when it names an absolute folder, else the default below $HOME, or below the
// home folder in the user database when HOME is unset or not absolute.
static int xdgFolder(PlayerFolder folder, char* directory, size_t size) {
    const char* variable = getenv(folder == PLAYER_SETTINGS ? "XDG_CONFIG_HOME" : "XDG_DATA_HOME");
    int length;
    if (variable != nullptr && variable[0] == '/') {
        length = snprintf(directory, size, "%s/zembrak", variable);
    } else {
        const char* home = getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            // No usable HOME (a service, `env -i`): the user database still knows the home folder.
            const struct passwd* user = getpwuid(getuid());
            home = user != nullptr ? user->pw_dir : nullptr;
        }
        if (home == nullptr || home[0] != '/') return 0;
        length =
            snprintf(directory, size, "%s/%s/zembrak", home, folder == PLAYER_SETTINGS ? ".config" : ".local/share");
    }
    return length < static_cast<int>(size);
}

int playerFilePath(PlayerFolder folder, const char* name, char* path, size_t size, int create) {
    char directory[PATH_MAX];
    if (!xdgFolder(folder, directory, sizeof directory)) return 0;
    if (create && !makeFolders(directory)) return 0;
    return snprintf(path, size, "%s/%s", directory, name) < static_cast<int>(size);
}
