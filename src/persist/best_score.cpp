#include "persist/best_score.h"

#include "persist/file_place.h"
#include "persist/line_reader.h"
#include "platform/program.h"
#include "platform/save_file.h"

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

void readBestScore(FILE* file, uint32_t* best) { scoreIn(file, best); }

void loadBestScore(uint32_t* best) {
    char path[4096];
    chooseFileToRead(HISCORE_PATH, PLAYER_DATA, path, sizeof path);
    FILE* file = openGameFile(path, "r");
    if (file == nullptr) {
        printf("Could not load hiscore from %s", HISCORE_PATH);
        return;
    }
    readBestScore(file, best);
    fclose(file);
}

// What the file the save would replace holds now: another game may have raised it meanwhile.
static uint32_t scoreOnDisk(const char* path) {
    FILE* file = openGameFile(path, "r");
    if (file == nullptr) return 0;
    uint32_t value = 0;
    scoreIn(file, &value);
    fclose(file);
    return value;
}

static BestScoreSave saveLocked(uint32_t best, const std::vector<uint8_t>& bestGame, const char* path) {
    const uint32_t onDisk = path != nullptr ? scoreOnDisk(path) : 0;
    if (onDisk > best) return BEST_SCORE_HELD;  // a game that ran alongside scored higher: it stays
    char text[16];
    snprintf(text, sizeof text, "%d", static_cast<int32_t>(best));
    if (saveGameFile(HISCORE_PATH, PLAYER_DATA, text) != 0) {
        printf("Could not save hiscore to %s", HISCORE_PATH);
        return BEST_SCORE_NOT_SAVED;
    }
    // The replay of a lower score is no longer the best game, whether or not ours takes its place.
    if (onDisk < best) removeGameFile(BEST_GAME_PATH, PLAYER_DATA);
    if (!bestGame.empty() && saveGameFileBytes(BEST_GAME_PATH, PLAYER_DATA, bestGame.data(), bestGame.size()) != 0)
        printf("Could not save replay to %s", BEST_GAME_PATH);
    return onDisk == best ? BEST_SCORE_HELD : BEST_SCORE_RAISED;
}

BestScoreSave saveBestScore(uint32_t best, const std::vector<uint8_t>& bestGame) {
    char path[4096];
    const bool placed = chooseFileToSave(HISCORE_PATH, PLAYER_DATA, path, sizeof path) != 0;
    // Two games ending together (a logout) take turns, so the higher score and its replay stay.
    const int lock = lockSaveFolder(placed ? path : HISCORE_PATH);
    const BestScoreSave result = saveLocked(best, bestGame, placed ? path : nullptr);
    unlockSaveFolder(lock);
    return result;
}
