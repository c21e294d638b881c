// A recorded session: what the clock and the event queue told the game, call by call, with
// what else the game needs to play it again (seed, World, full-screen flag). Kept compact in
// memory and written as it is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/state.h"
#include "platform/game_event.h"

// One answer the game got from the engine.
enum TapeCallKind : uint8_t { CALL_TICKS, CALL_POLL, CALL_WAIT };

struct TapeCall {
    TapeCallKind kind;
    uint32_t ticks;   // CALL_TICKS: the clock reading
    GameEvent event;  // CALL_POLL, CALL_WAIT
};

// What a session needs besides its calls.
struct TapeHeader {
    std::string version;                         // the game's version that recorded it
    uint32_t randPrint[4];                       // rand() after srand(1): which C library drew the numbers
    uint32_t seed;                               // the srand seed of the session
    uint8_t fullscreen;                          // a regained focus rebuilds the graphics, which reads the clock
    uint8_t world[WORLD_SIZE * WORLD_SIZE * 3];  // per sector, x major: wallBottom, wallLeft, level
    uint64_t watchFrom;                          // calls before this one are the run-up to the game worth watching
    uint64_t calls;                              // calls on the tape
    uint64_t swaps;                              // frames shown while it was recorded
    uint32_t finalScore;                         // the score when the tape ends
    uint32_t bestScore;                          // the best score the HUD showed when it began
};

// Appends calls in their compact form: a frame's clock, empty poll and clock in one byte,
// runs of the same step counted once.
class TapeWriter {
   public:
    void add(const TapeCall& call);
    // Writes out everything pending, so the body so far ends on a whole call.
    void flush();
    const std::vector<uint8_t>& body() const { return bytes; }
    uint64_t calls() const { return callCount; }

   private:
    void emit(const uint8_t* op, size_t length);
    void emitPending(size_t count);
    void closeRun();
    std::vector<uint8_t> bytes;
    TapeCall pending[3];
    size_t pendingCount = 0;
    uint32_t writtenTicks = 0;  // the reading the next written delta counts from
    uint8_t lastOp[16];
    size_t lastOpLength = 0;
    uint64_t repeats = 0;
    uint64_t callCount = 0;
};

// Reads the calls of a body back one by one.
class TapeReader {
   public:
    TapeReader(const uint8_t* body, size_t length) : at(body), end(body + length) {}
    // 1 with the next call, 0 at the end of the body, -1 when the body is damaged.
    int next(TapeCall& call);

   private:
    int decodeOp();
    const uint8_t* at;
    const uint8_t* end;
    TapeCall expanded[3];
    size_t expandedCount = 0;
    size_t expandedAt = 0;
    uint64_t repeatsLeft = 0;
    uint32_t ticks = 0;
};

// The whole file for a header and a body.
std::vector<uint8_t> encodeTape(const TapeHeader& header, const uint8_t* body, size_t bodyLength);

// Checks a whole file and splits it; on failure returns false with a short reason in `why`.
// `version` and `randPrint` are this program's own, which a foreign file does not match.
bool decodeTape(const uint8_t* data, size_t length, const std::string& version, const uint32_t randPrint[4],
                TapeHeader& header, const uint8_t*& body, size_t& bodyLength, std::string& why);
// The same for a program that can draw random numbers with any of `printCount` generators:
// `drawnBy` tells which one's print the file carries.
bool decodeTapeOfAny(const uint8_t* data, size_t length, const std::string& version, const uint32_t (*prints)[4],
                     size_t printCount, size_t& drawnBy, TapeHeader& header, const uint8_t*& body, size_t& bodyLength,
                     std::string& why);

// FNV-1a over a byte range: a cut or damaged file does not keep its sum.
uint32_t tapeChecksum(const uint8_t* data, size_t length);
