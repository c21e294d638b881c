// Texture slots, the block of display lists, and the set-up that makes them.
#pragma once

#include <cstdint>

enum TextureSlot {
    TEX_BACKGROUND = 1,
    TEX_TILE = 2,
    TEX_FIGURE = 3,        // + character
    TEX_DYING_FIGURE = 6,  // + character
    TEX_MAP_CELL = 9,
    TEX_MAP_GOAL = 10,
    TEX_MAP_PLAYER = 11,
    TEX_FRAME_EDGE = 12,
    TEX_PANEL = 13,
    TEX_FRAME_CORNER = 14,
    TEX_FRAME_INNER_CORNER = 15,
    TEX_MENU = 16,
    TEX_SPRITES = 17,
    TEX_END_TEXT = 18,
    TEX_FONT = 19,
};

enum DisplayList {
    LIST_BACKGROUND = 0,
    LIST_TILE_CRUMBLING = 11,  // stages 1..10 are lists 1..10
    LIST_DIGIT = 12,           // + digit
    LIST_FIGURE = 22,          // + facing
    LIST_BONUS = 26,
    LIST_HEART = 27,
    LIST_MAP_CELL = 28,
    LIST_MAP_GOAL = 29,
    LIST_MAP_PLAYER = 30,
    LIST_MAP_WALL_BOTTOM = 31,
    LIST_MAP_WALL_LEFT = 32,
    LIST_EDGE_LEFT = 33,
    LIST_EDGE_RIGHT = 34,
    LIST_EDGE_TOP = 35,
    LIST_EDGE_BOTTOM = 36,
    LIST_CORNER_BOTTOM_LEFT = 37,
    LIST_CORNER_TOP_LEFT = 38,
    LIST_CORNER_BOTTOM_RIGHT = 39,
    LIST_CORNER_TOP_RIGHT = 40,
    LIST_INNER_CORNER_TOP_RIGHT = 45,
    LIST_INNER_CORNER_TOP_LEFT = 46,
    LIST_INNER_CORNER_BOTTOM_LEFT = 47,
    LIST_INNER_CORNER_BOTTOM_RIGHT = 48,
    LIST_PAGE_3 = 49,
    LIST_PAGE_2 = 50,
    LIST_PAGE_1 = 51,
    LIST_PANEL = 52,
    LIST_LOGO = 53,
    LIST_GOAL_TILE = 54,
    LIST_STRIP_END_OF_GAME = 55,
    LIST_STRIP_NEXT_CHARACTER = 56,
    LIST_MESSAGE = 57,  // + message 0..5
    LIST_MENU_BACKGROUND = 63,
    LIST_MENU_LABEL = 64,  // + item, + 6 for the highlighted label
    LIST_COUNT = 76,
};

// Viewport, projection, all textures and lists (releasing an earlier set first), then a fresh
// frame clock. Ends the program when a picture cannot be loaded.
void setUpGraphics();

void callList(int list);  // list n of the block
void resetView();         // back to the untranslated view

// Loads the font texture and compiles the digit lists.
void buildFontLists();

// Releases one texture name.
void deleteTexture(uint32_t name);

// Releases the lists and every texture; safe to call when nothing was made.
void releaseGraphics();
