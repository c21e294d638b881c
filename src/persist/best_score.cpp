#include "persist/best_score.h"

#include <cstdint>
#include <cstdio>

#include "game/state.h"
#include "persist/file_place.h"
#include "persist/line_reader.h"
#include "platform/program.h"
#include "replay/session.h"

static const char* const HISCORE_PATH = "data\\hiscore.txt";

// 1 with the number of the file's first content line in `score`, 0 when there is none.
static int scoreIn(FILE* file, uint32_t* score) {
    char line[LINE_BUFFER_SIZE];
    readContentLine(file, line);
    int32_t value;
    if (!matchNumber(line, &value)) return 0;
    // A negative number is kept as its two's complement, above any reachable score.
    *score = static_cast<uint32_t>(value);
    return 1;
}

void readBestScore(FILE* file) { scoreIn(file, &game.bestScore); }

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

// What the file the save would replace holds now: another game may have raised it meanwhile.
static uint32_t scoreOnDisk() {
    char path[4096];
    if (!chooseFileToSave(HISCORE_PATH, PLAYER_DATA, path, sizeof path)) return 0;
    FILE* file = openGameFile(path, "r");
    if (file == nullptr) return 0;
    uint32_t value = 0;
    scoreIn(file, &value);
    fclose(file);
    return value;
}

BestScoreSave saveBestScore() {
    const uint32_t onDisk = scoreOnDisk();
    if (onDisk > game.bestScore) return BEST_SCORE_HELD;  // a game that ran alongside scored higher: it stays
    char text[16];
    snprintf(text, sizeof text, "%d", static_cast<int32_t>(game.bestScore));
    if (saveGameFile(HISCORE_PATH, PLAYER_DATA, text) != 0) {
        fputs("Could not save hiscore to data\\hiscore.txt", stdout);
        return BEST_SCORE_NOT_SAVED;
    }
    saveBestReplay(game.bestScore);  // only when a game of this session made the score written
    return onDisk == game.bestScore ? BEST_SCORE_HELD : BEST_SCORE_RAISED;
}
