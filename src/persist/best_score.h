// The best score kept across starts of the program.
#pragma once

#include <cstdio>

// Reads the number from the first content line of an open file, if there is one.
void readBestScore(FILE* file);

// Reads the best score; prints the load message when the file cannot be opened.
void loadBestScore();

// Writes the best score; prints the save message when that fails.
void saveBestScore();

