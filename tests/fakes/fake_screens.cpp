// The screens, counted instead of run, for tests of the rules that open them.
#include "fakes.h"

void runEndScreen() { ++fake.endScreens; }
#include "platform/engine.h"

// Like the real menu, reads the queue empty: game.event is left holding the last event read.
void runTitleMenu() {
    ++fake.titleMenus;
    while (pollEvent()) {
    }
}
