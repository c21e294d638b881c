// Saving in a web page: only /save keeps files (the page's IndexedDB); the program's own
// folder is the preloaded data, gone with the page. Every finished save is copied to the
// browser's storage at once, since no exit handler runs when a tab closes.
#include <emscripten.h>

#include <cstdio>
#include <cstring>

#include "platform/paths.h"
#include "platform/save_file.h"

static bool kept(const char* path) { return strncmp(path, "/save/", 6) == 0; }

int canSaveFile(const char* gamePath) { return kept(nativePath(gamePath).text) ? 1 : 0; }

int beginSave(const char* gamePath, SaveStream* save) {
    save->file = nullptr;
    snprintf(save->target, sizeof save->target, "%s", nativePath(gamePath).text);
    if (!kept(save->target)) return -1;
    if (snprintf(save->temporary, sizeof save->temporary, "%s.tmp", save->target) >=
        static_cast<int>(sizeof save->temporary))
        return -1;
    save->file = fopen(save->temporary, "w");
    return save->file != nullptr ? 0 : -1;
}

int finishSave(SaveStream* save) {
    bool written = fflush(save->file) == 0 && !ferror(save->file);
    written = fclose(save->file) == 0 && written;
    save->file = nullptr;
    if (!written || rename(save->temporary, save->target) != 0) {
        remove(save->temporary);
        return -1;
    }
    // The page's pre.js queues the copy behind one still running.
    EM_ASM(zkSyncSaves());
    return 0;
}

// A page that closed mid-save leaves its temporary file only in memory, gone with the page.
void removeStaleTemporaries(const char*) {}

void saveAsBytes(SaveStream*) {}  // the page's files never translate

void removeSavedFile(const char* gamePath) {
    if (kept(nativePath(gamePath).text) && remove(nativePath(gamePath).text) == 0) {
        EM_ASM(zkSyncSaves());
    }
}

// One game per page: nothing to wait for.
int lockSaveFolder(const char*) { return -1; }
void unlockSaveFolder(int) {}

int sameSavedFile(const char* a, const char* b) { return strcmp(nativePath(a).text, nativePath(b).text) == 0; }
