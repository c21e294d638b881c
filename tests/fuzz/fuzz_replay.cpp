// Replay files: whatever the bytes, the reader refuses them or hands over a body that reads back
// exactly the calls its header counts. (Calls written and read back: the random sessions of
// tests/unit/replay_test.cpp, with every edge number.)
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "replay/tape.h"

namespace {

// The calls a body holds, as many as the header says, read one by one.
void checkAccepted(const TapeHeader& header, const uint8_t* body, size_t length) {
    TapeReader reader(body, length);
    TapeCall call;
    uint64_t calls = 0;
    const uint64_t readable = header.calls < 200000 ? header.calls : 200000;
    while (calls < readable && reader.next(call) == 1) ++calls;
    FUZZ_CHECK(calls == readable);
    if (readable == header.calls) FUZZ_CHECK(reader.next(call) == 0);
}

// Decodes with the version and C library the file names itself, so the checks behind those
// are reached too.
void checkFile(const uint8_t* data, size_t size) {
    TapeHeader header;
    const uint8_t* body = nullptr;
    size_t length = 0;
    std::string why;
    const uint32_t none[4] = {};
    if (decodeTape(data, size, "", none, header, body, length, why)) checkAccepted(header, body, length);
    const std::string version = header.version;
    uint32_t print[4];
    for (int i = 0; i < 4; ++i) print[i] = header.randPrint[i];
    if (decodeTape(data, size, version, print, header, body, length, why)) {
        FUZZ_CHECK(body >= data && body + length <= data + size);
        checkAccepted(header, body, length);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkFile(data, size);
    // The same bytes with a sum that fits them: the checks behind the checksum.
    if (size >= 4) {
        std::vector<uint8_t> summed(data, data + size);
        const uint32_t sum = tapeChecksum(summed.data(), size - 4);
        for (int i = 0; i < 4; ++i) summed[size - 4 + i] = static_cast<uint8_t>(sum >> (8 * i));
        checkFile(summed.data(), summed.size());
    }
    return 0;
}
