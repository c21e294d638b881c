// The program's own folder, its environment, and opening the game's files by their names.
#pragma once

#include <cstddef>
#include <cstdio>

// fopen on the host's spelling of a game file name ("data\world.txt").
FILE* openGameFile(const char* gamePath, const char* mode);

// Changes to the directory that holds the program: where the system can tell which file is
// running, that file's folder with links resolved; otherwise the folder in the path.
void changeToProgramDirectory(char* programPath);

// Sets one "NAME=value" variable in the process environment.
void setEnvironment(const char* assignment);

// `path` as seen from the current directory, made absolute, so it still names the same file
// after the program changes to its own directory. Returns 0 when it does not fit.
int absolutePath(const char* path, char* out, size_t size);
