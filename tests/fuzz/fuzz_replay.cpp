// Replay files: whatever the bytes, the reader refuses them or hands over a body that reads back
// exactly the calls its header counts; and any calls written read back the same.
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

// The bytes as calls: kind, then a clock step or an event.
std::vector<TapeCall> callsFrom(const uint8_t* data, size_t size) {
    std::vector<TapeCall> calls;
    uint32_t clock = 0;
    for (size_t i = 0; i + 2 < size; i += 3) {
        TapeCall call = {};
        call.kind = static_cast<TapeCallKind>(data[i] % 3);
        if (call.kind == CALL_TICKS) {
            clock += data[i + 1] < 200 ? data[i + 1] % 8 : static_cast<uint32_t>(data[i + 2]) << (data[i + 1] % 24);
            call.ticks = clock;
        } else if (data[i + 1] % 2 == 1) {
            static const uint8_t types[] = {1, 2, 3, 12, 17};
            call.event.type = types[data[i + 2] % 5];
            if (call.event.type == 2 || call.event.type == 3) {
                call.event.sym = static_cast<uint16_t>(data[i + 2] * 257);
                call.event.mod = data[i + 1];
            } else if (call.event.type == 1) {
                call.event.gain = data[i + 2] & 1;
                call.event.state = data[i + 1];
            }
        }
        calls.push_back(call);
    }
    return calls;
}

bool same(const TapeCall& a, const TapeCall& b) {
    return a.kind == b.kind && (a.kind != CALL_TICKS || a.ticks == b.ticks) && a.event.type == b.event.type &&
           a.event.sym == b.event.sym && a.event.mod == b.event.mod && a.event.gain == b.event.gain &&
           a.event.state == b.event.state;
}

void checkRoundTrip(const uint8_t* data, size_t size) {
    const std::vector<TapeCall> calls = callsFrom(data, size);
    TapeWriter writer;
    for (const TapeCall& call : calls) writer.add(call);
    writer.flush();
    TapeReader reader(writer.body().data(), writer.body().size());
    TapeCall read;
    for (const TapeCall& call : calls) FUZZ_CHECK(reader.next(read) == 1 && same(read, call));
    FUZZ_CHECK(reader.next(read) == 0);
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
    checkRoundTrip(data, size);
    return 0;
}
