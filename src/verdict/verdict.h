// The verifier's verdict on a replay it played to its end, as one line: written by the verifier,
// read by the leaderboard. Includes nothing of the game or of the server, so both build it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct Verdict {
    int64_t score = 0;
    int64_t frames = 0;
    std::string library;  // the C library that drew its random numbers: "glibc", "msvcrt", "emscripten"
    std::string version;
    double framesPerSecond = 0;   // the fastest frames a second of the tape's clock, over a window of frames
    double pressesPerSecond = 0;  // the most key presses in one second of the tape's clock
    std::string gameKey;          // 64 hex digits naming the game scored, whatever else the file holds
};

// The pace measured, as the line and the board show it: `<f> frames/s, <p> presses/s`.
std::string verdictPace(const Verdict& verdict);
// `verified: score <n>, <frames> frames, <library>, version <v>, <f> frames/s, <p> presses/s,
// game <key>`; rates with one decimal.
std::string verdictLine(const Verdict& verdict);
// The verdict of such a line (a line end allowed); false for anything else.
bool parseVerdict(const std::string& line, Verdict& verdict);

// SHA-256, fed piece by piece; a copy carries on from where it was copied.
class GameKey {
   public:
    GameKey();
    void add(const void* bytes, size_t length);
    // The digest as 64 lowercase hex digits; this key is spent after.
    std::string hex();

   private:
    void compress(const uint8_t* block);
    uint32_t state[8];
    uint8_t block[64];
    size_t blockUsed = 0;
    uint64_t length = 0;
};
