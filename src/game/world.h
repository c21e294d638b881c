// The World file: walls and level numbers of the 8 x 8 sectors.
#pragma once

// Reads the file into the World; a missing or damaged file ends the program with its message.
int loadWorld(const char* path);
