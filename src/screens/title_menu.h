// The menu over the frozen game.
#pragma once

#include "platform/game_event.h"

// Returns when play is to begin or go on, with the last event it read in `event`: the whole
// queue is read, so a key pressed behind the one that closed the menu is there for the game.
void runTitleMenu(GameEvent& event);
