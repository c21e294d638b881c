// Saving one of the game's own files without losing the old one.
#pragma once

#include <cstdio>

// One file being saved. The new text goes to a temporary file beside the real file (behind
// any links the player or root made) and replaces it in one step; where no temporary file can
// be made there, the new text is written over the old one and the file cut to its length.
struct SaveStream {
    FILE* file;
    char target[4096];     // the real file (POSIX: its name in `folder`)
    char temporary[4096];  // empty when writing in place
    int folder;            // POSIX: the real file's folder, open
    long long oldLength;   // POSIX, in place: the old file's length
};

// Opens a save of `gamePath`. Returns 0 with `save->file` ready for writing, or -1 when the
// file cannot be written here: it exists and refuses writing, or it is missing and cannot
// be made, or it is no plain file (a pipe, say), or a link on the way belongs to someone else.
// A file that would have to be written in place is written only when it has no other hard
// link and is the player's own, a group-shared score file of the game's group, or another
// user's that its mode lets the player write. Nothing is touched when it returns -1.
int beginSave(const char* gamePath, SaveStream* save);

// The stream writes bytes as they are, where the system would otherwise translate line ends.
void saveAsBytes(SaveStream* save);

// Flushes, syncs and closes the save and puts the new file in place, keeping the old file's
// mode when it was the player's own (never its set-id bits). Returns 0 when the file is saved; otherwise the old file
// is left as it was.
int finishSave(SaveStream* save);

// 1 when beginSave would open `gamePath`: the file takes writing, or it is missing and its
// folder takes new files.
int canSaveFile(const char* gamePath);

// Removes what saves of `gamePath` cut short by a kill left beside the real file: only the
// game's own temporary files, only the player's, only those no running game still writes.
void removeStaleTemporaries(const char* gamePath);

// Removes the saved file `gamePath` (a plain file only), through trusted links as a save would.
void removeSavedFile(const char* gamePath);

// Holds off the saves of every other game that locks the folder of `gamePath`, until
// unlockSaveFolder with what this returned; -1 when no lock could be had (the save goes on).
int lockSaveFolder(const char* gamePath);
void unlockSaveFolder(int lock);

// 1 when `a` and `b` name the same file: the same file where it exists, else the same name in
// the same folder, whatever links or ".." lead there.
int sameSavedFile(const char* a, const char* b);

// Tests only: runs between the walk to the save's folder and the opening of the file in it.
extern void (*saveFolderWalked)();
