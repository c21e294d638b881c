#include "platform/program.h"

#include "platform/paths.h"

#include <cstdlib>
#include <direct.h>

FILE* openGameFile(const char* gamePath, const char* mode) { return fopen(nativePath(gamePath).text, mode); }

int changeToProgramDirectory(char* programPath) {
    const int end = programDirectoryEnd(programPath);
    if (end < 0) return 0;
    const char separator = programPath[end];
    programPath[end] = '\0';
    const int changed = _chdir(programPath) == 0;
    programPath[end] = separator;
    return changed;
}

void setEnvironment(const char* assignment) { _putenv(assignment); }

void endProgram() { exit(0); }

void saveWhenLeft(void (*)()) {}

// Windows has no hang-up signal.
void endOnHangUp() {}

int absolutePath(const char* path, char* out, size_t size) { return _fullpath(out, path, size) != nullptr; }
