// Drawing checked in a real OpenGL context: the lists' geometry read back with glReadPixels.
// Where a list's picture would blur the edges, its texture is replaced by a solid colour, so
// the pixels show exactly the quad the list draws. Pixel (x, y) is view point (x + .5, y + .5).
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <thread>
#include <vector>

#include "game/engine.h"
#include "game/state.h"
#include "platform/sdl_io.h"
#include "render/hud.h"
#include "render/lists.h"
#include "render/scene.h"
#include "render/textures.h"
#include "replay/seams.h"

namespace {

using Rgb = std::array<int, 3>;
const Rgb WHITE = {255, 255, 255};

// A picture whose every texel names its own place: red carries the low eight bits of the
// column, green those of the row, blue the column's top two bits and the row's top five.
// Sampling is exact (nearest texel). The end-screen texts get eight rows a picture row, so
// that a region one row off shows.
const int CODED = 1024, TALL = 8192;

void uploadCodedTexture(int width = CODED, int height = CODED) {
    std::vector<unsigned char> texels(static_cast<size_t>(width) * height * 4);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            unsigned char* t = &texels[(static_cast<size_t>(row) * width + column) * 4];
            t[0] = static_cast<unsigned char>(column & 255);
            t[1] = static_cast<unsigned char>(row & 255);
            t[2] = static_cast<unsigned char>((column >> 8) | (row >> 8) << 2);
            t[3] = 255;
        }
    glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

// How many texels of `size` lie between the one seen and coordinate `c`; the picture repeats,
// so 1.0 and 0.0 are the same place.
int texelDistance(int seen, double c, int size) {
    const int apart = ((seen - static_cast<int>(std::floor(c * size))) % size + size) % size;
    return std::min(apart, size - apart);
}

// Texture coordinate (s, t): s = 0 the picture's left column, t = 0 its top row.
struct St {
    double s, t;
};

// Where a list lies on screen and what its bottom-left, bottom-right and top-left corners
// show. The numbers are the list table's, typed from the drawing design.
struct Shown {
    const char* what;
    int list;
    double x0, y0, x1, y1;
    St bottomLeft, bottomRight, topLeft;
};

std::vector<Shown> listTable() {
    const double e = 0.935483, m = 0.612903, w = 0.838709, r = 0.593353;
    std::vector<Shown> rows = {
        {"crumbling tile", 11, 0, 0, 90, 90, {0.65098, 1}, {1, 1}, {0.65098, 0.65098}},
        {"figure right", 22, 28.5, 28.5, 60.5, 60.5, {0, 1}, {0, 0}, {1, 1}},
        {"figure down", 23, 28.5, 28.5, 60.5, 60.5, {1, 0}, {0, 0}, {1, 1}},
        {"figure left", 24, 28.5, 28.5, 60.5, 60.5, {1, 0}, {1, 1}, {0, 0}},
        {"figure up, mirrored", 25, 28.5, 28.5, 60.5, 60.5, {1, 1}, {0, 1}, {1, 0}},
        {"bonus", 26, 29, 28.5, 61, 60.5, {0.12549, 1}, {0.247059, 1}, {0.12549, 0.878431}},
        {"heart", 27, 29.5, 28.5, 61.5, 60.5, {0, 1}, {0.121569, 1}, {0, 0.878431}},
        {"map cell", 28, 0, 0, 20, 20, {0, m}, {m, m}, {0, 0}},
        {"map goal", 29, 3, 3, 19, 19, {0, m}, {m, m}, {0, 0}},
        {"map player", 30, 2, 2, 18, 18, {0, m}, {m, m}, {0, 0}},
        {"map wall bottom", 31, 0, -3, 20, 2, {0, 1}, {m, 1}, {0, w}},
        {"map wall left", 32, -3, 0, 2, 20, {0, w}, {0, 1}, {m, w}},
        {"edge left", 33, 0, 0, 30, 600, {0, 1}, {e, 1}, {0, 0}},
        {"edge right", 34, 570, 0, 600, 600, {e, 1}, {0, 1}, {e, 0}},
        {"edge top", 35, 0, 570, 600, 600, {e, 0}, {e, 1}, {0, 0}},
        {"edge bottom", 36, 0, 0, 600, 30, {0, 0}, {0, 1}, {e, 0}},
        {"corner bottom left", 37, 0, 0, 30, 30, {e, e}, {0, e}, {e, 0}},
        {"corner top left", 38, 0, 570, 30, 600, {0, e}, {0, 0}, {e, e}},
        {"corner bottom right", 39, 570, 0, 600, 30, {0, e}, {e, e}, {0, 0}},
        {"corner top right", 40, 570, 570, 600, 600, {0, 0}, {0, e}, {e, 0}},
        {"inner corner top right", 45, 570, 570, 600, 600, {e, e}, {e, 0}, {0, e}},
        {"inner corner top left", 46, 0, 570, 30, 600, {e, 0}, {e, e}, {0, 0}},
        {"inner corner bottom left", 47, 0, 0, 30, 30, {0, 0}, {0, e}, {e, 0}},
        {"inner corner bottom right", 48, 570, 0, 600, 30, {0, e}, {0, 0}, {e, e}},
        {"page 3", 49, 27, 26, 774, 381, {0, 0.930596}, {0.729492, 0.930596}, {0, 0.585532}},
        {"page 2, a quarter turn", 50, 21, 8, 782, 391, {0.970674, 0.74389}, {0.970674, 0}, {0.596285, 0.74389}},
        {"page 1", 51, 147, 75, 665, 343, {0, 1}, {0.506354, 1}, {0, 0.739003}},
        {"panel", 52, 600, 0, 800, 600, {0, 0.585533}, {0.780392, 0.585533}, {0, 0}},
        {"logo", 53, 325, 207.5, 475, 392.5, {0, 0.721568}, {0.584313, 0.721568}, {0, 0}},
        {"goal tile", 54, 0, 0, 90, 90, {0.658823, 0.349019}, {1, 0.349019}, {0.658823, 0}},
        {"strip A", 55, 96, 23, 705, 91, {0, 0.066471}, {r, 0.066471}, {0, 0}},
        {"strip B", 56, 96, 23, 705, 91, {0, 0.133854}, {r, 0.133854}, {0, 0.067383}},
        {"menu background", 63, 0, 0, 800, 600, {0, 0.585532}, {0.781036, 0.585532}, {0, 0}},
    };
    for (int stage = 1; stage <= 10; ++stage) {
        const double d = 3.6 * (stage - 1), f = 0.700787;
        rows.push_back({"tile stage", stage, d, d, 90 - d, 90 - d, {0, f}, {f, f}, {0, 0}});
    }
    // The font is a row of sixteen equal cells, 0 to 9 first.
    for (int digit = 0; digit <= 9; ++digit)
        rows.push_back(
            {"digit", 12 + digit, 0, 0, 16, 16, {digit / 16.0, 1}, {(digit + 1) / 16.0, 1}, {digit / 16.0, 0}});
    for (int n = 0; n < 6; ++n) {
        const double low = 0.234604 + 0.100684 * n, high = 0.134897 + 0.100684 * n;
        rows.push_back({"end-screen message", 57 + n, 96, 91, 705, 193, {0, low}, {r, low}, {0, high}});
    }
    // Six labels downwards from y = 348; the highlighted six lie below them in the picture.
    for (int k = 0; k < 12; ++k) {
        const double top = 348 - 45.5 * (k % 6), bottom = top - 45.5;
        const double a = 0.044433 * k, b = 0.044433 * (k + 1);
        rows.push_back({"menu label", 64 + k, 296, bottom, 492, top, {0.781036, b}, {0.972442, b}, {0.781036, a}});
    }
    return rows;
}

class RenderTest : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(chdir(ZK_SOURCE_DIR), 0);  // the game's file names are relative to here
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(800, 600, 32, SDL_OPENGL), nullptr) << SDL_GetError();
        useEngineIo({sdlTicks, sdlPollEvent, sdlWaitEvent, sdlWaitForEventUntil, sdlSwapBuffers, sdlDelay});
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    void SetUp() override {
        resetGameState();
        game.windowWidth = 800;
        game.windowHeight = 600;
        setLayoutConstants();
        setUpGraphics();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
    }
    void TearDown() override { releaseGraphics(); }

    // Replaces a slot's picture by one solid, opaque colour.
    static void paintTexture(int slot, Rgb colour) {
        std::vector<unsigned char> texels(64 * 64 * 4);
        for (size_t i = 0; i < texels.size(); i += 4) {
            texels[i] = static_cast<unsigned char>(colour[0]);
            texels[i + 1] = static_cast<unsigned char>(colour[1]);
            texels[i + 2] = static_cast<unsigned char>(colour[2]);
            texels[i + 3] = 255;
        }
        glBindTexture(GL_TEXTURE_2D, game.textures[slot]);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    }

    static Rgb pixel(int x, int y) {
        unsigned char p[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }

    // The texel a pixel shows when the coded picture is drawn: {column, row}.
    static std::array<int, 2> texelAt(int x, int y) {
        unsigned char p[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0] | (p[2] & 3) << 8, p[1] | (p[2] >> 2) << 8};
    }

    static void codeAllTextures() {
        for (int slot = 1; slot < TEXTURE_SLOTS; ++slot) {
            glBindTexture(GL_TEXTURE_2D, game.textures[slot]);
            if (slot == TEX_END_TEXT)
                uploadCodedTexture(256, TALL);
            else
                uploadCodedTexture();
        }
    }

    // At a pixel just inside each corner of the drawn quad and in its middle, the texel seen is
    // the one the corner coordinates put there (one texel of slack at the region's edges).
    static void expectShown(const Shown& row, float shiftX, float shiftY, int width = CODED, int height = CODED) {
        const int left = static_cast<int>(std::ceil(row.x0 + shiftX - 0.5));
        const int right = static_cast<int>(std::ceil(row.x1 + shiftX - 0.5)) - 1;
        const int bottom = static_cast<int>(std::ceil(row.y0 + shiftY - 0.5));
        const int top = static_cast<int>(std::ceil(row.y1 + shiftY - 0.5)) - 1;
        for (const auto& spot : {std::array<int, 2>{left, bottom},
                                 {right, bottom},
                                 {left, top},
                                 {right, top},
                                 {(left + right) / 2, (bottom + top) / 2}}) {
            const double u = (spot[0] + 0.5 - shiftX - row.x0) / (row.x1 - row.x0);
            const double v = (spot[1] + 0.5 - shiftY - row.y0) / (row.y1 - row.y0);
            const double s =
                row.bottomLeft.s + u * (row.bottomRight.s - row.bottomLeft.s) + v * (row.topLeft.s - row.bottomLeft.s);
            const double t =
                row.bottomLeft.t + u * (row.bottomRight.t - row.bottomLeft.t) + v * (row.topLeft.t - row.bottomLeft.t);
            const std::array<int, 2> seen = texelAt(spot[0], spot[1]);
            EXPECT_LE(texelDistance(seen[0], s, width), 1) << "column at " << spot[0] << "," << spot[1];
            EXPECT_LE(texelDistance(seen[1], t, height), 1) << "row at " << spot[0] << "," << spot[1];
        }
    }

    static void allHoles() {
        for (auto& column : game.board)
            for (Tile& tile : column) tile = {STAGE_HOLE, 0};
    }
};

