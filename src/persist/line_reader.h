// Line readers shared by every text file the game reads.
#pragma once

#include <cstdint>
#include <cstdio>

const int LINE_BUFFER_SIZE = 256;

// Reads up to a line feed, carriage return or end of file; longer lines are cut at 255
// characters and the rest of the line is skipped. At end of file the line is empty. A UTF-8
// byte-order mark at the very start of the file is skipped.
void readRawLine(FILE* file, char* buffer);

// Skips empty and "#" lines. Returns 1 with a content line in the buffer, 0 when the file
// ended while the buffer still held an empty or comment line.
int readContentLine(FILE* file, char* buffer);

// Matches a leading "%d": optional blanks, optional sign, digits. Returns 1 on a match.
int matchNumber(const char* line, int32_t* value);
