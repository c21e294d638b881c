// The one exit path: release, save, shut SDL down.
#pragma once

// Registered with atexit right after SDL starts; runs on every exit, fatal ones included.
void shutdownHandler();

// Ends the process after the display went away: status 1 and both files saved, without the
// clean-up that would wait on the vanished display for ever.
void endWithoutDisplay();

// The best score with the game in progress, and the settings, saved now: for hosts that may
// drop the program without its exit handler (see saveWhenLeft).
void saveProgress();

// While held, the exit writes neither file: the game has not found its own folder.
void holdSaves(bool held);