TEST_F(RenderTest, EveryListShowsItsRegionTheRightWayRound) {
    codeAllTextures();
    for (const Shown& row : listTable()) {
        SCOPED_TRACE(::testing::Message() << row.what << " (list " << row.list << ")");
        const float shift = row.x0 < 0 || row.y0 < 0 ? 10 : 0;
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(shift, shift, 0);
        glBindTexture(GL_TEXTURE_2D, game.textures[TEX_FONT]);  // for the lists that bind none
        callList(row.list);
        const bool endText = row.list == 50 || row.list == 51 || (row.list >= 55 && row.list <= 62);
        expectShown(row, shift, shift, endText ? 256 : CODED, endText ? TALL : CODED);
    }
}

Shown figureFacing(int facing) {
    for (const Shown& row : listTable())
        if (row.list == 22 + facing) return row;
    return {};
}

// The figure on tile (2, 3) turns to each facing; its picture and the dying one are the
// character's own.
TEST_F(RenderTest, FigureFacesEachWayOnItsTile) {
    codeAllTextures();
    for (int facing = 0; facing < 4; ++facing) {
        SCOPED_TRACE(::testing::Message() << "facing " << facing);
        game.playerX = 2;
        game.playerY = 3;
        game.facing = facing;
        game.lastDirection = (facing + 1) % 4;
        glClear(GL_COLOR_BUFFER_BIT);
        drawPlayer();
        expectShown(figureFacing(facing), 30 + 2 * 90, 30 + 3 * 90);
    }
}

