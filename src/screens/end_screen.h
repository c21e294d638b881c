// The screen between runs: the last picture of the run held still, then the result and its
// strip until Space or Start, then the next character's run or, after the third, the title menu.
#pragma once

// Called by the rules when a run ends, at the goal or on the last fall (game/engine.h declares
// it for them).
void runEndScreen();

// The result on screen, read by the web page: n of the picture's result messages
// (LIST_MESSAGE + n: 0 this character reached the goal, 1 it did not, 2 + k: k characters of
// the game did), or -1 while the end screen shows none.
int shownResult();
