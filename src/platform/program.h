// The program's own folder, its environment, and opening the game's files by their names.
#pragma once

#include <cstdio>

// fopen on the host's spelling of a game file name ("data\world.txt") or of a path from
// playerFilePath; the names are UTF-8 on Windows too.
FILE* openGameFile(const char* gamePath, const char* mode);

// Changes to the directory that holds the program: where the system can tell which file is
// running, that file's folder with links resolved; otherwise the folder in the path.
void changeToProgramDirectory(char* programPath);

// Sets one "NAME=value" variable in the process environment.
void setEnvironment(const char* assignment);
