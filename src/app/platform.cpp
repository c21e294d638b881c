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
    bool hasSeparator = strchr(programPath, '/') != nullptr || strchr(programPath, '\\') != nullptr;
#ifndef _WIN32
    if (!hasSeparator) {
        // Started through PATH: argv[0] says nothing about where the program lies.
        char selfPath[4096];
        ssize_t length = readlink("/proc/self/exe", selfPath, sizeof selfPath - 1);
        if (length > 0) {
            selfPath[length] = '\0';
            changeToDirectoryOf(selfPath);
        }
        return;
    }
#endif
    (void)hasSeparator;
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

int replaceFile(const char* sourceGamePath, const char* targetGamePath) {
    const NativePath source = nativePath(sourceGamePath);
    const NativePath target = nativePath(targetGamePath);
#ifdef _WIN32
    // rename never replaces an existing file on Windows.
    return MoveFileExA(source.text, target.text, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : -1;
#else
    return rename(source.text, target.text);
#endif
}

void syncFile(FILE* file) {
    fflush(file);
#ifdef _WIN32
    _commit(_fileno(file));
#else
    fsync(fileno(file));
#endif
}

void removeGameFile(const char* gamePath) { remove(nativePath(gamePath).text); }

unsigned chooseRefreshRate(const DisplayMode& current, const DisplayMode* modes, size_t count, unsigned wanted) {
    unsigned best = 0;
    for (size_t i = 0; i < count; ++i) {
        const DisplayMode& m = modes[i];
        if (m.width != current.width || m.height != current.height || m.depth != current.depth) continue;
        if (m.rate > best && m.rate <= wanted) best = m.rate;
    }
    return best;
}
