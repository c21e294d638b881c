#include "persist/settings.h"

#include <cstdio>
#include <cstring>

#include "game/state.h"
#include "persist/best_score.h"
#include "persist/file_place.h"
#include "persist/line_reader.h"
#include "platform/program.h"

struct SettingKey {
    const char* name;
    int32_t* value;
};

// Keys are matched by position: the n-th content line against the n-th key.
static void settingKeys(SettingKey keys[6]) {
    keys[0] = {"SCREEN_WIDTH", &game.screenWidth};
    keys[1] = {"SCREEN_HEIGHT", &game.screenHeight};
    keys[2] = {"BPP", &game.bitsPerPixel};
    keys[3] = {"FULLSCREEN", &game.fullscreen};
    keys[4] = {"SOUNDS", &game.soundVolume};
    keys[5] = {"MUSIC", &game.musicVolume};
}

int matchSetting(const char* line, const char* key, int32_t* value) {
    const size_t keyLength = strlen(key);
    if (strncmp(line, key, keyLength) != 0 || line[keyLength] != ':') return 0;
    return matchNumber(line + keyLength + 1, value);
}

void readConfig(FILE* file) {
    SettingKey keys[6];
    settingKeys(keys);
    char line[LINE_BUFFER_SIZE];
    for (const SettingKey& key : keys) {
        readContentLine(file, line);  // once the file is exhausted nothing matches
        matchSetting(line, key.name, key.value);
    }
}

static void loadConfig(const char* configPath, bool report) {
    char path[4096];
    chooseFileToRead(configPath, PLAYER_SETTINGS, path, sizeof path);
    FILE* file = openGameFile(path, "r");
    if (file == nullptr) {
        if (report) printf("Could not load config from %s", configPath);
        return;
    }
    readConfig(file);
    fclose(file);
}

void loadSettings(const char* configPath) {
    loadBestScore(&game.bestScore);
    loadConfig(configPath, true);
}

void loadReplaySettings(const char* configPath) { loadConfig(configPath, false); }

static void formatConfig(char* text, size_t size) {
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
             game.screenWidth, game.screenHeight, game.bitsPerPixel, game.fullscreen, game.soundVolume,
             game.musicVolume);
}

void saveSettings(const char* configPath, const std::vector<uint8_t>& bestGame) {
    saveBestScore(game.bestScore, bestGame);
    char text[1024];
    formatConfig(text, sizeof text);
    if (saveGameFile(configPath, PLAYER_SETTINGS, text) != 0) printf("Could not save config to %s", configPath);
}

bool namesSavedFile(const char* path, const char* configPath) {
    return namesGameFile(path, "data\\hiscore.txt", PLAYER_DATA) ||
           namesGameFile(path, "data\\best.replay", PLAYER_DATA) || namesGameFile(path, configPath, PLAYER_SETTINGS);
}

void tidySavedFiles(const char* configPath) {
    tidyGameFile("data\\hiscore.txt", PLAYER_DATA);
    tidyGameFile("data\\best.replay", PLAYER_DATA);
    tidyGameFile(configPath, PLAYER_SETTINGS);
}
