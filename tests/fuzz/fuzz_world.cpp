// data\world.txt: a World the rules can use, or a refusal. A level past the table's last row
// would send the rules reading beyond it, so that is the invariant that matters most.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "game/levels.h"
#include "game/state.h"
#include "game/world.h"

namespace {

// Fields ended by ';'; a field's number is read like strtol would, no digits meaning 0.
bool referenceLevels(const std::string& line, uint8_t levels[WORLD_SIZE]) {
    size_t field = 0;
    for (int k = 0; k < WORLD_SIZE; ++k) {
        const size_t end = line.find(';', field);
        if (end == std::string::npos) return false;
        int32_t level = 0;
        referenceNumber(line.c_str() + field, &level);
        if (level < 0 || level >= LEVEL_ROWS) return false;
        levels[k] = static_cast<uint8_t>(level);
        field = end + 1;
    }
    return true;
}

void checkParseWorld(FILE* file, const uint8_t* data, size_t readable) {
    resetGameState();
    initLevelTable();
    const RecordSnapshot before;
    const int result = parseWorld(file);
    fclose(file);
    FUZZ_CHECK(result == 0 || result == -1);
    FUZZ_CHECK(before.unchangedOutside({FIELD_RANGE(world)}));
    if (result == 0) {
        for (int x = 0; x < WORLD_SIZE; ++x)
            for (int y = 0; y < WORLD_SIZE; ++y) {
                FUZZ_CHECK(game.world[x][y].level < LEVEL_ROWS);
                FUZZ_CHECK(game.world[x][y].level < game.levelCount);
            }
    }

    // The same file read line by line without the game's reader.
    const std::vector<std::string> lines = contentLines(data, readable);
    bool valid = lines.size() >= 2 * WORLD_SIZE;
    uint8_t levels[WORLD_SIZE][WORLD_SIZE] = {};  // [row][column]
    for (int row = 0; valid && row < WORLD_SIZE; ++row) valid = referenceLevels(lines[WORLD_SIZE + row], levels[row]);
    FUZZ_CHECK(valid == (result == 0));
    if (!valid) return;
    for (int y = 0; y < WORLD_SIZE; ++y) {
        const std::string& walls = lines[y];
        for (int x = 0; x < WORLD_SIZE; ++x) {
            const SectorInfo& sector = game.world[x][y];
            FUZZ_CHECK(sector.wallLeft == (walls.size() > size_t(2 * x) && walls[2 * x] == '1'));
            FUZZ_CHECK(sector.wallBottom == (walls.size() > size_t(2 * x + 1) && walls[2 * x + 1] == '1'));
            FUZZ_CHECK(sector.level == levels[y][x]);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    withEachFile(data, size, [&](FILE* file, size_t readable) { checkParseWorld(file, data, readable); });
    return 0;
}
