// Times the Board has aged, read by the page: the browser test and benchmark measure the
// game's pace through it.
#include <emscripten.h>

#include "game/state.h"

extern "C" EMSCRIPTEN_KEEPALIVE uint32_t zk_board_ticks() { return game.boardTicks; }
