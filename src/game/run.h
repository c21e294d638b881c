// Starting a run and a game.
#pragma once

// Starts the run of the current character in its corner with four spare lives.
void startRun();

// Starts a game with character 0 and a zero score.
void newGame();
