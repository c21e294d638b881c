// The player's own folders, for files that cannot be kept beside the program.
#pragma once

#include <cstddef>

enum PlayerFolder { PLAYER_SETTINGS, PLAYER_DATA };

// The player's copy of a file: $XDG_CONFIG_HOME/zembrak/<name> (settings) or
// $XDG_DATA_HOME/zembrak/<name> (data), by default below ~/.config and ~/.local/share, the
// home folder taken from the user database when HOME is unset; on
// Windows %APPDATA%\Zembrak\<name> for both. Returns 0 when the player has no such folder or
// the path does not fit. With `create` set, missing folders are made.
int playerFilePath(PlayerFolder folder, const char* name, char* path, size_t size, int create);
