// The end of a run: the frozen picture, the result, and on to the next character or the menu.
#pragma once

// Shows the end of the current run, waits for Space, then starts the next run or, after the
// third character, opens the title menu.
void runEndScreen();
