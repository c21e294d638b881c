// The screen between runs: the last picture of the run held still, then the result and its
// strip until Space, then the next character's run or, after the third, the title menu.
#pragma once

// Called by the rules when a run ends, at the goal or on the last fall (game/engine.h declares
// it for them).
void runEndScreen();
