// The best score kept across starts of the program.
#pragma once

#include <cstdio>

// Reads the number from the first content line of an open file, if there is one.
void readBestScore(FILE* file);

// Reads the best score; prints the load message when the file cannot be opened.
void loadBestScore();

// What saveBestScore did with the file.
enum BestScoreSave {
    BEST_SCORE_RAISED,     // the file held a lower score, or none: it holds ours now
    BEST_SCORE_HELD,       // the file holds our score or a higher one (another game's) and keeps it
    BEST_SCORE_NOT_SAVED,  // the file could not be written; the save message was printed
};

// Writes the best score unless the file already holds a higher one: a best score on disk
// never goes down, whichever of two games exits last. An equal score is written again, so the
// file is back in its standard form.
BestScoreSave saveBestScore();
