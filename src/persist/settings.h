// The six settings of "config.txt" together with the best-score file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// The configuration beside the program; the player's copy takes its name.
const char* const CONFIG_PATH = "config.txt";

// The six settings, in the file's order.
struct Settings {
    int32_t screenWidth;
    int32_t screenHeight;
    int32_t bitsPerPixel;
    int32_t fullscreen;
    int32_t soundVolume;
    int32_t musicVolume;
};

// Reads "data\hiscore.txt" into `bestScore`, then the configuration at `configPath` into
// `settings`; a missing file prints its message and leaves the values as they were.
void loadSettings(const char* configPath, Settings& settings, uint32_t* bestScore);

// For a replay: the configuration only, silently; the best score comes with the replay and
// a timedemo prints nothing but its line.
void loadReplaySettings(const char* configPath, Settings& settings);

// Writes `bestScore` to "data\hiscore.txt" with `bestGame`, the replay of the game that made
// it (see saveBestScore), then `settings` to the configuration at `configPath`, each attempted
// whatever became of the other.
void saveSettings(const char* configPath, const Settings& settings, uint32_t bestScore,
                  const std::vector<uint8_t>& bestGame = std::vector<uint8_t>());

// Removes what saves cut short left beside "data\hiscore.txt", "data\best.replay" and the
// configuration at `configPath`, and beside the player's copies of them.
void tidySavedFiles(const char* configPath);

// 1 when `path` names "data\hiscore.txt", "data\best.replay" or the configuration at
// `configPath`, beside the program or the player's copies, by whatever links or "..".
bool namesSavedFile(const char* path, const char* configPath);

// Reads the six settings from an open file, by position.
void readConfig(FILE* file, Settings& settings);

// Matches "KEY: %d" the way the file has always been read: key in the first column, a
// colon, optional blanks, a signed number. Returns 1 and stores the value on a match.
int matchSetting(const char* line, const char* key, int32_t* value);
