// What the verifier judges besides the score: that the game was played at a person's pace,
// from the tape alone, and which game it was, whatever else the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "replay/tape.h"
#include "verdict/verdict.h"

// Before the first call: what makes two games with the same calls the same game.
void judgeStart(const char* library, uint32_t seed, const uint8_t* world, size_t worldBytes);

// Each call as the replay plays it, with the score as it stood before it; each frame shown.
// False, with the rule broken and where in `why`, for a tape no person could have played.
bool judgeCall(const TapeCall& call, uint32_t score, std::string& why);
bool judgeFrame(std::string& why);

// At the end of a replay in step: its pace and the key of the game that scored `score`.
void judgeEnd(uint32_t score, Verdict& verdict);
