// The entry routine: start up, fill the Board, show the title menu, then play frame by frame.
#include "app/frame_loop.h"
#include "app/startup.h"
#include "game/state.h"
#include "platform/engine.h"
#include "platform/install_layout.h"

// On Windows SDL renames main so that its entry glue runs first and calls it.
#include <SDL.h>

int main(int argc, char* argv[]) {
    (void)argc;
#ifdef ZK_SYSTEM_DATA_FOLDER
    // Built for a system-wide install: data in its own folder, the player's files at home.
    useSystemInstall(ZK_SYSTEM_DATA_FOLDER);
#endif
    startUp(argv[0]);
    fillBoard();
    runTitleMenu();
    for (;;) runFrame();
}
