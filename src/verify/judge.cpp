#include "verify/judge.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/game_event.h"

// The limits, from honest play measured (README, "How fast a person plays"):
// a window of frames must take this much clock at least: 10000 frames a second at most;
static const int FRAME_WINDOW = 200;
static const uint32_t LEAST_WINDOW_MS = 20;
// key presses the game reads while it plays or shows its menu, in any second of clock;
static const int MOST_PRESSES = 30;
static const uint32_t PRESS_WINDOW_MS = 1000;
// calls in a row while the clock stands still (a waiting build reads a millisecond ten
// thousand times; a key held during a pause repeats with no reading).
static const uint64_t MOST_STILL_CALLS = 1000000;

struct Pace {
    uint64_t frames = 0;
    uint32_t clock = 0;                          // the latest reading
    uint32_t frameClock[FRAME_WINDOW] = {};      // the clock at the last frames shown, a ring
    uint32_t fastestWindowMs = UINT32_MAX;       // the least clock any full window took
    uint32_t pressClock[MOST_PRESSES + 1] = {};  // the clock at the last presses, a ring
    uint64_t presses = 0;
    int peakPresses = 0;
    uint64_t stillCalls = 0;
};

// The calls of the scored game go into a key from the last time its score was 0 (the game's
// start, the menu before it, the run-up of earlier games left out) up to its last scoring call.
struct Key {
    GameKey base;     // the library, the seed and the World
    GameKey running;  // base, then the calls since the score was last 0
    GameKey scored;   // `running` as it was when the score last changed
    uint32_t scoredAt = 0;
    uint32_t clock = 0;  // readings go in as steps from the one before
};

static Pace pace;
static Key key;

void judgeStart(const char* library, uint32_t seed, const uint8_t* world, size_t worldBytes) {
    key.base.add(library, strlen(library) + 1);
    const uint8_t seedBytes[4] = {uint8_t(seed), uint8_t(seed >> 8), uint8_t(seed >> 16), uint8_t(seed >> 24)};
    key.base.add(seedBytes, sizeof seedBytes);
    key.base.add(world, worldBytes);
    key.running = key.scored = key.base;
}

static std::string where() {
    char text[80];
    snprintf(text, sizeof text, ", at frame %llu and %u.%03u s of its clock",
             static_cast<unsigned long long>(pace.frames), pace.clock / 1000, pace.clock % 1000);
    return text;
}

static void noteScore(uint32_t score) {
    if (score == 0) {
        key.running = key.scored = key.base;
    } else if (score != key.scoredAt) {
        key.scored = key.running;
    }
    key.scoredAt = score;
}

// What the game never reads leaves no trace in the key: an empty poll, a key let go, an event of
// a kind it has no use for. Copies that add or drop them play the same game.
static bool readByGame(const TapeCall& call) {
    const uint8_t type = call.event.type;
    return call.kind == CALL_TICKS || (type != EVENT_NONE && type != EVENT_KEY_UP && type != EVENT_OTHER);
}

static void addToKey(const TapeCall& call) {
    if (!readByGame(call)) return;
    uint8_t bytes[10] = {static_cast<uint8_t>(call.kind)};
    size_t length = 1;
    if (call.kind == CALL_TICKS) {
        const uint32_t step = call.ticks - key.clock;
        key.clock = call.ticks;
        for (int shift = 0; shift < 32; shift += 8) bytes[length++] = static_cast<uint8_t>(step >> shift);
    } else {
        const GameEvent& e = call.event;
        const uint8_t event[] = {e.type, uint8_t(e.sym), uint8_t(e.sym >> 8), uint8_t(e.mod), uint8_t(e.mod >> 8),
                                 e.gain, e.state};
        memcpy(bytes + 1, event, sizeof event);
        length += sizeof event;
    }
    key.running.add(bytes, length);
}

// A press the game reads as it plays or shows its menu, dated by the last reading. Presses it
// waits for (the end screen, a pause) move nothing and have no reading of their own.
static bool judgePress(std::string& why) {
    const int slot = static_cast<int>(pace.presses++ % (MOST_PRESSES + 1));
    pace.pressClock[slot] = pace.clock;
    int inWindow = 1;
    for (uint64_t back = 1; back <= MOST_PRESSES && back < pace.presses; ++back) {
        const uint32_t at = pace.pressClock[(pace.presses - 1 - back) % (MOST_PRESSES + 1)];
        if (pace.clock - at >= PRESS_WINDOW_MS) break;
        ++inWindow;
    }
    if (inWindow > pace.peakPresses) pace.peakPresses = inWindow;
    if (inWindow <= MOST_PRESSES) return true;
    why = "faster than a person: more than " + std::to_string(MOST_PRESSES) +
          " key presses in one second of the replay's clock" + where();
    return false;
}

bool judgeCall(const TapeCall& call, uint32_t score, std::string& why) {
    noteScore(score);
    addToKey(call);
    const bool moved = call.kind == CALL_TICKS && call.ticks != pace.clock;
    if (call.kind == CALL_TICKS) pace.clock = call.ticks;
    pace.stillCalls = moved ? 0 : pace.stillCalls + 1;
    if (pace.stillCalls > MOST_STILL_CALLS) {
        why = "out of proportion: more than " + std::to_string(MOST_STILL_CALLS) +
              " calls in a row while the replay's clock stands still" + where();
        return false;
    }
    if (call.kind == CALL_POLL && call.event.type == EVENT_KEY_DOWN) return judgePress(why);
    return true;
}

bool judgeFrame(std::string& why) {
    const int slot = static_cast<int>(pace.frames++ % FRAME_WINDOW);
    const uint32_t windowStart = pace.frameClock[slot];
    pace.frameClock[slot] = pace.clock;
    if (pace.frames <= FRAME_WINDOW) return true;
    const uint32_t took = pace.clock - windowStart;
    if (took < pace.fastestWindowMs) pace.fastestWindowMs = took;
    if (took >= LEAST_WINDOW_MS) return true;
    why = "faster than a person's machine: " + std::to_string(FRAME_WINDOW) + " frames in " + std::to_string(took) +
          " ms of the replay's clock (" + std::to_string(LEAST_WINDOW_MS) + " ms at least)" + where();
    return false;
}

void judgeEnd(uint32_t score, Verdict& verdict) {
    noteScore(score);
    verdict.gameKey = key.scored.hex();
    // A tape shorter than a window is measured whole, from its first frame.
    const uint64_t frames = pace.frames > FRAME_WINDOW ? FRAME_WINDOW : pace.frames;
    uint32_t took = pace.fastestWindowMs;
    if (pace.frames <= FRAME_WINDOW) took = pace.frames == 0 ? 0 : pace.clock - pace.frameClock[0];
    verdict.framesPerSecond = frames * 1000.0 / (took > 0 ? took : 1);
    verdict.pressesPerSecond = pace.peakPresses;
}
