// The World file: walls and level numbers of the 8 x 8 sectors.
#pragma once

#include <cstdio>

// Reads 16 data lines from an open file into the World. Returns 0, or -1 when lines are
// missing, a level line has fewer than eight fields, or a level has no row in the table.
int parseWorld(FILE* file);

// Reads the file into the World; a missing or damaged file ends the program with its message.
void loadWorld(const char* path);
