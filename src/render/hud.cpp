#include "render/hud.h"

#include <SDL_opengl.h>

#include <cstdio>

#include "game/state.h"
#include "render/lists.h"

static const float MAP_LEFT = 617, MAP_BOTTOM = 416;

static bool replayMarkShown = false;

void showReplayMark(bool shown) { replayMarkShown = shown; }

// The panel's picture holds its foot a second time, 80 rows lower, with "REPLAY" for the
// game's name: laid over the foot (view y 0..56) with the panel's own mapping, every other
// pixel stays as it was.
static void drawReplayMark() {
    const float foot = 56, right = 0.780392f, shift = 80.0f / 1023;
    const float bottom = 0.585533f + shift, top = 0.585533f * (600 - foot) / 600 + shift;
    glBindTexture(GL_TEXTURE_2D, game.textures[TEX_PANEL]);
    glBegin(GL_QUADS);
    glTexCoord2f(0, bottom);
    glVertex2f(600, 0);
    glTexCoord2f(0, top);
    glVertex2f(600, foot);
    glTexCoord2f(right, top);
    glVertex2f(800, foot);
    glTexCoord2f(right, bottom);
    glVertex2f(800, 0);
    glEnd();
}

void drawMapWalls(uint8_t x, uint8_t y) {
    const SectorInfo& w = game.world[x][y];
    if (w.wallBottom == 1 || y == 0) callList(LIST_MAP_WALL_BOTTOM);
    if (w.wallLeft == 1 || x == 0) callList(LIST_MAP_WALL_LEFT);
    if (y == WORLD_SIZE - 1) {
        glTranslatef(0, game.mapCellPitch, 0);
        callList(LIST_MAP_WALL_BOTTOM);
        glTranslatef(0, -game.mapCellPitch, 0);
    }
    if (x == WORLD_SIZE - 1) {
        glTranslatef(game.mapCellPitch, 0, 0);
        callList(LIST_MAP_WALL_LEFT);
        glTranslatef(-game.mapCellPitch, 0, 0);
    }
}

// Each cell is tinted from yellow (level 0) to red (level 10).
static void drawMapCells() {
    glPushMatrix();
    glTranslatef(MAP_LEFT, MAP_BOTTOM, 0);
    glBindTexture(GL_TEXTURE_2D, game.textures[TEX_MAP_CELL]);
    for (uint8_t y = 0; y < WORLD_SIZE; ++y) {
        for (uint8_t x = 0; x < WORLD_SIZE; ++x) {
            glColor3f(1, (10 - game.world[x][y].level) * 0.09f, 0);
            callList(LIST_MAP_CELL);
            glColor3f(1, 1, 1);
            drawMapWalls(x, y);
            glTranslatef(game.mapCellPitch, 0, 0);
        }
        glTranslatef(-WORLD_SIZE * game.mapCellPitch, game.mapCellPitch, 0);
    }
    glPopMatrix();
}

static void drawMapMarks(float shiftX, float shiftY) {
    glPushMatrix();
    glTranslatef(MAP_LEFT, MAP_BOTTOM, 0);
    callList(LIST_MAP_GOAL);
    glTranslatef(game.mapCellPitch * game.sectorX + shiftX, game.mapCellPitch * game.sectorY + shiftY, 0);
    callList(LIST_MAP_PLAYER);
    glPopMatrix();
}

// One icon per spare life, four to a row, rows going down.
static void drawLives() {
    glPushMatrix();
    glEnable(GL_BLEND);
    glTranslatef(608, 320, 0);
    glBindTexture(GL_TEXTURE_2D, game.textures[TEX_FIGURE + game.character]);
    for (int i = 1; i <= game.lives; ++i) {
        callList(LIST_FIGURE + DIR_UP);
        glTranslatef(32, 0, 0);
        if (i % 4 == 0) glTranslatef(-128, -32, 0);
    }
    glDisable(GL_BLEND);
    glPopMatrix();
}

void drawHud(float markShiftX, float markShiftY) {
    callList(LIST_PANEL);
    if (replayMarkShown) drawReplayMark();
    drawMapCells();
    drawMapMarks(markShiftX, markShiftY);
    drawLives();
    if (game.showFps) drawNumber(game.fps, 700, 65, 2);
    drawNumber(static_cast<int32_t>(game.score), 700, 185, 2);
    drawNumber(static_cast<int32_t>(game.bestScore), 700, 117, 2);
}

void drawNumber(int32_t value, float x, float y, unsigned align) {
    char text[16];
    const int length = snprintf(text, sizeof text, "%d", value);
    glPushMatrix();
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, game.textures[TEX_FONT]);
    glTranslatef(x, y, 0);
    if (align == 0) glTranslatef(-16.0f * length, 0, 0);
    if (align == 2) glTranslatef(-16.0f * length * 0.5f, 0, 0);
    for (const char* c = text; *c != '\0'; ++c) {
        // There is no minus glyph: the sign keeps its place but shows nothing.
        if (*c >= '0' && *c <= '9') callList(LIST_DIGIT + (*c - '0'));
        glTranslatef(16, 0, 0);
    }
    glDisable(GL_BLEND);
    glPopMatrix();
}
