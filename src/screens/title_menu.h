// The menu over the frozen game.
#pragma once

#include "platform/game_event.h"

// Returns when play is to begin or go on, with the last event it read in `event`: the whole
// queue is read, so a key pressed behind the one that closed the menu is there for the game.
void runTitleMenu(GameEvent& event);

// The item highlighted while the menu is open, read by the web page: 0 Resume, 1 New Game,
// 2 to 4 the help pages, 5 Quit; -1 while it is closed.
int menuItemShown();

// How many times New Game was chosen since the program started, read by the web page.
int newGamesChosen();
