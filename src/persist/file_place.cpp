#include "persist/file_place.h"

#include <cstdio>
#include <cstring>

#include "platform/install_layout.h"
#include "platform/paths.h"
#include "platform/program.h"
#include "platform/save_file.h"

static void copyPath(char* path, size_t size, const char* text) { snprintf(path, size, "%s", text); }

// The file beside the program is the one used: it takes writing, and the program was not built
// for a system-wide install, which never writes its own files, even for root who could.
static bool keptBesideProgram(const char* gamePath) { return systemDataFolder() == nullptr && canSaveFile(gamePath); }

void chooseFileToRead(const char* gamePath, PlayerFolder folder, char* path, size_t size) {
    copyPath(path, size, gamePath);
    if (keptBesideProgram(gamePath)) return;
    char playerPath[4096];
    if (!playerFilePath(folder, fileNameOf(gamePath), playerPath, sizeof playerPath, 0)) return;
    FILE* file = openGameFile(playerPath, "r");
    if (file == nullptr) return;
    fclose(file);
    copyPath(path, size, playerPath);
}

int chooseFileToSave(const char* gamePath, PlayerFolder folder, char* path, size_t size) {
    if (keptBesideProgram(gamePath)) {
        copyPath(path, size, gamePath);
        return 1;
    }
    return playerFilePath(folder, fileNameOf(gamePath), path, size, 0);
}

static int writeBytes(SaveStream* save, const void* data, size_t size, bool bytes) {
    if (bytes) saveAsBytes(save);
    fwrite(data, 1, size, save->file);  // a short write marks the stream, and finishSave keeps the old file
    return finishSave(save);
}

static int saveGameData(const char* gamePath, PlayerFolder folder, const void* data, size_t size, bool bytes) {
    SaveStream save;
    // A system-wide install never writes its own files, even for root who could.
    if (systemDataFolder() == nullptr && beginSave(gamePath, &save) == 0 && writeBytes(&save, data, size, bytes) == 0)
        return 0;
    // Not writable beside the program, or the write failed there (a full disk, a shared folder
    // that refuses the rename): the player's own folder keeps it instead.
    char playerPath[4096];
    if (!playerFilePath(folder, fileNameOf(gamePath), playerPath, sizeof playerPath, 1)) return -1;
    if (beginSave(playerPath, &save) != 0) return -1;
    return writeBytes(&save, data, size, bytes);
}

int saveGameFile(const char* gamePath, PlayerFolder folder, const char* text) {
    return saveGameData(gamePath, folder, text, strlen(text), false);
}

int saveGameFileBytes(const char* gamePath, PlayerFolder folder, const void* data, size_t size) {
    return saveGameData(gamePath, folder, data, size, true);
}

void removeGameFile(const char* gamePath, PlayerFolder folder) {
    if (systemDataFolder() == nullptr) removeSavedFile(gamePath);
    char playerPath[4096];
    if (playerFilePath(folder, fileNameOf(gamePath), playerPath, sizeof playerPath, 0)) removeSavedFile(playerPath);
}

bool namesGameFile(const char* path, const char* gamePath, PlayerFolder folder) {
    if (sameSavedFile(path, gamePath)) return true;
    char playerPath[4096];
    return playerFilePath(folder, fileNameOf(gamePath), playerPath, sizeof playerPath, 0) &&
           sameSavedFile(path, playerPath);
}

void tidyGameFile(const char* gamePath, PlayerFolder folder) {
    if (systemDataFolder() == nullptr) removeStaleTemporaries(gamePath);
    char playerPath[4096];
    if (playerFilePath(folder, fileNameOf(gamePath), playerPath, sizeof playerPath, 0))
        removeStaleTemporaries(playerPath);
}
