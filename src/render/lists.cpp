#include "render/lists.h"

#include <SDL_opengl.h>

#include <algorithm>

#include "game/frame_clock.h"
#include "game/state.h"
#include "platform/sdl_io.h"
#include "render/textures.h"

// One corner of a quad: position in view units and the texture coordinate sent with it.
struct Corner {
    float x, y, s, t;
};

static void compileQuad(int list, int textureSlot, const Corner (&corners)[4]) {
    glNewList(game.displayListBase + list, GL_COMPILE);
    if (textureSlot != 0) glBindTexture(GL_TEXTURE_2D, game.textures[textureSlot]);
    glBegin(GL_QUADS);
    for (const Corner& c : corners) {
        glTexCoord2f(c.s, c.t);
        glVertex2f(c.x, c.y);
    }
    glEnd();
    glEndList();
}

void callList(int list) { glCallList(game.displayListBase + list); }

void resetView() { glLoadIdentity(); }

void deleteTexture(uint32_t name) { glDeleteTextures(1, &name); }

// Names are zeroed once released: a later set may be given the same names again.
void releaseGraphics() {
    if (game.displayListBase != 0) glDeleteLists(game.displayListBase, LIST_COUNT);
    game.displayListBase = 0;
    for (int slot = TEXTURE_SLOTS - 1; slot >= 1; --slot) {
        if (game.textures[slot] != 0) deleteTexture(game.textures[slot]);
        game.textures[slot] = 0;
    }
}

static void loadAllTextures() {
    uint32_t* t = game.textures;
    loadTexture(t[TEX_TILE], "data\\kruh.bmp", 1);
    loadTexture(t[TEX_BACKGROUND], "data\\bkground.jpg", 0);
    loadTexture(t[TEX_FIGURE + 0], "data\\panak.bmp", 1);
    loadMaskedTexture(t[TEX_FIGURE + 1], "data\\panak1.bmp", "data\\panak_a.bmp");
    loadMaskedTexture(t[TEX_FIGURE + 2], "data\\panak2.bmp", "data\\panak_a.bmp");
    loadMaskedTexture(t[TEX_DYING_FIGURE + 0], "data\\panak.bmp", "data\\panakd.bmp");
    loadMaskedTexture(t[TEX_DYING_FIGURE + 1], "data\\panak1.bmp", "data\\panakd.bmp");
    loadMaskedTexture(t[TEX_DYING_FIGURE + 2], "data\\panak2.bmp", "data\\panakd.bmp");
    loadTexture(t[TEX_MAP_CELL], "data\\pol1.bmp", 0);
    loadTexture(t[TEX_MAP_GOAL], "data\\pol2.bmp", 0);
    loadTexture(t[TEX_MAP_PLAYER], "data\\pol3.bmp", 0);
    loadTexture(t[TEX_FRAME_EDGE], "data\\okraj.bmp", 0);
    loadTexture(t[TEX_PANEL], "data\\panel.jpg", 0);
    loadTexture(t[TEX_FRAME_CORNER], "data\\roh.bmp", 0);
    loadTexture(t[TEX_FRAME_INNER_CORNER], "data\\roh1.bmp", 0);
    loadTexture(t[TEX_MENU], "data\\menu.jpg", 0);
    loadTexture(t[TEX_SPRITES], "data\\zembra.jpg", 1);
    loadTexture(t[TEX_END_TEXT], "data\\konec.jpg", 0);
}

void buildFontLists() {
    loadTexture(game.textures[TEX_FONT], "data\\font.bmp", 1);
    for (int d = 0; d <= 9; ++d) {
        const float left = d / 16.0f, right = (d + 1) / 16.0f;
        compileQuad(LIST_DIGIT + d, 0, {{0, 0, left, 1}, {0, 16, left, 0}, {16, 16, right, 0}, {16, 0, right, 1}});
    }
}

