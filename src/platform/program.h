// The program's own folder, its environment, and opening the game's files by their names.
#pragma once

#include <cstdio>

// fopen on the host's spelling of a game file name ("data\world.txt").
FILE* openGameFile(const char* gamePath, const char* mode);

// Changes to the directory that holds the program: where the system can tell which file is
// running, that file's folder with links resolved; otherwise the folder in the path.
void changeToProgramDirectory(char* programPath);

// Sets one "NAME=value" variable in the process environment.
void setEnvironment(const char* assignment);

// A quit request: Quit in the menu, Alt+F4, the window's close box. Ends the process, whose
// exit handler saves; a web page cannot end itself, so there it saves and returns.
void endProgram();

// `save` runs whenever the host may drop the program without its exit handler (a page that
// is hidden or closed). Nothing to do where the exit handler always runs.
void saveWhenLeft(void (*save)());
