// Everything that differs between Windows and POSIX systems lives behind these calls.
#pragma once

#include <cstddef>
#include <cstdio>

// A path in the host's own spelling. The game writes "data\world.txt"; POSIX hosts need '/'.
struct NativePath {
    char text[512];
};

// Turns the game's file name into the host's; names too long are cut, never overrun.
NativePath nativePath(const char* gamePath);

// fopen on the host's spelling of a game file name.
FILE* openGameFile(const char* gamePath, const char* mode);

// Index of the separator that ends the program's directory in a program path, or -1 when the
// directory stays as it is: no '/' or '\' at all, or the only one is the first character.
int programDirectoryEnd(const char* programPath);

// Changes to the directory that holds the program; a path without any separator (started
// through PATH) is replaced by the path the system knows for the running program.
void changeToProgramDirectory(char* programPath);

// Sets one "NAME=value" variable in the process environment.
void setEnvironment(const char* assignment);

// Pushes a written file's data to the disk before it replaces the old one.
void syncFile(FILE* file);

// Replaces `target` by `source` in one step, so a reader never sees a half-written file.
// Returns 0 on success.
int replaceFile(const char* sourceGamePath, const char* targetGamePath);

// Removes a file; used to clean up after a failed save.
void removeGameFile(const char* gamePath);

// Probes the display: returns 1 and the refresh rate in hertz when the host can control it.
int probeDesktopRefreshRate(int* hertz);

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
