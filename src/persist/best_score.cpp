#include "persist/best_score.h"

#include "platform/program.h"
#include "game/state.h"
#include "persist/file_place.h"
#include "persist/line_reader.h"
#include "replay/session.h"

#include <cstdio>

static const char* const HISCORE_PATH = "data\\hiscore.txt";

void readBestScore(FILE* file) {
    char line[LINE_BUFFER_SIZE];
    readContentLine(file, line);
    int32_t value;
    // A negative number is kept as its two's complement, above any reachable score.
    if (matchNumber(line, &value)) game.bestScore = static_cast<uint32_t>(value);
}

void loadBestScore() {
    char path[4096];
    chooseFileToRead(HISCORE_PATH, PLAYER_DATA, path, sizeof path);
    FILE* file = openGameFile(path, "r");
    if (file == nullptr) {
        fputs("Could not load hiscore from data\\hiscore.txt", stdout);
        return;
    }
    readBestScore(file);
    fclose(file);
}

void saveBestScore() {
    char text[16];
    snprintf(text, sizeof text, "%d", static_cast<int32_t>(game.bestScore));
    if (saveGameFile(HISCORE_PATH, PLAYER_DATA, text) != 0)
        fputs("Could not save hiscore to data\\hiscore.txt", stdout);
    else
        saveBestReplay(game.bestScore);
}
