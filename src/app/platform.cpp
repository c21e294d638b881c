#include "app/platform.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

NativePath nativePath(const char* gamePath) {
    NativePath result;
    size_t i = 0;
    for (; gamePath[i] != '\0' && i + 1 < sizeof result.text; ++i) {
#ifdef _WIN32
        result.text[i] = gamePath[i];
#else
        result.text[i] = gamePath[i] == '\\' ? '/' : gamePath[i];
#endif
    }
    result.text[i] = '\0';
    return result;
}

FILE* openGameFile(const char* gamePath, const char* mode) { return fopen(nativePath(gamePath).text, mode); }

int programDirectoryEnd(const char* programPath) {
    for (int i = static_cast<int>(strlen(programPath)); i >= 0; --i) {
        if (programPath[i] == '/' || programPath[i] == '\\') return i > 0 ? i : -1;
    }
    return -1;
}

static int changeDirectory(const char* directory) {
#ifdef _WIN32
    return _chdir(directory);
#else
    return chdir(directory);
#endif
}

static void changeToDirectoryOf(char* programPath) {
    const int end = programDirectoryEnd(programPath);
    if (end < 0) return;
    const char separator = programPath[end];
    programPath[end] = '\0';
    changeDirectory(programPath);  // unchecked: data paths then resolve from where we started
    programPath[end] = separator;
}

void changeToProgramDirectory(char* programPath) {
#ifndef _WIN32
    // The running program itself, links resolved: argv[0] may be a link in another folder, or
    // no path at all when started through PATH.
    char selfPath[4096];
    const ssize_t length = readlink("/proc/self/exe", selfPath, sizeof selfPath - 1);
    if (length > 0) {
        selfPath[length] = '\0';
        changeToDirectoryOf(selfPath);
        return;
    }
#endif
    changeToDirectoryOf(programPath);
}

void setEnvironment(const char* assignment) {
#ifdef _WIN32
    _putenv(assignment);
#else
    char name[128];
    const char* equals = strchr(assignment, '=');
    if (equals == nullptr || static_cast<size_t>(equals - assignment) >= sizeof name) return;
    memcpy(name, assignment, equals - assignment);
    name[equals - assignment] = '\0';
    setenv(name, equals + 1, 1);
#endif
}

unsigned chooseRefreshRate(const DisplayMode& current, const DisplayMode* modes, size_t count, unsigned wanted) {
    unsigned best = 0;
    for (size_t i = 0; i < count; ++i) {
        const DisplayMode& m = modes[i];
        if (m.width != current.width || m.height != current.height || m.depth != current.depth) continue;
        if (m.rate > best && m.rate <= wanted) best = m.rate;
    }
    return best;
}