// Mid-slide the new sector comes in from the side of the crossing, with its own walls and the
// figure on its entry tile facing the way it went, not the way it went before.
TEST_F(RenderTest, SlideBringsTheNewSectorFromTheCrossingSide) {
    codeAllTextures();
    const Rgb wall = {0, 255, 0}, ground = {0, 0, 0};
    paintTexture(TEX_FRAME_EDGE, wall);
    paintTexture(TEX_BACKGROUND, ground);
    const struct {
        int dx, dy, facing, entryX, entryY;
        float figureX, figureY;  // the entry tile's corner on screen, half way through
    } cases[] = {
        {1, 0, DIR_RIGHT, 0, 2, 300 + 30, 30 + 2 * 90},
        {-1, 0, DIR_LEFT, 5, 1, -300 + 30 + 5 * 90, 30 + 90},
        {0, 1, DIR_UP, 4, 0, 30 + 4 * 90, 300 + 30},
        {0, -1, DIR_DOWN, 1, 5, 30 + 90, -300 + 30 + 5 * 90},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "slide " << c.dx << "," << c.dy);
        game.sectorX = game.sectorY = 3;
        game.playerX = static_cast<uint8_t>(c.entryX);
        game.playerY = static_cast<uint8_t>(c.entryY);
        game.facing = c.facing;
        game.lastDirection = (c.facing + 2) % 4;
        // Only the incoming sector has a wall: across a crossing to the side, at its bottom.
        for (auto& column : game.world)
            for (SectorInfo& sector : column) sector.wallBottom = sector.wallLeft = 0;
        SectorInfo& incoming = game.world[3 + c.dx][3 + c.dy];
        (c.dx != 0 ? incoming.wallBottom : incoming.wallLeft) = 1;
        glClear(GL_COLOR_BUFFER_BIT);
        drawSlideFrame(c.dx, c.dy, 300);
        expectShown(figureFacing(c.facing), c.figureX, c.figureY);
        const int along = 300 + 150 * (c.dx + c.dy), across = 15;  // the middle of each half's wall
        EXPECT_EQ(c.dx != 0 ? pixel(along, across) : pixel(across, along), wall) << "the incoming sector's wall";
        EXPECT_EQ(c.dx != 0 ? pixel(600 - along, across) : pixel(across, 600 - along), ground) << "the old one's";
    }
}

