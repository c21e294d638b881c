#include "replay/tape.h"

#include <cstring>

// Op codes of the body. A frame op holds a clock reading, an empty poll and a second reading:
// the first delta (0..31, the frame) in its low five bits, the second (0..3, the poll and the
// step) in bits 5 and 6.
static const uint8_t OP_FRAME_LAST = 0x7F;
static const uint8_t OP_TICKS = 0x80;  // varint delta
static const uint8_t OP_EMPTY_POLL = 0x81;
static const uint8_t OP_POLL = 0x82;         // event
static const uint8_t OP_WAIT = 0x83;         // event; type 0 is a failed wait
static const uint8_t OP_REPEAT = 0x84;       // varint: the op before, that many times more
static const uint8_t OP_SHORT_TICKS = 0xC0;  // delta 0..63 in the low six bits

static const char MAGIC[4] = {'Z', 'K', 'R', 'P'};
static const uint8_t FORMAT = 1;
// Longer runs than this come only from a damaged file: a run of four billion calls is more
// than a day of the fastest spin the game has.
static const uint64_t LONGEST_RUN = 0xFFFFFFFFu;
static const uint64_t MOST_CALLS = uint64_t(1) << 40;

static void putVarint(std::vector<uint8_t>& out, uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<uint8_t>(value));
}

static bool getVarint(const uint8_t*& at, const uint8_t* end, uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (at == end) return false;
        const uint8_t byte = *at++;
        value |= uint64_t(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return shift < 63 || byte <= 1;
    }
    return false;
}

uint32_t tapeChecksum(const uint8_t* data, size_t length) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < length; ++i) hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

static bool getEvent(const uint8_t*& at, const uint8_t* end, GameEvent& event) {
    event = GameEvent{};
    if (at == end) return false;
    event.type = *at++;
    if (event.type == EVENT_KEY_DOWN || event.type == EVENT_KEY_UP) {
        uint64_t sym, mod;
        if (!getVarint(at, end, sym) || !getVarint(at, end, mod) || sym > 0xFFFF || mod > 0xFFFF) return false;
        event.sym = static_cast<uint16_t>(sym);
        event.mod = static_cast<uint16_t>(mod);
    } else if (event.type == EVENT_ACTIVE) {
        if (end - at < 2) return false;
        event.gain = *at++;
        event.state = *at++;
    }
    return true;
}

// --- writing ---------------------------------------------------------------------------------

static bool isEmptyPoll(const TapeCall& call) { return call.kind == CALL_POLL && call.event.type == 0; }

// The op after a run is written whole, even the same again: a run never follows a run.
void TapeWriter::closeRun() {
    if (repeats == 0) return;
    bytes.push_back(OP_REPEAT);
    putVarint(bytes, repeats);
    repeats = 0;
    lastOpLength = 0;
}

void TapeWriter::emit(const uint8_t* op, size_t length) {
    if (length == lastOpLength && memcmp(op, lastOp, length) == 0 && repeats < LONGEST_RUN) {
        ++repeats;
        return;
    }
    closeRun();
    bytes.insert(bytes.end(), op, op + length);
    memcpy(lastOp, op, length);
    lastOpLength = length;
}

// One op as it is written; the longest (an event with two 16-bit varints) takes 8 bytes.
struct OpBytes {
    uint8_t bytes[16];
    size_t length = 0;
    void put(uint8_t byte) { bytes[length++] = byte; }
    void putVarint(uint64_t value) {
        while (value >= 0x80) {
            put(static_cast<uint8_t>(value | 0x80));
            value >>= 7;
        }
        put(static_cast<uint8_t>(value));
    }
};

// Writes the first `count` pending calls one op each; no allocation but the body's growth.
void TapeWriter::emitPending(size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const TapeCall& call = pending[i];
        OpBytes op;
        if (call.kind == CALL_TICKS) {
            const uint32_t delta = call.ticks - writtenTicks;
            writtenTicks = call.ticks;
            if (delta < 64) {
                op.put(static_cast<uint8_t>(OP_SHORT_TICKS | delta));
            } else {
                op.put(OP_TICKS);
                op.putVarint(delta);
            }
        } else if (isEmptyPoll(call)) {
            op.put(OP_EMPTY_POLL);
        } else {
            op.put(call.kind == CALL_POLL ? OP_POLL : OP_WAIT);
            op.put(call.event.type);
            if (call.event.type == EVENT_KEY_DOWN || call.event.type == EVENT_KEY_UP) {
                op.putVarint(call.event.sym);
                op.putVarint(call.event.mod);
            } else if (call.event.type == EVENT_ACTIVE) {
                op.put(call.event.gain);
                op.put(call.event.state);
            }
        }
        emit(op.bytes, op.length);
    }
    for (size_t i = count; i < pendingCount; ++i) pending[i - count] = pending[i];
    pendingCount -= count;
}

