// The title menu: resume, new game, three picture pages, quit.
#pragma once

// Runs the menu over the frozen game; returns when play is to begin or go on.
void runTitleMenu();