// The result picture shows the figure of each character that reached the goal, in its own
// picture and place over the logo, and no other.
TEST_F(RenderTest, TheResultPictureShowsTheFiguresAtTheGoal) {
    const Rgb logo = {40, 40, 40}, figures[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    paintTexture(TEX_SPRITES, logo);
    for (int k = 0; k < 3; ++k) paintTexture(TEX_FIGURE + k, figures[k]);
    const int spots[3][2] = {{440, 290}, {440, 350}, {405, 320}};  // where no other figure lies
    for (int done = 0; done < 8; ++done) {
        SCOPED_TRACE(done);
        for (int k = 0; k < 3; ++k) game.characterCompleted[k] = (done >> k) & 1;
        game.character = 2;
        drawCompletionPicture();
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(pixel(spots[k][0], spots[k][1]), game.characterCompleted[k] ? figures[k] : logo) << k;
    }
}

// Kept: at the end of a slide to the right the minimap mark has moved 20 units, not the 21 of
// a whole cell; the next normal frame puts it in place.
TEST_F(RenderTest, MapMarkTravelsTwentyUnitsInTheSlide) {
    const Rgb mark = {0, 0, 255};
    paintTexture(TEX_MAP_PLAYER, mark);
    game.sectorX = game.sectorY = 3;
    drawSlideFrame(1, 0, 600);
    const int cell = 617 + 3 * 21, middle = 416 + 3 * 21 + 10;
    EXPECT_EQ(pixel(cell + 22, middle), mark);  // 2 + 20
    EXPECT_NE(pixel(cell + 38, middle), mark);  // 18 + 20 is its right edge
}

// A Heart and a Bonus each on their own tile, with the sprite picture's regions telling them
// apart: the Heart is the left eighth, the Bonus the next.
TEST_F(RenderTest, ItemsLieOnTheirTilesAndShowTheirKind) {
    codeAllTextures();
    allHoles();
    game.hearts[0] = {1, 4, 1};
    game.bonuses[1] = {4, 2, 1};
    game.hearts[1] = {5, 5, 0};  // taken: not drawn
    paintTexture(TEX_BACKGROUND, {0, 0, 0});
    drawScene();
    const std::array<int, 2> heart = texelAt(30 + 90 + 45, 30 + 4 * 90 + 45);
    const std::array<int, 2> bonus = texelAt(30 + 4 * 90 + 45, 30 + 2 * 90 + 45);
    EXPECT_LT(heart[0], 1024 / 8) << "heart";
    EXPECT_GT(bonus[0], 1024 / 8) << "bonus";
    EXPECT_LT(bonus[0], 1024 / 4) << "bonus";
    EXPECT_GT(heart[1], 1024 * 7 / 8);
    EXPECT_EQ(pixel(30 + 5 * 90 + 45, 30 + 5 * 90 + 45), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(30 + 90 + 20, 30 + 4 * 90 + 45), (Rgb{0, 0, 0}));  // left of the Heart: nothing
}

// The minimap: a wall shows in the gap on its side of the cell, the World's border all round,
// the goal mark on sector (0, 0) and the player's mark on the current sector.
TEST_F(RenderTest, MinimapWallsAndMarks) {
    const Rgb goal = {0, 255, 0}, player = {0, 0, 255}, panel = {0, 0, 0};
    paintTexture(TEX_MAP_CELL, WHITE);
    paintTexture(TEX_MAP_GOAL, goal);
    paintTexture(TEX_MAP_PLAYER, player);
    paintTexture(TEX_PANEL, panel);
    game.world[3][5].wallBottom = 1;
    game.world[5][2].wallLeft = 1;
    game.sectorX = 4;
    game.sectorY = 6;
    drawScene();
    auto cellX = [](int x) { return 617 + 21 * x; };
    auto cellY = [](int y) { return 416 + 21 * y; };
    const struct {
        const char* what;
        int x, y;
        bool wall;
    } gaps[] = {
        {"bottom wall of (3, 5)", cellX(3) + 10, cellY(5) - 1, true},
        {"no left wall at (3, 5)", cellX(3) - 1, cellY(5) + 10, false},
        {"left wall of (5, 2)", cellX(5) - 1, cellY(2) + 10, true},
        {"no bottom wall at (5, 2)", cellX(5) + 10, cellY(2) - 1, false},
        {"no wall between (1, 1) and (2, 1)", cellX(2) - 1, cellY(1) + 10, false},
        {"border below row 0", cellX(2) + 10, cellY(0) - 2, true},
        {"border left of column 0", cellX(0) - 2, cellY(3) + 10, true},
        {"border above row 7", cellX(6) + 10, cellY(8) - 1, true},
        {"border right of column 7", cellX(8) - 1, cellY(4) + 10, true},
    };
    for (const auto& gap : gaps) EXPECT_EQ(pixel(gap.x, gap.y) == WHITE, gap.wall) << gap.what;
    EXPECT_EQ(pixel(cellX(0) + 10, cellY(0) + 10), goal);
    EXPECT_EQ(pixel(cellX(4) + 10, cellY(6) + 10), player);
    EXPECT_NE(pixel(cellX(4) + 10, cellY(6) + 10), goal);
    EXPECT_NE(pixel(cellX(0) + 10, cellY(0) + 10), player);
}

// Every digit in the score shows its own glyph cell of the font.
TEST_F(RenderTest, ScoreDigitsShowTheirOwnGlyphs) {
    codeAllTextures();
    game.score = 1234567890u % 100000000u;  // 34567890
    glClear(GL_COLOR_BUFFER_BIT);
    drawNumber(static_cast<int32_t>(game.score), 300, 100, 0);  // right edge at 300
    const int digits[] = {3, 4, 5, 6, 7, 8, 9, 0};
    for (int k = 0; k < 8; ++k) {
        const int column = texelAt(300 - 16 * (8 - k) + 8, 108)[0];
        EXPECT_EQ(column * 16 / 1024, digits[k]) << "place " << k;
    }
}

TEST_F(RenderTest, GoalTileShowsInSectorZeroEvenOverAHole) {
    paintTexture(TEX_SPRITES, WHITE);
    paintTexture(TEX_BACKGROUND, {0, 0, 64});
    allHoles();
    drawScene();
    EXPECT_EQ(pixel(75, 75), WHITE);
    game.sectorX = 1;
    drawScene();
    EXPECT_EQ(pixel(75, 75), (Rgb{0, 0, 64}));
}

TEST_F(RenderTest, FrameEdgesCornersAndInnerCorners) {
    const Rgb edge = {255, 0, 0}, corner = {0, 255, 0}, inner = {0, 0, 255}, background = {0, 0, 64};
    paintTexture(TEX_FRAME_EDGE, edge);
    paintTexture(TEX_FRAME_CORNER, corner);
    paintTexture(TEX_FRAME_INNER_CORNER, inner);
    paintTexture(TEX_BACKGROUND, background);
    allHoles();

    // Sector (0, 0) without walls: the World's border gives the bottom and left edges.
    drawScene();
    EXPECT_EQ(pixel(300, 15), edge);
    EXPECT_EQ(pixel(15, 300), edge);
    EXPECT_EQ(pixel(15, 15), corner);
    EXPECT_EQ(pixel(300, 585), background);
    EXPECT_EQ(pixel(585, 300), background);

    // Sector (3, 3) without walls of its own: a neighbour's wall that ends at one of its corners
    // shows there as an inner corner, and nowhere else.
    const struct {
        int x, y;
        bool left;   // the sector's left wall, else its bottom wall
        int px, py;  // the corner
    } neighbourWalls[] = {{4, 2, true, 585, 15}, {4, 3, false, 585, 15},  {3, 2, true, 15, 15},
                          {2, 3, false, 15, 15}, {4, 4, false, 585, 585}, {4, 4, true, 585, 585},
                          {3, 4, true, 15, 585}, {2, 4, false, 15, 585}};
    game.sectorX = game.sectorY = 3;
    for (const auto& wall : neighbourWalls) {
        SCOPED_TRACE(testing::Message() << wall.x << "," << wall.y << (wall.left ? " left" : " bottom"));
        (wall.left ? game.world[wall.x][wall.y].wallLeft : game.world[wall.x][wall.y].wallBottom) = 1;
        drawScene();
        for (int px : {15, 585})
            for (int py : {15, 585})
                EXPECT_EQ(pixel(px, py), px == wall.px && py == wall.py ? inner : background) << px << "," << py;
        EXPECT_EQ(pixel(300, 15), background);
        game.world[wall.x][wall.y] = SectorInfo{};
    }

    // A wall on the top side, seen from below, and the border on the right.
    game.sectorX = 7;
    game.world[7][4].wallBottom = 1;
    drawScene();
    EXPECT_EQ(pixel(300, 585), edge);
    EXPECT_EQ(pixel(585, 300), edge);
    EXPECT_EQ(pixel(585, 585), corner);
}

TEST_F(RenderTest, MinimapCellIsTintedByItsLevel) {
    paintTexture(TEX_MAP_CELL, WHITE);
    game.world[2][2].level = 5;
    game.world[3][2].level = 0;
    game.world[4][2].level = 10;
    drawScene();
    const Rgb level5 = pixel(617 + 42 + 10, 416 + 42 + 10);
    EXPECT_EQ(level5[0], 255);
    EXPECT_NEAR(level5[1], 115, 1);  // 0.45 of full green
    EXPECT_EQ(level5[2], 0);
    EXPECT_NEAR(pixel(617 + 63 + 10, 416 + 42 + 10)[1], 230, 1);
    EXPECT_EQ(pixel(617 + 84 + 10, 416 + 42 + 10), (Rgb{255, 0, 0}));
}

TEST_F(RenderTest, LifeIconsWrapAfterFour) {
    paintTexture(TEX_FIGURE, WHITE);
    game.lives = 5;
    drawScene();
    EXPECT_EQ(pixel(652, 364), WHITE);       // icon 1
    EXPECT_EQ(pixel(652 + 96, 364), WHITE);  // icon 4
    EXPECT_EQ(pixel(652, 332), WHITE);       // icon 5 starts the second row
    EXPECT_NE(pixel(652 + 32, 332), WHITE);  // no icon 6
    game.lives = -1;                         // a finished game shows none
    drawScene();
    EXPECT_NE(pixel(652, 364), WHITE);
}

TEST_F(RenderTest, NumbersAreCentredAndHaveNoMinusGlyph) {
    paintTexture(TEX_FONT, WHITE);
    game.score = 12345;
    drawScene();
    EXPECT_EQ(pixel(660, 193), WHITE);
    EXPECT_EQ(pixel(739, 193), WHITE);
    EXPECT_NE(pixel(659, 193), WHITE);
    EXPECT_NE(pixel(740, 193), WHITE);
    EXPECT_EQ(pixel(700, 125), WHITE);  // best score 0: one glyph 692..708
    EXPECT_NE(pixel(690, 125), WHITE);
    EXPECT_NE(pixel(700, 73), WHITE);  // the frame rate is off

    glClear(GL_COLOR_BUFFER_BIT);
    drawNumber(-5, 100, 100, 1);
    EXPECT_NE(pixel(108, 108), WHITE);  // the sign's place stays empty
    EXPECT_EQ(pixel(124, 108), WHITE);
}

TEST_F(RenderTest, RebuildReleasesTheEarlierSet) {
    const uint32_t firstBase = game.displayListBase;
    setUpGraphics();
    if (game.displayListBase != firstBase) {
        EXPECT_FALSE(glIsList(firstBase + LIST_PANEL));
    }
    EXPECT_TRUE(glIsList(game.displayListBase + LIST_PANEL));
    for (int reserved = 41; reserved <= 44; ++reserved) callList(reserved);  // draws nothing
    EXPECT_EQ(pixel(300, 300), (Rgb{0, 0, 0}));
    GLint textureCount = 0;
    for (uint32_t name = 1; name < 4096; ++name) textureCount += glIsTexture(name) ? 1 : 0;
    EXPECT_EQ(textureCount, 19);  // one set, not two
}

// The menu's sleep ends when a key arrives, not at its deadline, and leaves the key queued.
TEST_F(RenderTest, AKeyDuringTheSleepEndsItAtOnce) {
    SDL_Event queued;
    while (SDL_PollEvent(&queued)) {
    }
    std::thread presser([] {
        SDL_Delay(100);
        SDL_Event press = {};
        press.type = SDL_KEYDOWN;
        press.key.keysym.sym = SDLK_DOWN;
        SDL_PushEvent(&press);
    });
    const uint32_t start = SDL_GetTicks();
    waitForEventUntil(start + 10000);
    const uint32_t slept = SDL_GetTicks() - start;
    presser.join();
    EXPECT_LT(slept, 5000u);
    GameEvent event = {};
    ASSERT_TRUE(pollEvent(event));
    EXPECT_EQ(event.sym, SDLK_DOWN);

    // With nothing coming it sleeps to the deadline, so the highlight blinks on time.
    const uint32_t again = SDL_GetTicks();
    waitForEventUntil(again + 220);
    EXPECT_GE(SDL_GetTicks() - again, 220u);
    EXPECT_LT(SDL_GetTicks() - again, 2000u);
}

// The loader's colour order: a JPEG and a BMP of the same colour, with and without a mask,
// give the same texels; the mask's pixel index becomes the alpha.
TEST_F(RenderTest, JpegAndBmpWithAndWithoutMaskGiveTheSameTexels) {
    for (const char* mask : {"", "tests\\fixtures\\red_a.bmp"})
        for (const char* picture : {"tests\\fixtures\\red.jpg", "tests\\fixtures\\red.bmp"}) {
            SCOPED_TRACE(::testing::Message() << picture << " " << mask);
            uint32_t name = 0;
            if (*mask)
                loadMaskedTexture(name, picture, mask);
            else
                loadTexture(name, picture, 0);
            unsigned char texels[8 * 8 * 4];
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
            const unsigned char* topRight = texels + 7 * 4;
            EXPECT_NEAR(topRight[0], 200, 3);
            EXPECT_NEAR(topRight[1], 40, 3);
            EXPECT_NEAR(topRight[2], 10, 3);
            EXPECT_EQ(topRight[3], 255);
            if (*mask) {
                EXPECT_EQ(texels[3], 0);            // index 0: transparent, however bright
                EXPECT_EQ(texels[4 * 4 + 3], 128);  // top row is the picture's top row
                EXPECT_EQ(texels[8 * 4 + 4 * 4 + 3], 255);
            }
            deleteTexture(name);
        }
}

TEST(TextureLoader, DerivedMaskNamesAndFailures) {
    char mask[32];
    ASSERT_TRUE(deriveMaskName("data\\kruh.bmp", mask, sizeof mask));
    EXPECT_STREQ(mask, "data\\kruh_a.bmp");
    ASSERT_TRUE(deriveMaskName("data\\zembra.jpg", mask, sizeof mask));
    EXPECT_STREQ(mask, "data\\zembra_a.bmp");
    EXPECT_FALSE(deriveMaskName("abc", mask, sizeof mask));
    EXPECT_FALSE(deriveMaskName("data\\a-very-long-picture-name.bmp", mask, 16));
    EXPECT_TRUE(picturePixelsAreRgb("x.jpg"));
    EXPECT_FALSE(picturePixelsAreRgb("x.JPG"));

    uint32_t name = 0;
    EXPECT_EXIT(loadTexture(name, "tests\\fixtures\\lone.bmp", 1), ::testing::ExitedWithCode(1),
                "^Cannot load alpha mask from tests\\\\fixtures\\\\lone_a\\.bmp\\.\n$");
    EXPECT_EXIT(loadTexture(name, "tests\\fixtures\\small.bmp", 1), ::testing::ExitedWithCode(1),
                "^Cannot load alpha mask from tests\\\\fixtures\\\\small_a\\.bmp\\.\n$");
    EXPECT_EXIT(loadMaskedTexture(name, "tests\\fixtures\\red.bmp", "tests\\fixtures\\deep_a.bmp"),
                ::testing::ExitedWithCode(1), "^Cannot load alpha mask from tests\\\\fixtures\\\\deep_a\\.bmp\\.\n$");
    EXPECT_EXIT(loadTexture(name, "tests\\fixtures\\none.bmp", 0), ::testing::ExitedWithCode(1),
                "^Cannot load texture from tests\\\\fixtures\\\\none\\.bmp\\.\n$");
}

}  // namespace