static void compileTileLists() {
    const float pitch = game.tilePitch;
    for (int stage = 1; stage <= 10; ++stage) {
        const float d = 3.6f * (stage - 1);  // each stage is 3.6 smaller on every side
        const float e = 0.700787f;
        compileQuad(stage, TEX_TILE,
                    {{pitch - d, d, e, e}, {d, d, 0, e}, {d, pitch - d, 0, 0}, {pitch - d, pitch - d, e, 0}});
    }
    compileQuad(LIST_TILE_CRUMBLING, TEX_SPRITES,
                {{pitch, 0, 1, 1}, {0, 0, 0.65098f, 1}, {0, pitch, 0.65098f, 0.65098f}, {pitch, pitch, 1, 0.65098f}});
    compileQuad(
        LIST_GOAL_TILE, TEX_SPRITES,
        {{pitch, 0, 1, 0.349019f}, {0, 0, 0.658823f, 0.349019f}, {0, pitch, 0.658823f, 0}, {pitch, pitch, 1, 0}});
}

// The figure picture faces its top edge; each list turns that edge to the facing side.
static void compileFigureLists() {
    const float a = 28.5f, b = 60.5f;
    compileQuad(LIST_FIGURE + DIR_RIGHT, 0, {{b, a, 0, 0}, {a, a, 0, 1}, {a, b, 1, 1}, {b, b, 1, 0}});
    compileQuad(LIST_FIGURE + DIR_DOWN, 0, {{b, a, 0, 0}, {a, a, 1, 0}, {a, b, 1, 1}, {b, b, 0, 1}});
    compileQuad(LIST_FIGURE + DIR_LEFT, 0, {{b, a, 1, 1}, {a, a, 1, 0}, {a, b, 0, 0}, {b, b, 0, 1}});
    // Kept: facing up shows the picture mirrored left to right.
    compileQuad(LIST_FIGURE + DIR_UP, 0, {{b, a, 0, 1}, {a, a, 1, 1}, {a, b, 1, 0}, {b, b, 0, 0}});
}

static void compileItemLists() {
    compileQuad(LIST_BONUS, TEX_SPRITES,
                {{61, 28.5f, 0.247059f, 1},
                 {29, 28.5f, 0.12549f, 1},
                 {29, 60.5f, 0.12549f, 0.878431f},
                 {61, 60.5f, 0.247059f, 0.878431f}});
    compileQuad(LIST_HEART, TEX_SPRITES,
                {{61.5f, 28.5f, 0.121569f, 1},
                 {29.5f, 28.5f, 0, 1},
                 {29.5f, 60.5f, 0, 0.878431f},
                 {61.5f, 60.5f, 0.121569f, 0.878431f}});
}

static void compileMapLists() {
    const float cell = game.mapCellPitch - game.mapCellGap;  // 20
    const float m = 0.612903f, w = 0.838709f;
    compileQuad(LIST_MAP_CELL, 0, {{0, 0, 0, m}, {0, cell, 0, 0}, {cell, cell, m, 0}, {cell, 0, m, m}});
    const float goalLow = 2 * game.mapCellGap + 1, goalHigh = game.mapCellPitch - 3 * game.mapCellGap + 1;
    compileQuad(
        LIST_MAP_GOAL, TEX_MAP_GOAL,
        {{goalLow, goalLow, 0, m}, {goalLow, goalHigh, 0, 0}, {goalHigh, goalHigh, m, 0}, {goalHigh, goalLow, m, m}});
    const float markLow = 2 * game.mapCellGap, markHigh = game.mapCellPitch - 3 * game.mapCellGap;
    compileQuad(
        LIST_MAP_PLAYER, TEX_MAP_PLAYER,
        {{markLow, markLow, 0, m}, {markLow, markHigh, 0, 0}, {markHigh, markHigh, m, 0}, {markHigh, markLow, m, m}});
    compileQuad(LIST_MAP_WALL_BOTTOM, TEX_MAP_CELL, {{0, -3, 0, 1}, {0, 2, 0, w}, {cell, 2, m, w}, {cell, -3, m, 1}});
    compileQuad(LIST_MAP_WALL_LEFT, TEX_MAP_CELL, {{2, 0, 0, 1}, {-3, 0, 0, w}, {-3, cell, m, w}, {2, cell, m, 1}});
}

