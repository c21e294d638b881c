#include "persist/settings.h"

#include <cstdio>
#include <cstring>

#include "persist/best_score.h"
#include "persist/file_place.h"
#include "persist/line_reader.h"
#include "platform/program.h"

struct SettingKey {
    const char* name;
    int32_t* value;
};

// Keys are matched by position: the n-th content line against the n-th key.
static void settingKeys(Settings& s, SettingKey keys[6]) {
    keys[0] = {"SCREEN_WIDTH", &s.screenWidth};
    keys[1] = {"SCREEN_HEIGHT", &s.screenHeight};
    keys[2] = {"BPP", &s.bitsPerPixel};
    keys[3] = {"FULLSCREEN", &s.fullscreen};
    keys[4] = {"SOUNDS", &s.soundVolume};
    keys[5] = {"MUSIC", &s.musicVolume};
}

int matchSetting(const char* line, const char* key, int32_t* value) {
    const size_t keyLength = strlen(key);
    if (strncmp(line, key, keyLength) != 0 || line[keyLength] != ':') return 0;
    return matchNumber(line + keyLength + 1, value);
}

void readConfig(FILE* file, Settings& settings) {
    SettingKey keys[6];
    settingKeys(settings, keys);
    char line[LINE_BUFFER_SIZE];
    for (const SettingKey& key : keys) {
        readContentLine(file, line);  // once the file is exhausted nothing matches
        matchSetting(line, key.name, key.value);
    }
}

static void loadConfig(const char* configPath, Settings& settings, bool report) {
    char path[4096];
    chooseFileToRead(configPath, PLAYER_SETTINGS, path, sizeof path);
    FILE* file = openGameFile(path, "r");
    if (file == nullptr) {
        if (report) printf("Could not load config from %s", configPath);
        return;
    }
    readConfig(file, settings);
    fclose(file);
}

void loadSettings(const char* configPath, Settings& settings, uint32_t* bestScore) {
    loadBestScore(bestScore);
    loadConfig(configPath, settings, true);
}

void loadReplaySettings(const char* configPath, Settings& settings) { loadConfig(configPath, settings, false); }

static void formatConfig(const Settings& s, char* text, size_t size) {
    snprintf(text, size,
             "# soubor nastaveni (defaultni hodnoty)\n\n# rozliseni sirka (800)\n"
             "SCREEN_WIDTH: %d\n\n"
             "# rozliseni vyska (600)\n"
             "SCREEN_HEIGHT: %d\n\n"
             "# barevna hloubka v bitech (32)\n"
             "BPP: %d\n\n"
             "# 1 - fullscren, 0 - okno (1)\n"
             "FULLSCREEN: %d\n\n"
             "# 0 - zvuky vypnute, 128 - maximalni hlasitost zvuku (128)\n"
             "SOUNDS: %d\n\n"
             "# 0 - hudba vypnuta, 128 - maximalni hlasitost hudby (100)\n"
             "MUSIC: %d",
             s.screenWidth, s.screenHeight, s.bitsPerPixel, s.fullscreen, s.soundVolume, s.musicVolume);
}

void saveSettings(const char* configPath, const Settings& settings, uint32_t bestScore,
                  const std::vector<uint8_t>& bestGame) {
    saveBestScore(bestScore, bestGame);
    char text[1024];
    formatConfig(settings, text, sizeof text);
    if (saveGameFile(configPath, PLAYER_SETTINGS, text) != 0) printf("Could not save config to %s", configPath);
}

bool namesSavedFile(const char* path, const char* configPath) {
    return namesGameFile(path, HISCORE_PATH, PLAYER_DATA) || namesGameFile(path, BEST_GAME_PATH, PLAYER_DATA) ||
           namesGameFile(path, configPath, PLAYER_SETTINGS);
}

void tidySavedFiles(const char* configPath) {
    tidyGameFile(HISCORE_PATH, PLAYER_DATA);
    tidyGameFile(BEST_GAME_PATH, PLAYER_DATA);
    tidyGameFile(configPath, PLAYER_SETTINGS);
}
