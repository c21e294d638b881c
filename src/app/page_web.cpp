// Everything the page calls in the game, in one place: cmake/web.cmake exports exactly the
// functions marked EMSCRIPTEN_KEEPALIVE here, read from this file.
#include <SDL.h>
#include <emscripten.h>

#include "game/state.h"
#include "input/pad_input.h"
#include "platform/program.h"
#include "screens/end_screen.h"
#include "screens/title_menu.h"

// The page is hidden or closed: the game saves now, as no exit handler runs in a page.
extern "C" EMSCRIPTEN_KEEPALIVE void zk_page_left() { programLeft(); }

// A touch control (numbered as TouchControl) pressed or let go `age` ms ago: repeats follow
// the touch's own time, not when the game got round to it.
extern "C" EMSCRIPTEN_KEEPALIVE void zk_touch(int control, int down, int age) {
    touchControl(control, down != 0, SDL_GetTicks() - static_cast<uint32_t>(age > 0 ? age : 0));
}

// The figures the page writes out as text beside the picture, readable on a phone and spoken
// by screen readers. The best score also tells the page when to offer the best game.
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t zk_best_score() { return game.bestScore; }
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t zk_score() { return game.score; }
extern "C" EMSCRIPTEN_KEEPALIVE int zk_lives() { return game.lives > 0 ? game.lives : 0; }
extern "C" EMSCRIPTEN_KEEPALIVE int zk_sector_level() { return game.world[game.sectorX][game.sectorY].level; }
extern "C" EMSCRIPTEN_KEEPALIVE int zk_end_result() { return shownResult(); }
extern "C" EMSCRIPTEN_KEEPALIVE int zk_menu_item() { return menuItemShown(); }
extern "C" EMSCRIPTEN_KEEPALIVE int zk_games_started() { return newGamesChosen(); }

// Times the Board has aged: the page's browser test and benchmark measure the game's pace and
// its pauses by it.
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t zk_board_ticks() { return game.boardTicks; }
