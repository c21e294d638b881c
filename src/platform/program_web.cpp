// The program's folder in a web page: the data is preloaded at /data in the page's memory, the
// files the game saves live in the browser's storage (see player_folder_web.cpp), and a page
// cannot end itself.
#include "platform/program.h"

#include "platform/paths.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <emscripten.h>

FILE* openGameFile(const char* gamePath, const char* mode) { return fopen(nativePath(gamePath).text, mode); }

// The page's file system holds the game at its root.
int changeToProgramDirectory(char*) { return chdir("/") == 0; }

void setEnvironment(const char* assignment) {
    char name[128];
    const char* equals = strchr(assignment, '=');
    if (equals == nullptr || static_cast<size_t>(equals - assignment) >= sizeof name) return;
    memcpy(name, assignment, equals - assignment);
    name[equals - assignment] = '\0';
    setenv(name, equals + 1, 1);
}

// A page is never hung up on; closing it is handled by saveWhenLeft.
void endOnHangUp() {}

static void (*saveAll)() = nullptr;

void saveWhenLeft(void (*save)()) { saveAll = save; }

// A page has nowhere to go when the game quits: it saves, and the caller carries on.
void endProgram() {
    if (saveAll != nullptr) saveAll();
}

// The page calls this when it is hidden or closed: no exit handler runs in a page.
extern "C" EMSCRIPTEN_KEEPALIVE void zk_page_left() {
    if (saveAll != nullptr) saveAll();
}
