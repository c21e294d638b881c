// Drawing checked in a real OpenGL context: the lists' geometry read back with glReadPixels.
// Where a list's picture would blur the edges, its texture is replaced by a solid colour, so
// the pixels show exactly the quad the list draws. Pixel (x, y) is view point (x + .5, y + .5).
#include "game/state.h"
#include "render/hud.h"
#include "render/lists.h"
#include "render/scene.h"
#include "render/textures.h"
#include "platform/engine.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <array>
#include <unistd.h>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;
const Rgb WHITE = {255, 255, 255};

class RenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(chdir(ZK_SOURCE_DIR), 0);  // the game's file names are relative to here
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        game.screenSurface = SDL_SetVideoMode(800, 600, 32, SDL_OPENGL);
        ASSERT_NE(game.screenSurface, nullptr) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    void SetUp() override {
        SDL_Surface* surface = game.screenSurface;
        resetGameState();
        game.screenSurface = surface;
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

    static void allHoles() {
        for (auto& column : game.board)
            for (Tile& tile : column) tile = {STAGE_HOLE, 0};
    }
};

TEST_F(RenderTest, StageTenCoversItsCentredSquareExactly) {
    paintTexture(TEX_TILE, WHITE);
    glEnable(GL_BLEND);
    callList(10);
    glDisable(GL_BLEND);
    // 32.4 .. 57.6 on both axes: pixel centres 32.5 .. 57.5 are inside.
    EXPECT_EQ(pixel(32, 45), WHITE);
    EXPECT_EQ(pixel(57, 45), WHITE);
    EXPECT_EQ(pixel(45, 32), WHITE);
    EXPECT_EQ(pixel(45, 57), WHITE);
    EXPECT_NE(pixel(31, 45), WHITE);
    EXPECT_NE(pixel(58, 45), WHITE);
    EXPECT_NE(pixel(45, 31), WHITE);
    EXPECT_NE(pixel(45, 58), WHITE);
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

    // Sector (3, 3) without walls of its own; its right neighbour's bottom wall ends at its
    // bottom-right corner.
    game.sectorX = game.sectorY = 3;
    game.world[4][3].wallBottom = 1;
    drawScene();
    EXPECT_EQ(pixel(585, 15), inner);
    EXPECT_EQ(pixel(15, 15), background);
    EXPECT_EQ(pixel(585, 585), background);
    EXPECT_EQ(pixel(300, 15), background);

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
    for (uint32_t name = 1; name < 200; ++name) textureCount += glIsTexture(name) ? 1 : 0;
    EXPECT_EQ(textureCount, 19);  // one set, not two
}

// The loader's byte order: a JPEG and a BMP of the same colour give the same texels, and the
// mask's pixel index becomes the alpha.
TEST_F(RenderTest, JpegAndBmpWithMaskGiveTheSameTexels) {
    for (const char* picture : {"tests\\fixtures\\red.jpg", "tests\\fixtures\\red.bmp"}) {
        uint32_t name = 0;
        loadMaskedTexture(name, picture, "tests\\fixtures\\red_a.bmp");
        unsigned char texels[8 * 8 * 4];
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        const unsigned char* topRight = texels + 7 * 4;
        EXPECT_NEAR(topRight[0], 200, 3) << picture;
        EXPECT_NEAR(topRight[1], 40, 3) << picture;
        EXPECT_NEAR(topRight[2], 10, 3) << picture;
        EXPECT_EQ(topRight[3], 255) << picture;
        EXPECT_EQ(texels[3], 0) << picture;           // index 0: transparent, however bright
        EXPECT_EQ(texels[4 * 4 + 3], 128) << picture;  // top row is the picture's top row
        EXPECT_EQ(texels[8 * 4 + 4 * 4 + 3], 255) << picture;
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
