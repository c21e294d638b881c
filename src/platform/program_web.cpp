// The program's folder in a web page: the data is preloaded at /data in the page's memory, the
// files the game saves live in the browser's storage (see player_folder_web.cpp), and a page
// cannot end itself.
#include <emscripten.h>
#include <unistd.h>

#include "platform/paths.h"
#include "platform/program.h"

FILE* openGameFile(const char* gamePath, const char* mode) { return fopen(nativePath(gamePath).text, mode); }

// The page's file system holds the game at its root.
int changeToProgramDirectory(char*) { return chdir("/") == 0; }

// The only variable the game sets places its window, and a page has no window to place.
void setEnvironment(const char*) {}

// The page's file system has one root, where the game runs.
int absolutePath(const char* path, char* out, size_t size) {
    return snprintf(out, size, "%s%s", path[0] == '/' ? "" : "/", path) < static_cast<int>(size);
}

// A page is never hung up on; closing it is handled by saveWhenLeft.
void endOnHangUp() {}

void ignoreClosedOutput() {}

static void (*saveAll)() = nullptr;

void saveWhenLeft(void (*save)()) { saveAll = save; }

Build thisBuild() { return BUILD_WEB; }

// A page has nowhere to go when the game quits: it saves, and the caller carries on.
void endProgram() {
    if (saveAll != nullptr) saveAll();
}

void programLeft() {
    if (saveAll != nullptr) saveAll();
}
