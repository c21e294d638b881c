#include "platform/program.h"

#include "platform/paths.h"

#include <cstdlib>
#include <direct.h>

FILE* openGameFile(const char* gamePath, const char* mode) { return fopen(nativePath(gamePath).text, mode); }

void changeToProgramDirectory(char* programPath) {
    const int end = programDirectoryEnd(programPath);
    if (end < 0) return;
    const char separator = programPath[end];
    programPath[end] = '\0';
    _chdir(programPath);  // unchecked: data paths then resolve from where we started
    programPath[end] = separator;
}

void setEnvironment(const char* assignment) { _putenv(assignment); }

void endProgram() { exit(0); }

void saveWhenLeft(void (*)()) {}
