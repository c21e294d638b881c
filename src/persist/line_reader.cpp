#include "persist/line_reader.h"

void readRawLine(FILE* file, char* buffer) {
    int length = 0;
    for (int c = fgetc(file); c != EOF && c != '\n' && c != '\r'; c = fgetc(file)) {
        // Characters past the buffer are dropped: nothing the game reads lies that far out.
        if (length < LINE_BUFFER_SIZE - 1) buffer[length++] = static_cast<char>(c);
    }
    buffer[length] = '\0';
}

static bool isSkipped(const char* line) { return line[0] == '\0' || line[0] == '#'; }

int readContentLine(FILE* file, char* buffer) {
    readRawLine(file, buffer);
    while (isSkipped(buffer) && !feof(file) && !ferror(file)) readRawLine(file, buffer);
    return isSkipped(buffer) ? 0 : 1;
}
