#include "persist/line_reader.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

// Some Windows editors begin a text file with a UTF-8 byte-order mark; it is not part of the
// first line. A file that merely begins like one is read from its start again.
static void skipByteOrderMark(FILE* file) {
    if (ftell(file) != 0) return;
    if (fgetc(file) == 0xEF && fgetc(file) == 0xBB && fgetc(file) == 0xBF) return;
    fseek(file, 0, SEEK_SET);
    clearerr(file);  // a read error met while looking is met again by the line reader itself
}

// Reads one line, taking at most `*budget` characters from the file; what it takes comes off
// the budget.
static void readLineWithin(FILE* file, char* buffer, long* budget) {
    skipByteOrderMark(file);
    int length = 0;
    while (*budget > 0) {
        --*budget;  // line ends count too: an endless run of them must end as well
        const int c = fgetc(file);
        if (c == EOF || c == '\n' || c == '\r') break;
        // Characters past the buffer are dropped: nothing the game reads lies that far out.
        if (length < LINE_BUFFER_SIZE - 1) buffer[length++] = static_cast<char>(c);
    }
    buffer[length] = '\0';
}

static bool isSkipped(const char* line) { return line[0] == '\0' || line[0] == '#'; }

int readContentLine(FILE* file, char* buffer) {
    long budget = LINE_READ_LIMIT;
    readLineWithin(file, buffer, &budget);
    while (isSkipped(buffer) && budget > 0 && !feof(file) && !ferror(file)) readLineWithin(file, buffer, &budget);
    return isSkipped(buffer) ? 0 : 1;
}

int matchNumber(const char* line, int32_t* value) {
    const char* p = line;
    while (isspace(static_cast<unsigned char>(*p))) ++p;
    const char* digits = (*p == '+' || *p == '-') ? p + 1 : p;
    if (!isdigit(static_cast<unsigned char>(*digits))) return 0;
    errno = 0;
    long long parsed = strtoll(p, nullptr, 10);
    // Numbers beyond 32 bits saturate rather than wrap into nonsense.
    if (parsed > INT32_MAX) parsed = INT32_MAX;
    if (parsed < INT32_MIN) parsed = INT32_MIN;
    *value = static_cast<int32_t>(parsed);
    return 1;
}
