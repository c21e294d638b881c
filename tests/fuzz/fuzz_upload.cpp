// An upload as the leaderboard reads it: the name, the body's size, counts, the forwarded
// address, the verifier's line, and the escaping of what it sends back. The first byte says how
// much of the rest is the name.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "server/checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t split = 1 + std::min<size_t>(data[0], size - 1);
    const std::string raw(reinterpret_cast<const char*>(data) + 1, split - 1);
    const std::string rest(reinterpret_cast<const char*>(data) + split, size - split);

    // A name taken is what was sent, trimmed, towers of marks cut, and taken again unchanged. It
    // is never only joiners and blank fillers, nor holds three accents in a row.
    std::string name, again, why;
    if (scores::cleanName(raw, name, why)) {
        FUZZ_CHECK(!name.empty() && name.size() <= raw.size());
        std::string seen = name;
        for (const char* blank : {"\u200d", "\u200c", "\u034f", "\u3164", "\u2800", "\u115f", "\uffa0", "\ufe0f"})
            for (size_t at; (at = seen.find(blank)) != std::string::npos;) seen.erase(at, strlen(blank));
        FUZZ_CHECK(seen.find_first_not_of(' ') != std::string::npos);
        for (size_t i = 0; i + 5 < name.size(); ++i)
            FUZZ_CHECK(!(name[i] == '\xCC' && name[i + 2] == '\xCC' && name[i + 4] == '\xCC'));
        FUZZ_CHECK(name.front() != ' ' && name.back() != ' ');
        FUZZ_CHECK(scores::cleanName(name, again, why) && again == name);
    } else {
        FUZZ_CHECK(!why.empty());
    }
    FUZZ_CHECK(scores::tapeSizeFits(rest.size(), why) == (rest.size() >= 1 && rest.size() <= 1024 * 1024));

    // A count is digits within its bound; an address to count uploads by is one plain piece.
    int64_t count = -1;
    if (scores::parseCount(raw, 1000000, count))
        FUZZ_CHECK(count >= 0 && count <= 1000000 && raw.find_first_not_of("0123456789") == std::string::npos);
    const std::string address = scores::lastForwarded(rest);
    FUZZ_CHECK(address.size() <= 64 && address.find(',') == std::string::npos);
    FUZZ_CHECK(address.empty() ||
               (address.find_first_of(" \t") != 0 && address.back() != ' ' && address.back() != '\t'));

    // A verdict read is one that reads back the same from its own line.
    scores::Verdict verdict, reread;
    if (scores::parseVerdict(rest, verdict)) {
        FUZZ_CHECK(scores::parseVerdict(verdictLine(verdict), reread) && reread.score == verdict.score &&
                   reread.frames == verdict.frames && reread.library == verdict.library &&
                   reread.version == verdict.version && reread.framesPerSecond == verdict.framesPerSecond &&
                   reread.pressesPerSecond == verdict.pressesPerSecond && reread.gameKey == verdict.gameKey &&
                   verdict.score >= 0 && verdict.frames >= 0 && verdict.gameKey.size() == 64);
    }

    // Nothing sent back can open a tag, close an attribute or end a JSON string early.
    const std::string html = scores::escapeHtml(rest);
    FUZZ_CHECK(html.find_first_of("<>\"'") == std::string::npos);
    const std::string json = scores::jsonString(rest);
    FUZZ_CHECK(json.size() >= 2 && json.front() == '"' && json.back() == '"');
    for (size_t i = 1; i + 1 < json.size(); ++i) {
        const unsigned char c = json[i];
        FUZZ_CHECK(c >= 0x20 && c != 0x7F && c != '<');
        if (c == '\\')
            ++i;  // an escape: the next character is its own
        else
            FUZZ_CHECK(c != '"');
    }
    return 0;
}
