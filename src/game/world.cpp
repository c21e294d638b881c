#include "game/world.h"

#include <cstdlib>
#include <cstring>

#include "game/state.h"
#include "persist/line_reader.h"
#include "platform/fatal.h"
#include "platform/program.h"

static const char* const MAP_ERROR = "chyba pri nacitani mapy: %s\n";

// Pair k of a wall line: left wall, then bottom wall. A short line has no walls where it ends.
static void readWallRow(const char* line, int row) {
    const size_t length = strlen(line);
    for (int k = 0; k < WORLD_SIZE; ++k) {
        SectorInfo& sector = game.world[k][row];
        sector.wallLeft = static_cast<size_t>(2 * k) < length && line[2 * k] == '1';
        sector.wallBottom = static_cast<size_t>(2 * k + 1) < length && line[2 * k + 1] == '1';
    }
}

// Eight fields, each ended by ';'. A missing field or a level the table has no row for
// would make the rules read past the table, so the file is refused instead.
static bool readLevelRow(const char* line, int row) {
    const char* field = line;
    for (int k = 0; k < WORLD_SIZE; ++k) {
        const char* end = strchr(field, ';');
        if (end == nullptr) return false;
        const long level = strtol(field, nullptr, 10);  // stops at the ";" by itself
        if (level < 0 || level >= LEVEL_ROWS) return false;
        game.world[k][row].level = static_cast<uint8_t>(level);
        field = end + 1;
    }
    return true;
}

int parseWorld(FILE* file) {
    char line[LINE_BUFFER_SIZE];
    for (int row = 0; row < WORLD_SIZE; ++row) {
        if (readContentLine(file, line) == 0) return -1;
        readWallRow(line, row);
    }
    for (int row = 0; row < WORLD_SIZE; ++row) {
        if (readContentLine(file, line) == 0 || !readLevelRow(line, row)) return -1;
    }
    return 0;
}

void loadWorld(const char* path) {
    FILE* file = openGameFile(path, "r");
    if (file == nullptr) fatal("ERROR opening file %s\n", path);
    const int result = parseWorld(file);
    fclose(file);
    if (result != 0) fatal(MAP_ERROR, path);
}
