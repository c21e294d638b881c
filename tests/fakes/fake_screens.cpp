// The screens, counted instead of run, for tests of the rules that open them.
#include "fakes.h"
#include "game/engine.h"
#include "screens/title_menu.h"

void runEndScreen() { ++fake.endScreens; }

// Like the real menu, reads the queue empty: `event` is left holding the last event read.
void runTitleMenu(GameEvent& event) {
    ++fake.titleMenus;
    while (pollEvent(event)) {
    }
}
