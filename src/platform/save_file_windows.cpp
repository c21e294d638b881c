// Saving the game's files on Windows: a temporary file moved over the real one.
#include "platform/save_file.h"

#include "platform/paths.h"

#include <cstring>
#include <io.h>
#include <windows.h>

// Copies `text` whole or not at all.
static int copyWhole(char* to, size_t size, const char* text) {
    const size_t length = strlen(text);
    if (length >= size) return 0;
    memcpy(to, text, length + 1);
    return 1;
}

int canSaveFile(const char* gamePath) {
    const NativePath path = nativePath(gamePath);
    if (_access(path.text, 0) == 0) return _access(path.text, 2) == 0;
    // No file: the folder takes new files if a trial file can be made and removed there.
    char trial[sizeof path.text + 16];
    snprintf(trial, sizeof trial, "%s.probe", path.text);
    FILE* file = fopen(trial, "w");
    if (file == nullptr) return 0;
    fclose(file);
    remove(trial);
    return 1;
}

int beginSave(const char* gamePath, SaveStream* save) {
    const NativePath path = nativePath(gamePath);
    if (!copyWhole(save->target, sizeof save->target, path.text)) return -1;
    // A write-protected file stays as it is.
    if (_access(path.text, 0) == 0 && _access(path.text, 2) != 0) return -1;
    snprintf(save->temporary, sizeof save->temporary, "%s.tmp", save->target);
    save->file = fopen(save->temporary, "w");
    if (save->file != nullptr) return 0;
    save->temporary[0] = '\0';
    save->file = fopen(save->target, "w");
    return save->file != nullptr ? 0 : -1;
}

int finishSave(SaveStream* save) {
    bool written = fflush(save->file) == 0 && !ferror(save->file);
    _commit(_fileno(save->file));
    written = (fclose(save->file) == 0) && written;
    if (save->temporary[0] == '\0') return written ? 0 : -1;
    // rename never replaces an existing file on Windows.
    if (written && MoveFileExA(save->temporary, save->target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    remove(save->temporary);
    return -1;
}


// The one temporary name is reused by the next save, so nothing piles up here.
void removeStaleTemporaries(const char* gamePath) { (void)gamePath; }