// Whether the pending calls can still grow into a frame op.
static bool framePrefix(const TapeCall* calls, size_t count, uint32_t from) {
    if (count >= 1 && (calls[0].kind != CALL_TICKS || calls[0].ticks - from > 31)) return false;
    if (count >= 2 && !isEmptyPoll(calls[1])) return false;
    if (count >= 3 && (calls[2].kind != CALL_TICKS || calls[2].ticks - calls[0].ticks > 3)) return false;
    return true;
}

void TapeWriter::add(const TapeCall& call) {
    ++callCount;
    pending[pendingCount++] = call;
    while (pendingCount > 0 && !framePrefix(pending, pendingCount, writtenTicks)) emitPending(1);
    if (pendingCount < 3) return;
    const uint8_t op =
        static_cast<uint8_t>((pending[0].ticks - writtenTicks) | (pending[2].ticks - pending[0].ticks) << 5);
    writtenTicks = pending[2].ticks;
    pendingCount = 0;
    emit(&op, 1);
}

void TapeWriter::flush() {
    emitPending(pendingCount);
    closeRun();
}

// --- reading ---------------------------------------------------------------------------------

// Reads one op (not a repeat) into `calls`, deltas in place of clock readings.
static bool parseOp(const uint8_t*& at, const uint8_t* end, TapeCall* calls, size_t& count) {
    const uint8_t code = *at++;
    count = 1;
    calls[0] = TapeCall{};
    if (code <= OP_FRAME_LAST) {
        calls[0].kind = CALL_TICKS;
        calls[0].ticks = code & 0x1F;
        calls[1] = TapeCall{};
        calls[1].kind = CALL_POLL;
        calls[2] = TapeCall{};
        calls[2].kind = CALL_TICKS;
        calls[2].ticks = code >> 5;
        count = 3;
        return true;
    }
    if (code >= OP_SHORT_TICKS) {
        calls[0].kind = CALL_TICKS;
        calls[0].ticks = code & 0x3F;
        return true;
    }
    uint64_t delta;
    switch (code) {
        case OP_TICKS:
            calls[0].kind = CALL_TICKS;
            if (!getVarint(at, end, delta) || delta > 0xFFFFFFFFu) return false;
            calls[0].ticks = static_cast<uint32_t>(delta);
            return true;
        case OP_EMPTY_POLL: calls[0].kind = CALL_POLL; return true;
        case OP_POLL: calls[0].kind = CALL_POLL; return getEvent(at, end, calls[0].event) && calls[0].event.type != 0;
        case OP_WAIT: calls[0].kind = CALL_WAIT; return getEvent(at, end, calls[0].event);
        default: return false;
    }
}

int TapeReader::decodeOp() {
    if (at == end) return 0;
    if (*at == OP_REPEAT) {
        ++at;
        uint64_t count;
        if (expandedCount == 0 || !getVarint(at, end, count) || count == 0 || count > LONGEST_RUN) return -1;
        repeatsLeft = count;
        return 1;
    }
    if (!parseOp(at, end, expanded, expandedCount)) return -1;
    expandedAt = 0;
    return 1;
}

int TapeReader::next(TapeCall& call) {
    while (expandedAt == expandedCount) {
        if (repeatsLeft > 0) {
            --repeatsLeft;
            expandedAt = 0;
            continue;
        }
        const int read = decodeOp();
        if (read <= 0) return read;
    }
    call = expanded[expandedAt++];
    if (call.kind == CALL_TICKS) {
        ticks += call.ticks;
        call.ticks = ticks;
    }
    return 1;
}

static uint64_t clockOf(const TapeCall* calls, size_t count) {
    uint64_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        if (calls[i].kind == CALL_TICKS) sum += calls[i].ticks;
    return sum;
}

// Counts the calls of a body, runs by multiplication, so a long run costs nothing. A run of
// frames or of a moving clock is never longer than the frames shown, and the clock never runs
// past what a 32-bit reading can hold: a file that says otherwise was made to keep a replay
// going for hours. Runs of events and of single readings of a clock that stands still have no
// such bound: a key held during a pause repeats without a frame, and the Windows and web builds
// read the same millisecond thousands of times while they wait for the next one. The viewer's
// keys and signals stop such a run at any call. Kept: version 1.1.0 wrote a run straight after
// a run of the same op when a recording was cut in the middle of it; the two read as one run.
static bool countCalls(const uint8_t* at, const uint8_t* end, uint64_t frames, uint64_t& total) {
    total = 0;
    uint64_t clock = 0, lastClock = 0, run = 0;
    size_t lastCount = 0;
    bool lastWasEvent = false;
    TapeCall calls[3];
    while (at != end) {
        if (*at == OP_REPEAT) {
            ++at;
            uint64_t count;
            if (lastCount == 0 || !getVarint(at, end, count) || count == 0 || count > LONGEST_RUN) return false;
            run += count;
            if (run > frames && !lastWasEvent && (lastCount > 1 || lastClock != 0)) return false;
            total += count * lastCount;
            clock += count * lastClock;
        } else {
            lastWasEvent = *at == OP_WAIT || *at == OP_POLL;
            if (!parseOp(at, end, calls, lastCount)) return false;
            total += lastCount;
            lastClock = clockOf(calls, lastCount);
            clock += lastClock;
            run = 0;
        }
        if (total > MOST_CALLS || clock > 0xFFFFFFFFu) return false;
    }
    return true;
}

