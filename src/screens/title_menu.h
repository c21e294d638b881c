// The menu over the frozen game.
#pragma once

// Returns when play is to begin or go on.
void runTitleMenu();
