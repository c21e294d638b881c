// What the page reads of the game.
#include <emscripten.h>

#include "game/state.h"

// The best score so far: when it rises, the page offers the best game to the leaderboard.
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t zk_best_score() { return game.bestScore; }
