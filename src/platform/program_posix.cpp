#include "platform/program.h"

#include "platform/paths.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

FILE* openGameFile(const char* gamePath, const char* mode) { return fopen(nativePath(gamePath).text, mode); }

static void changeToDirectoryOf(char* programPath) {
    const int end = programDirectoryEnd(programPath);
    if (end < 0) return;
    const char separator = programPath[end];
    programPath[end] = '\0';
    if (chdir(programPath) != 0) {
        // unchecked: data paths then resolve from where we started
    }
    programPath[end] = separator;
}

void changeToProgramDirectory(char* programPath) {
    // The running program itself, links resolved: argv[0] may be a link in another folder, or
    // no path at all when started through PATH.
    char selfPath[4096];
    const ssize_t length = readlink("/proc/self/exe", selfPath, sizeof selfPath - 1);
    if (length > 0) {
        selfPath[length] = '\0';
        changeToDirectoryOf(selfPath);
        return;
    }
    changeToDirectoryOf(programPath);
}

void setEnvironment(const char* assignment) {
    char name[128];
    const char* equals = strchr(assignment, '=');
    if (equals == nullptr || static_cast<size_t>(equals - assignment) >= sizeof name) return;
    memcpy(name, assignment, equals - assignment);
    name[equals - assignment] = '\0';
    setenv(name, equals + 1, 1);
}

void endProgram() { exit(0); }

void saveWhenLeft(void (*)()) {}
