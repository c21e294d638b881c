// data\hiscore.txt: the first content line's number becomes the best score, or nothing changes.
#include <cstdint>

#include "fuzz_support.h"
#include "game/state.h"
#include "persist/best_score.h"

namespace {

void checkReadBestScore(FILE* file, const uint8_t* data, size_t readable) {
    resetGameState();
    const uint32_t previous = 4242;
    game.bestScore = previous;
    const RecordSnapshot before;
    readBestScore(file, &game.bestScore);
    fclose(file);
    FUZZ_CHECK(before.unchangedOutside({FIELD_RANGE(bestScore)}));

    uint32_t expected = previous;
    const std::vector<std::string> lines = contentLines(data, readable);
    int32_t value;
    // Negative numbers keep their two's complement on purpose.
    if (!lines.empty() && referenceNumber(lines[0].c_str(), &value)) expected = static_cast<uint32_t>(value);
    FUZZ_CHECK(game.bestScore == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    withEachFile(data, size, [&](FILE* file, size_t readable) { checkReadBestScore(file, data, readable); });
    return 0;
}