// --- the file --------------------------------------------------------------------------------

std::vector<uint8_t> encodeTape(const TapeHeader& header, const uint8_t* body, size_t bodyLength) {
    std::vector<uint8_t> out(MAGIC, MAGIC + 4);
    out.push_back(FORMAT);
    out.push_back(static_cast<uint8_t>(header.version.size()));
    out.insert(out.end(), header.version.begin(), header.version.end());
    for (uint32_t value : header.randPrint) putVarint(out, value);
    putVarint(out, header.seed);
    out.push_back(header.fullscreen);
    out.insert(out.end(), header.world, header.world + sizeof header.world);
    putVarint(out, header.watchFrom);
    putVarint(out, header.calls);
    putVarint(out, header.swaps);
    putVarint(out, header.finalScore);
    putVarint(out, header.bestScore);
    putVarint(out, bodyLength);
    out.insert(out.end(), body, body + bodyLength);
    const uint32_t sum = tapeChecksum(out.data(), out.size());
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(sum >> shift));
    return out;
}

static bool fail(std::string& why, const char* reason) {
    why = reason;
    return false;
}

static bool getU32(const uint8_t*& at, const uint8_t* end, uint32_t& value) {
    uint64_t wide;
    if (!getVarint(at, end, wide) || wide > 0xFFFFFFFFu) return false;
    value = static_cast<uint32_t>(wide);
    return true;
}

static bool worldInRange(const uint8_t* world) {
    for (int sector = 0; sector < WORLD_SIZE * WORLD_SIZE; ++sector)
        if (world[3 * sector] > 1 || world[3 * sector + 1] > 1 || world[3 * sector + 2] >= LEVEL_ROWS) return false;
    return true;
}

static bool readCounts(const uint8_t*& at, const uint8_t* end, TapeHeader& header) {
    return getVarint(at, end, header.watchFrom) && getVarint(at, end, header.calls) &&
           getVarint(at, end, header.swaps) && getU32(at, end, header.finalScore) && getU32(at, end, header.bestScore);
}

static bool findPrint(const uint32_t print[4], const uint32_t (*prints)[4], size_t printCount, size_t& found) {
    for (found = 0; found < printCount; ++found)
        if (memcmp(print, prints[found], sizeof prints[found]) == 0) return true;
    return false;
}

bool decodeTape(const uint8_t* data, size_t length, const std::string& version, const uint32_t randPrint[4],
                TapeHeader& header, const uint8_t*& body, size_t& bodyLength, std::string& why) {
    size_t drawnBy;
    return decodeTapeOfAny(data, length, version, reinterpret_cast<const uint32_t(*)[4]>(randPrint), 1, drawnBy, header,
                           body, bodyLength, why);
}

bool decodeTapeOfAny(const uint8_t* data, size_t length, const std::string& version, const uint32_t (*prints)[4],
                     size_t printCount, size_t& drawnBy, TapeHeader& header, const uint8_t*& body, size_t& bodyLength,
                     std::string& why) {
    // Magic, format, version length and checksum at least, so the reads below stay inside.
    if (length < 4 + 1 + 1 + 4 || memcmp(data, MAGIC, 4) != 0) return fail(why, "not a Zembrak replay");
    const uint8_t* end = data + length - 4;
    uint32_t stored = 0;
    for (int i = 0; i < 4; ++i) stored |= uint32_t(end[i]) << (8 * i);
    const uint8_t* at = data + 4;
    if (*at++ != FORMAT) return fail(why, "made by another version of Zembrak");
    const size_t versionLength = *at++;
    if (static_cast<size_t>(end - at) < versionLength) return fail(why, "cut short or damaged");
    header.version.assign(reinterpret_cast<const char*>(at), versionLength);
    at += versionLength;
    for (uint32_t& value : header.randPrint)
        if (!getU32(at, end, value)) return fail(why, "cut short or damaged");
    if (!getU32(at, end, header.seed) || end - at < static_cast<ptrdiff_t>(1 + sizeof header.world))
        return fail(why, "cut short or damaged");
    header.fullscreen = *at++;
    memcpy(header.world, at, sizeof header.world);
    at += sizeof header.world;
    uint64_t declared;
    if (!readCounts(at, end, header) || !getVarint(at, end, declared) || declared != static_cast<uint64_t>(end - at))
        return fail(why, "cut short or damaged");
    if (tapeChecksum(data, length - 4) != stored) return fail(why, "cut short or damaged");
    if (header.version != version) return fail(why, "made by another version of Zembrak");
    if (!findPrint(header.randPrint, prints, printCount, drawnBy))
        return fail(why, "made with another C library's random numbers");
    uint64_t calls;
    if (header.fullscreen > 1 || !worldInRange(header.world) || !countCalls(at, end, header.swaps, calls) ||
        calls != header.calls || header.watchFrom > calls)
        return fail(why, "damaged");
    body = at;
    bodyLength = static_cast<size_t>(end - at);
    return true;
}
