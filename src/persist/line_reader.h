// Line readers shared by every text file the game reads.
#pragma once

#include <cstdint>
#include <cstdio>

const int LINE_BUFFER_SIZE = 256;

// Characters one read takes from a file at most: far more than any of the game's files holds,
// far less than memory. An endless stream (a link to /dev/zero, say) is read this far and then
// taken as ended, so it cannot hold up the start.
const long LINE_READ_LIMIT = 1L << 20;

// A line ends at a line feed, carriage return or end of file; longer lines are cut at 255
// characters and the rest of the line is skipped. A UTF-8 byte-order mark at the very start of
// the file is skipped. Skips empty and "#" lines. Returns 1 with a content line in the buffer,
// 0 when the file ended, or LINE_READ_LIMIT characters were read, while the buffer still held
// an empty or comment line.
int readContentLine(FILE* file, char* buffer);

// Matches a leading "%d": optional blanks, optional sign, digits. Returns 1 on a match.
int matchNumber(const char* line, int32_t* value);