static void compileFrameEdges() {
    const float f = game.fieldSize, b = game.frameBorder, i = f - b, e = 0.935483f;
    compileQuad(LIST_EDGE_LEFT, TEX_FRAME_EDGE, {{0, 0, 0, 1}, {0, f, 0, 0}, {b, f, e, 0}, {b, 0, e, 1}});
    compileQuad(LIST_EDGE_RIGHT, TEX_FRAME_EDGE, {{i, 0, e, 1}, {i, f, e, 0}, {f, f, 0, 0}, {f, 0, 0, 1}});
    compileQuad(LIST_EDGE_TOP, TEX_FRAME_EDGE, {{0, i, e, 0}, {0, f, 0, 0}, {f, f, 0, 1}, {f, i, e, 1}});
    compileQuad(LIST_EDGE_BOTTOM, TEX_FRAME_EDGE, {{0, 0, 0, 0}, {0, b, e, 0}, {f, b, e, 1}, {f, 0, 0, 1}});
}

static void compileFrameCorners() {
    const float f = game.fieldSize, b = game.frameBorder, i = f - b, e = 0.935483f;
    compileQuad(LIST_CORNER_BOTTOM_LEFT, TEX_FRAME_CORNER, {{0, 0, e, e}, {0, b, e, 0}, {b, b, 0, 0}, {b, 0, 0, e}});
    compileQuad(LIST_CORNER_TOP_LEFT, TEX_FRAME_CORNER, {{0, i, 0, e}, {0, f, e, e}, {b, f, e, 0}, {b, i, 0, 0}});
    compileQuad(LIST_CORNER_BOTTOM_RIGHT, TEX_FRAME_CORNER, {{i, 0, 0, e}, {i, b, 0, 0}, {f, b, e, 0}, {f, 0, e, e}});
    compileQuad(LIST_CORNER_TOP_RIGHT, TEX_FRAME_CORNER, {{i, i, 0, 0}, {i, f, e, 0}, {f, f, e, e}, {f, i, 0, e}});
    const int inner = TEX_FRAME_INNER_CORNER;
    compileQuad(LIST_INNER_CORNER_TOP_RIGHT, inner, {{i, i, e, e}, {i, f, 0, e}, {f, f, 0, 0}, {f, i, e, 0}});
    compileQuad(LIST_INNER_CORNER_TOP_LEFT, inner, {{0, i, e, 0}, {0, f, 0, 0}, {b, f, 0, e}, {b, i, e, e}});
    compileQuad(LIST_INNER_CORNER_BOTTOM_LEFT, inner, {{0, 0, 0, 0}, {0, b, e, 0}, {b, b, e, e}, {b, 0, 0, e}});
    compileQuad(LIST_INNER_CORNER_BOTTOM_RIGHT, inner, {{i, 0, 0, e}, {i, b, e, e}, {f, b, e, 0}, {f, 0, 0, 0}});
}

static void compilePageLists() {
    compileQuad(LIST_PAGE_3, TEX_MENU,
                {{27, 26, 0, 0.930596f},
                 {27, 381, 0, 0.585532f},
                 {774, 381, 0.729492f, 0.585532f},
                 {774, 26, 0.729492f, 0.930596f}});
    // Page 2 lies a quarter turn round in its picture.
    compileQuad(LIST_PAGE_2, TEX_END_TEXT,
                {{21, 8, 0.970674f, 0.74389f},
                 {21, 391, 0.596285f, 0.74389f},
                 {782, 391, 0.596285f, 0},
                 {782, 8, 0.970674f, 0}});
    compileQuad(LIST_PAGE_1, TEX_END_TEXT,
                {{147, 75, 0, 1}, {147, 343, 0, 0.739003f}, {665, 343, 0.506354f, 0.739003f}, {665, 75, 0.506354f, 1}});
}

