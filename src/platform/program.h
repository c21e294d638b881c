// The program's own folder, its environment, and opening the game's files by their names.
#pragma once

#include <cstddef>
#include <cstdio>

#include "builds/builds.h"

// The build this program is.
Build thisBuild();

// Opens a game file ("data\world.txt", in the game's spelling) for reading with `mode` "r" or
// "rb". On POSIX systems only a regular file or a device is opened, never a pipe, and only
// through links that belong to the player or to root; nullptr otherwise, as for a missing file.
// Names are UTF-8 on Windows too.
FILE* openGameFile(const char* gamePath, const char* mode);

// Opens a file named on the command line for reading in binary, its name resolved as the
// system does (so an open descriptor's /dev/fd name works too). Only a regular file is kept:
// nullptr with errno EINVAL otherwise, so a pipe never keeps the program waiting. POSIX only.
FILE* openNamedFile(const char* path);

// A text in memory read as a file. POSIX only.
FILE* openText(const char* text);

// Changes to the directory that holds the program: where the system can tell which file is
// running, that file's folder with links resolved; otherwise the folder in the path. Returns
// 0 when neither works (a bare name started through PATH with no /proc, say): the working
// folder is then somebody's own and may not be the game's.
int changeToProgramDirectory(char* programPath);

// Sets one "NAME=value" variable in the process environment.
void setEnvironment(const char* assignment);

// A quit request: Quit in the menu, Alt+F4, the window's close box. Ends the process, whose
// exit handler saves; a web page cannot end itself, so there it saves and returns.
void endProgram();

// `save` runs whenever the host may drop the program without its exit handler (a page that
// is hidden or closed). Nothing to do where the exit handler always runs.
void saveWhenLeft(void (*save)());

// The page was hidden or closed: runs the save given to saveWhenLeft. Web only.
void programLeft();

// From now on a hang-up (the terminal closed, the ssh session lost) or SIGQUIT (Ctrl+\) ends
// the game the way SIGTERM does, with both files saved. Call after SDL has started; an ignored
// signal (nohup) stays ignored.
void endOnHangUp();

// An output whose reader went away (`zembrak | true`) never ends the game; what it prints is
// lost. Call first thing.
void ignoreClosedOutput();

// `path` as seen from the current directory, made absolute, so it still names the same file
// after the program changes to its own directory. Returns 0 when it does not fit.
int absolutePath(const char* path, char* out, size_t size);
