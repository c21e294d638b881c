// Everything that differs between Windows and POSIX systems lives behind these calls.
#pragma once

#include <cstddef>
#include <cstdio>

// A path in the host's own spelling. The game writes "data\world.txt"; POSIX hosts need '/'.
struct NativePath {
    char text[4096];
};

// Turns the game's file name into the host's; names too long are cut, never overrun.
NativePath nativePath(const char* gamePath);

// fopen on the host's spelling of a game file name.
FILE* openGameFile(const char* gamePath, const char* mode);

// Index of the separator that ends the program's directory in a program path, or -1 when the
// directory stays as it is: no '/' or '\' at all, or the only one is the first character.
int programDirectoryEnd(const char* programPath);

// Changes to the directory that holds the program: where the system can tell which file is
// running (Linux), that file's folder with links resolved; otherwise the folder in the path.
void changeToProgramDirectory(char* programPath);

// Sets one "NAME=value" variable in the process environment.
void setEnvironment(const char* assignment);

// One of the game's own files being saved. The new text goes to a temporary file beside the
// real file (behind any links) and replaces it in one step; where no temporary file can be
// made there, the real file is written in place.
struct SaveStream {
    FILE* file;
    char target[4096];     // the real file
    char temporary[4096];  // empty when writing in place
};

// Opens a save of `gamePath`. Returns 0 with `save->file` ready for writing, or -1 when the
// file cannot be written here: it exists and refuses writing, or it is missing and cannot
// be made. Nothing is touched then.
int beginSave(const char* gamePath, SaveStream* save);

// Flushes, syncs and closes the save and puts the new file in place, keeping the old file's
// mode. Returns 0 when the file is saved; otherwise the old file is left as it was.
int finishSave(SaveStream* save);

// 1 when beginSave would open `gamePath`: the file takes writing, or it is missing and its
// folder takes new files.
int canSaveFile(const char* gamePath);

// The player's own folders, for files that cannot be kept beside the program.
enum PlayerFolder { PLAYER_SETTINGS, PLAYER_DATA };

// The player's copy of a file: $XDG_CONFIG_HOME/zembrak/<name> (settings) or
// $XDG_DATA_HOME/zembrak/<name> (data), by default below ~/.config and ~/.local/share; on
// Windows %APPDATA%\Zembrak\<name> for both. Returns 0 when the player has no such folder or
// the path does not fit. With `create` set, missing folders are made.
int playerFilePath(PlayerFolder folder, const char* name, char* path, size_t size, int create);

// Probes the display: returns 1 and the refresh rate in hertz when the host can control it.
int probeDesktopRefreshRate(int* hertz);

// Calls `onLost`, which must end the process, when the connection to the display breaks (the X
// server went away). Call once the window is open.
void watchDisplayConnection(void (*onLost)());

// Mode record the refresh-rate rule chooses among: only modes of the current size and depth count.
struct DisplayMode {
    unsigned width, height, depth, rate;
};

// Brings the display back to `wanted` hertz by the game's rule; does nothing when `wanted`
// is 0, the rate already matches or no mode qualifies.
void setRefreshRate(unsigned wanted);

// The rule itself: the highest rate of a mode with the current size and depth that does not
// exceed `wanted`; 0 when none does.
unsigned chooseRefreshRate(const DisplayMode& current, const DisplayMode* modes, size_t count, unsigned wanted);
