#include "render/scene.h"

#include <SDL_opengl.h>

#include <cstdint>

#include "game/engine.h"
#include "game/state.h"
#include "render/hud.h"
#include "render/lists.h"

// The 36 tiles; with `showGoal` the goal tile of sector (0, 0) shows its marker.
static void drawBoard(int showGoal) {
    glEnable(GL_BLEND);
    glPushMatrix();
    glTranslatef(game.boardOrigin, game.boardOrigin, 0);
    const bool goalSector = game.sectorX == 0 && game.sectorY == 0;
    for (int y = 0; y < BOARD_SIZE; ++y) {
        for (int x = 0; x < BOARD_SIZE; ++x) {
            // The goal shows its marker whatever its stage, even over a hole.
            if (x == 0 && y == 0 && goalSector && showGoal)
                callList(LIST_GOAL_TILE);
            else if (game.board[x][y].stage != STAGE_HOLE)
                callList(game.board[x][y].stage);
            glTranslatef(game.tilePitch, 0, 0);
        }
        glTranslatef(-BOARD_SIZE * game.tilePitch, game.tilePitch, 0);
    }
    glPopMatrix();
    glDisable(GL_BLEND);
}

static void drawItemSlots(const ItemSlot* slots, int count, int list) {
    for (int k = 0; k < count; ++k) {
        if (slots[k].active != 1) continue;
        glPushMatrix();
        glTranslatef(30 + slots[k].x * game.tilePitch, 30 + slots[k].y * game.tilePitch, 0);
        callList(list);
        glPopMatrix();
    }
}

static void drawItems() {
    glEnable(GL_BLEND);
    drawItemSlots(game.hearts, HEART_SLOTS, LIST_HEART);
    drawItemSlots(game.bonuses, BONUS_SLOTS, LIST_BONUS);
    glDisable(GL_BLEND);
}

struct FrameEdges {
    bool bottom, left, top, right;
};

// A side has a wall when the World puts one there or the side is the World's border.
static FrameEdges frameEdges(int x, int y) {
    const SectorInfo& w = game.world[x][y];
    FrameEdges e;
    e.bottom = w.wallBottom == 1 || y == 0;
    e.left = w.wallLeft == 1 || x == 0;
    e.top = y == WORLD_SIZE - 1 || game.world[x][y + 1].wallBottom == 1;
    e.right = x == WORLD_SIZE - 1 || game.world[x + 1][y].wallLeft == 1;
    return e;
}

// Where neither edge meets at a corner, a neighbour's wall may still end there. A missing edge
// means the sector is not on that border, so every neighbour looked at exists.
static void drawInnerCorners(int x, int y, const FrameEdges& e) {
    const SectorInfo(&w)[WORLD_SIZE][WORLD_SIZE] = game.world;
    if (!e.bottom && !e.right && (w[x + 1][y - 1].wallLeft == 1 || w[x + 1][y].wallBottom == 1))
        callList(LIST_INNER_CORNER_BOTTOM_RIGHT);
    if (!e.bottom && !e.left && (w[x][y - 1].wallLeft == 1 || w[x - 1][y].wallBottom == 1))
        callList(LIST_INNER_CORNER_BOTTOM_LEFT);
    if (!e.right && !e.top && (w[x + 1][y + 1].wallBottom == 1 || w[x + 1][y + 1].wallLeft == 1))
        callList(LIST_INNER_CORNER_TOP_RIGHT);
    if (!e.left && !e.top && (w[x][y + 1].wallLeft == 1 || w[x - 1][y + 1].wallBottom == 1))
        callList(LIST_INNER_CORNER_TOP_LEFT);
}

// Walls, corners and inner corners of sector (x, y).
static void drawBoardFrame(uint8_t x, uint8_t y) {
    const FrameEdges e = frameEdges(x, y);
    if (e.bottom) callList(LIST_EDGE_BOTTOM);
    if (e.left) callList(LIST_EDGE_LEFT);
    if (e.top) callList(LIST_EDGE_TOP);
    if (e.right) callList(LIST_EDGE_RIGHT);
    if (e.bottom && e.left) callList(LIST_CORNER_BOTTOM_LEFT);
    if (e.bottom && e.right) callList(LIST_CORNER_BOTTOM_RIGHT);
    if (e.left && e.top) callList(LIST_CORNER_TOP_LEFT);
    if (e.top && e.right) callList(LIST_CORNER_TOP_RIGHT);
    drawInnerCorners(x, y, e);
}

static void drawFigureAt(float x, float y, int textureSlot, int list) {
    glPushMatrix();
    glEnable(GL_BLEND);
    glTranslatef(x, y, 0);
    glBindTexture(GL_TEXTURE_2D, game.textures[textureSlot]);
    callList(list);
    glDisable(GL_BLEND);
    glPopMatrix();
}

static void drawPlayerWith(int textureSlot) {
    drawFigureAt(30 + game.playerX * game.tilePitch, 30 + game.playerY * game.tilePitch, textureSlot,
                 LIST_FIGURE + game.facing);
}

void drawPlayer() { drawPlayerWith(TEX_FIGURE + game.character); }

void drawDyingPlayer() { drawPlayerWith(TEX_DYING_FIGURE + game.character); }

void drawScene() {
    glLoadIdentity();
    callList(LIST_BACKGROUND);
    drawBoard(1);
    drawItems();
    drawBoardFrame(game.sectorX, game.sectorY);
    drawHud(0, 0);
}

void drawSlideFrame(int dx, int dy, float progress) {
    glLoadIdentity();
    glPushMatrix();
    glTranslatef(-dx * progress, -dy * progress, 0);
    callList(LIST_BACKGROUND);
    drawBoard(0);
    drawBoardFrame(game.sectorX, game.sectorY);
    glTranslatef(dx * game.fieldSize, dy * game.fieldSize, 0);
    callList(LIST_BACKGROUND);
    drawBoard(0);
    drawBoardFrame(static_cast<uint8_t>(game.sectorX + dx), static_cast<uint8_t>(game.sectorY + dy));
    drawPlayer();
    glPopMatrix();
    // Kept: the mark travels 20 units; the last one is covered by the next normal frame.
    drawHud(dx * 20 * progress / game.fieldSize, dy * 20 * progress / game.fieldSize);
}

struct FinisherSpot {
    float x, y;
    int list;
};

static const FinisherSpot FINISHER_SPOTS[3] = {
    {390, 255, LIST_FIGURE + DIR_UP},
    {390, 295, LIST_FIGURE + DIR_DOWN},
    {370, 275, LIST_FIGURE + DIR_RIGHT},
};

void drawCompletionPicture() {
    glLoadIdentity();
    callList(LIST_BACKGROUND);
    glTranslatef(game.fieldSize, 0, 0);
    callList(LIST_BACKGROUND);
    glTranslatef(-game.fieldSize, 0, 0);
    glEnable(GL_BLEND);
    callList(LIST_LOGO);
    for (int k = 0; k < 3; ++k) {
        if (!game.characterCompleted[k]) continue;
        glPushMatrix();
        glTranslatef(FINISHER_SPOTS[k].x, FINISHER_SPOTS[k].y, 0);
        glBindTexture(GL_TEXTURE_2D, game.textures[TEX_FIGURE + k]);
        callList(FINISHER_SPOTS[k].list);
        glPopMatrix();
    }
    glDisable(GL_BLEND);
}
