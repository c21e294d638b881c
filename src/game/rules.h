// The per-frame rule step: ageing, refilling, items and the death test.
#pragma once

#include <cstdint>

const uint32_t SCORE_CEILING = 99999999;

// One rule step; the caller has just advanced the frame clock.
void updateRules();

// The best score becomes the score when the score is higher (unsigned comparison).
void raiseBestScore();
