// From nothing to a ready game: settings, SDL, audio, World, window, graphics.
#pragma once

// Runs once, first thing in main; every failure it cannot live with ends through fatal.
void startUp(char* programPath);
