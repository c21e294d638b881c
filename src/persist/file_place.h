// Where the two saved files live: beside the program, as always, wherever that file can be
// written; otherwise, and always in a program built for a system-wide install, in the
// player's own folder.
#pragma once

#include <cstddef>

#include "platform/player_folder.h"

// The file to read for `gamePath`: the game's own path when that file can be written there,
// else the player's copy when one exists, else the game's own path for its starting values.
// A system-wide install skips the first choice.
void chooseFileToRead(const char* gamePath, PlayerFolder folder, char* path, size_t size);

// The file a save of `gamePath` goes to: the game's own path when that file can be written
// there and the program was not built for a system-wide install, else the player's copy.
// Returns 0 when there is neither (no player folder).
int chooseFileToSave(const char* gamePath, PlayerFolder folder, char* path, size_t size);

// Writes `text` to `gamePath`, or to the player's copy when `gamePath` cannot be written or
// the program was built for a system-wide install.
// Returns 0 when the text is saved in one of the two places.
int saveGameFile(const char* gamePath, PlayerFolder folder, const char* text);

// The same for bytes that must reach the file unchanged (no line-end translation).
int saveGameFileBytes(const char* gamePath, PlayerFolder folder, const void* data, size_t size);

// Removes `gamePath` beside the program and the player's copy.
void removeGameFile(const char* gamePath, PlayerFolder folder);

// 1 when `path` is the file `gamePath`, beside the program or the player's copy.
bool namesGameFile(const char* path, const char* gamePath, PlayerFolder folder);

// Removes the temporary files that saves cut short left beside `gamePath` and the player's copy.
void tidyGameFile(const char* gamePath, PlayerFolder folder);
