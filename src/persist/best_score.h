// The best score kept across starts of the program, and the replay of the game that made it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// The game's own paths of the two files, beside the program; the player's copies take their
// last names.
const char* const HISCORE_PATH = "data\\hiscore.txt";
const char* const BEST_GAME_PATH = "data\\best.replay";

// Reads the number from the first content line of an open file into `best`, if there is one.
void readBestScore(FILE* file, uint32_t* best);

// Reads the best score into `best`; prints the load message when the file cannot be opened.
void loadBestScore(uint32_t* best);

// What saveBestScore did with the file.
enum BestScoreSave {
    BEST_SCORE_RAISED,     // the file held a lower score, or none: it holds ours now
    BEST_SCORE_HELD,       // the file holds our score or a higher one (another game's) and keeps it
    BEST_SCORE_NOT_SAVED,  // the file could not be written; the save message was printed
};

// Writes `best` unless the file already holds a higher one: a best score on disk never goes
// down, whichever of two games exits last. An equal score is written again, so the file is
// back in its standard form. With it goes `bestGame`, the replay file of the game that scored
// `best` (empty: none), as "data\best.replay". Other games that save meanwhile wait: the read,
// the comparison and both writes are one step, so the replay on file is the score's own.
BestScoreSave saveBestScore(uint32_t best, const std::vector<uint8_t>& bestGame);
