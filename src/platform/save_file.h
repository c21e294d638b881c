// Saving one of the game's own files without losing the old one.
#pragma once

#include <cstdio>

// One file being saved. The new text goes to a temporary file beside the real file (behind
// any links the player or root made) and replaces it in one step; where no temporary file can
// be made there, the new text is written over the old one and the file cut to its length.
struct SaveStream {
    FILE* file;
    char target[4096];     // the real file
    char temporary[4096];  // empty when writing in place
};

// Opens a save of `gamePath`. Returns 0 with `save->file` ready for writing, or -1 when the
// file cannot be written here: it exists and refuses writing, or it is missing and cannot
// be made, or it is no plain file (a pipe, say), or a link on the way belongs to someone else.
// Nothing is touched then.
int beginSave(const char* gamePath, SaveStream* save);

// Flushes, syncs and closes the save and puts the new file in place, keeping the old file's
// mode. Returns 0 when the file is saved; otherwise the old file is left as it was.
int finishSave(SaveStream* save);

// 1 when beginSave would open `gamePath`: the file takes writing, or it is missing and its
// folder takes new files.
int canSaveFile(const char* gamePath);

// Removes what saves of `gamePath` cut short by a kill left beside the real file: only the
// game's own temporary files, only the player's, only those no running game still writes.
void removeStaleTemporaries(const char* gamePath);
