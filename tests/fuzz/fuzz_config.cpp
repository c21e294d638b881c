// config.txt as the player may have edited it: the six settings by position, nothing else touched.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "game/state.h"
#include "persist/line_reader.h"
#include "persist/settings.h"

namespace {

const char* const KEYS[6] = {"SCREEN_WIDTH", "SCREEN_HEIGHT", "BPP", "FULLSCREEN", "SOUNDS", "MUSIC"};

int32_t* settingField(int index) {
    int32_t* const fields[6] = {&game.screenWidth, &game.screenHeight, &game.bitsPerPixel,
                                &game.fullscreen,  &game.soundVolume,  &game.musicVolume};
    return fields[index];
}

bool referenceSetting(const std::string& line, const char* key, int32_t* value) {
    const std::string prefix = std::string(key) + ":";
    return line.compare(0, prefix.size(), prefix) == 0 && referenceNumber(line.c_str() + prefix.size(), value);
}

void checkReadConfig(FILE* file, const uint8_t* data, size_t readable) {
    resetGameState();
    const RecordSnapshot before;
    readConfig(file, game);
    fclose(file);
    FUZZ_CHECK(before.unchangedOutside({FIELD_RANGE(screenWidth), FIELD_RANGE(screenHeight), FIELD_RANGE(bitsPerPixel),
                                        FIELD_RANGE(fullscreen), FIELD_RANGE(soundVolume), FIELD_RANGE(musicVolume)}));

    // The n-th content line sets the n-th key or nothing; a line for another key is lost.
    int32_t expected[6] = {800, 600, 32, 1, 128, 100};
    const std::vector<std::string> lines = contentLines(data, readable);
    for (size_t k = 0; k < 6 && k < lines.size(); ++k) referenceSetting(lines[k], KEYS[k], &expected[k]);
    for (int k = 0; k < 6; ++k) FUZZ_CHECK(*settingField(k) == expected[k]);
}

void checkMatchers(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* line = text.c_str();  // up to the first null byte

    int32_t value = 12345, expected = 12345;
    const bool matched = matchNumber(line, &value) == 1;
    FUZZ_CHECK(matched == referenceNumber(line, &expected));
    FUZZ_CHECK(value == expected);  // untouched without a match

    for (const char* key : KEYS) {
        value = expected = -777;
        const bool settingMatched = matchSetting(line, key, &value) == 1;
        FUZZ_CHECK(settingMatched == referenceSetting(line, key, &expected));
        FUZZ_CHECK(value == expected);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    withEachFile(data, size, [&](FILE* file, size_t readable) { checkReadConfig(file, data, readable); });
    checkMatchers(data, size);
    return 0;
}
