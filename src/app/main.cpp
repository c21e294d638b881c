// The entry routine: read the command line, start up, fill the Board, show the title menu,
// then play frame by frame.
#include "app/frame_loop.h"
#include "app/startup.h"
#include "game/state.h"
#include "platform/fatal.h"
#include "platform/install_layout.h"
#include "platform/program.h"
#include "platform/save_file.h"
#include "replay/session.h"
#include "screens/title_menu.h"

// On Windows SDL renames main so that its entry glue runs first and calls it.
#include <SDL.h>

#include <cstring>
#include <string>

static const char* const USAGE = "Usage: zembrak [--record FILE | --replay FILE | --timedemo FILE]";

// Before anything is drawn: a replay that cannot be played, or a recording that cannot be
// written, ends the program here with status 1.
static void chooseSession(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        const bool known =
            strcmp(option, "--record") == 0 || strcmp(option, "--replay") == 0 || strcmp(option, "--timedemo") == 0;
        if (!known) continue;  // the system may add arguments of its own
        if (i + 1 >= argc) fatal("%s", USAGE);
        const char* file = argv[++i];
        if (strcmp(option, "--record") == 0) {
            char path[4096];
            if (!absolutePath(file, path, sizeof path) || !canSaveFile(path)) fatal("Cannot record to %s.", file);
            recordTo(path);
            continue;
        }
        std::string why;
        const SessionMode mode = strcmp(option, "--replay") == 0 ? SESSION_WATCH : SESSION_TIMEDEMO;
        if (!loadReplay(file, mode, why)) fatal("Cannot play replay %s: %s.", file, why.c_str());
    }
}

int main(int argc, char* argv[]) {
    ignoreClosedOutput();
    chooseSession(argc, argv);
#ifdef ZK_SYSTEM_DATA_FOLDER
    // Built for a system-wide install: data in its own folder, the player's files at home.
    useSystemInstall(ZK_SYSTEM_DATA_FOLDER);
#endif
    startUp(argv[0]);
    fillBoard();
    GameEvent event = {};
    runTitleMenu(event);
    for (;;) runFrame();
}