static void compileScreenLists() {
    const float f = game.fieldSize, v = game.viewWidth;
    compileQuad(LIST_BACKGROUND, TEX_BACKGROUND, {{0, 0, 0, 2}, {f, 0, 2, 2}, {f, f, 2, 0}, {0, f, 0, 0}});
    compileQuad(LIST_PANEL, TEX_PANEL,
                {{f, 0, 0, 0.585533f}, {f, f, 0, 0}, {v, f, 0.780392f, 0}, {v, 0, 0.780392f, 0.585533f}});
    compileQuad(LIST_LOGO, TEX_SPRITES,
                {{475, 207.5f, 0.584313f, 0.721568f},
                 {325, 207.5f, 0, 0.721568f},
                 {325, 392.5f, 0, 0},
                 {475, 392.5f, 0.584313f, 0}});
    compileQuad(LIST_MENU_BACKGROUND, TEX_MENU,
                {{0, 0, 0, 0.585532f}, {0, f, 0, 0}, {v, f, 0.781036f, 0}, {v, 0, 0.781036f, 0.585532f}});
}

static void compileEndTextLists() {
    const float r = 0.593353f;
    compileQuad(LIST_STRIP_END_OF_GAME, TEX_END_TEXT,
                {{96, 23, 0, 0.066471f}, {96, 91, 0, 0}, {705, 91, r, 0}, {705, 23, r, 0.066471f}});
    compileQuad(LIST_STRIP_NEXT_CHARACTER, TEX_END_TEXT,
                {{96, 23, 0, 0.133854f}, {96, 91, 0, 0.067383f}, {705, 91, r, 0.067383f}, {705, 23, r, 0.133854f}});
    for (int n = 0; n < 6; ++n) {
        const float u = 0.100684f * n, low = 0.234604f + u, high = 0.134897f + u;
        compileQuad(LIST_MESSAGE + n, TEX_END_TEXT,
                    {{96, 91, 0, low}, {96, 193, 0, high}, {705, 193, r, high}, {705, 91, r, low}});
    }
}

// Labels 45.5 high downwards from y = 348; the highlighted ones lie right below in the picture.
static void compileMenuLabels() {
    for (int k = 0; k < 12; ++k) {
        const int item = k % 6;
        const float a = 0.044433f * k, b = 0.044433f * (k + 1);
        const float top = 348 - 45.5f * item, bottom = 348 - 45.5f * (item + 1);
        compileQuad(LIST_MENU_LABEL + k, TEX_MENU,
                    {{296, top, 0.781036f, a},
                     {296, bottom, 0.781036f, b},
                     {492, bottom, 0.972442f, b},
                     {492, top, 0.972442f, a}});
    }
}

// The picture over the whole window; in full screen, where the screen's shape differs from
// the view's 4:3, scaled to fit and centred between black bars.
static void setViewport() {
    const int width = game.windowWidth, height = game.windowHeight;
    int shownWidth = width, shownHeight = height;
    if (game.windowFullscreen) {
        const float scale = std::min(width / game.viewWidth, height / game.fieldSize);
        shownWidth = static_cast<int>(game.viewWidth * scale + 0.5f);
        shownHeight = static_cast<int>(game.fieldSize * scale + 0.5f);
    }
    glViewport((width - shownWidth) / 2, (height - shownHeight) / 2, shownWidth, shownHeight);
    const bool bars = shownWidth < width || shownHeight < height;
    glClearColor(0, 0, 0, 1);
    if (bars) glClear(GL_COLOR_BUFFER_BIT);
    sdlClearAfterSwaps(bars);
}

void setUpGraphics() {
    // A surviving context still holds the previous set: release it before making anew.
    releaseGraphics();
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    setViewport();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, game.viewWidth, 0, game.fieldSize, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    loadAllTextures();
    game.displayListBase = glGenLists(LIST_COUNT);
    buildFontLists();
    compileEndTextLists();
    compilePageLists();
    compileMenuLabels();
    compileFrameCorners();
    compileFrameEdges();
    compileMapLists();
    compileTileLists();
    compileScreenLists();
    compileFigureLists();
    compileItemLists();
    resetFrameTiming();
}
