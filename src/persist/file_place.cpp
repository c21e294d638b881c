#include "persist/file_place.h"

#include "platform/install_layout.h"
#include "platform/paths.h"
#include "platform/program.h"
#include "platform/save_file.h"

#include <cstdio>
#include <cstring>

static void copyPath(char* path, size_t size, const char* text) { snprintf(path, size, "%s", text); }

void chooseFileToRead(const char* gamePath, PlayerFolder folder, char* path, size_t size) {
    copyPath(path, size, gamePath);
    if (systemDataFolder() == nullptr && canSaveFile(gamePath)) return;
    char playerPath[4096];
    if (!playerFilePath(folder, fileNameOf(gamePath), playerPath, sizeof playerPath, 0)) return;
    FILE* file = openGameFile(playerPath, "r");
    if (file == nullptr) return;
    fclose(file);
    copyPath(path, size, playerPath);
}

int chooseFileToSave(const char* gamePath, PlayerFolder folder, char* path, size_t size) {
    if (systemDataFolder() == nullptr && canSaveFile(gamePath)) {
        copyPath(path, size, gamePath);
        return 1;
    }
    return playerFilePath(folder, fileNameOf(gamePath), path, size, 0);
}

static int writeText(SaveStream* save, const char* text) {
    const size_t length = strlen(text);
    fwrite(text, 1, length, save->file);  // a short write marks the stream, and finishSave keeps the old file
    return finishSave(save);
}

int saveGameFile(const char* gamePath, PlayerFolder folder, const char* text) {
    SaveStream save;
    // A system-wide install never writes its own files, even for root who could.
    if (systemDataFolder() == nullptr && beginSave(gamePath, &save) == 0) return writeText(&save, text);
    // Not writable beside the program: the player's own folder keeps it instead.
    char playerPath[4096];
    if (!playerFilePath(folder, fileNameOf(gamePath), playerPath, sizeof playerPath, 1)) return -1;
    if (beginSave(playerPath, &save) != 0) return -1;
    return writeText(&save, text);
}

void tidyGameFile(const char* gamePath, PlayerFolder folder) {
    if (systemDataFolder() == nullptr) removeStaleTemporaries(gamePath);
    char playerPath[4096];
    if (playerFilePath(folder, fileNameOf(gamePath), playerPath, sizeof playerPath, 0))
        removeStaleTemporaries(playerPath);
}
