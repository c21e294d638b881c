// Steps, sector crossings, the slide, death phases and the goal, on the test clock.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/frame_loop.h"
#include "audio/sound.h"
#include "fakes.h"
#include "game/death.h"
#include "game/engine.h"
#include "game/frame_clock.h"
#include "game/levels.h"
#include "game/movement.h"
#include "game/run.h"
#include "game/sector.h"
#include "game/state.h"
#include "input/pad_input.h"

namespace {

// What the loops under test read their events into.
GameEvent polled;

struct PlayTest : ::testing::Test {
    void SetUp() override {
        resetForTest();
        for (auto& column : game.board)
            for (Tile& tile : column) tile = {5, 0};
        game.lives = 4;
        game.stepScore = 2;
        game.sectorScore = 20;
        fake.ticks = 16;
        fake.tickStep = 16;
    }
    void place(int sx, int sy, int px, int py) {
        game.sectorX = static_cast<uint8_t>(sx);
        game.sectorY = static_cast<uint8_t>(sy);
        game.playerX = static_cast<uint8_t>(px);
        game.playerY = static_cast<uint8_t>(py);
    }
    void press(int direction) {
        game.moveInput = direction;
        stepPlayer();
    }
};

TEST_F(PlayTest, StepsScoreExceptStraightBack) {
    place(3, 3, 2, 2);
    game.lastDirection = DIR_UP;
    press(DIR_RIGHT);
    EXPECT_EQ(game.playerX, 3);
    EXPECT_EQ(game.score, 2u);
    press(DIR_LEFT);
    EXPECT_EQ(game.playerX, 2);
    EXPECT_EQ(game.score, 2u);  // back the way it came
    press(DIR_LEFT);
    EXPECT_EQ(game.score, 4u);
    EXPECT_EQ(fake.effects.size(), 3u);
}

// What a player sees on the score after a few arrow presses from the middle of the Board at
// the start of a game: an unscored step back still counts as the last direction.
TEST_F(PlayTest, ScoreAfterKeySequencesFromAFreshGame) {
    const struct {
        const char* keys;
        uint32_t score;
    } cases[] = {
        {"RLRL", 2},  {"UDUD", 2}, {"RRLL", 6}, {"RULD", 8},
        {"DDUUD", 6}, {"LLR", 2},  // the program starts with "right" as the last direction: a first Left earns nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        resetForTest();
        newGame();
        place(3, 3, 2, 2);
        for (const char* k = c.keys; *k != '\0'; ++k)
            press(*k == 'R' ? DIR_RIGHT : *k == 'L' ? DIR_LEFT : *k == 'U' ? DIR_UP : DIR_DOWN);
        EXPECT_EQ(game.score, c.score);
    }
}

TEST_F(PlayTest, DeadPlayerTurnsButDoesNotMove) {
    place(3, 3, 2, 2);
    game.deathTimer = 50;
    press(DIR_UP);
    EXPECT_EQ(game.playerY, 2);
    EXPECT_EQ(game.lastDirection, DIR_UP);
    EXPECT_EQ(game.score, 0u);
}

TEST_F(PlayTest, BorderAndWallRefusalsChangeOnlyDirectionAndLevelValues) {
    game.world[0][7].level = 5;
    place(0, 7, 0, 5);
    press(DIR_LEFT);  // World border
    EXPECT_EQ(game.sectorX, 0);
    EXPECT_EQ(game.playerX, 0);
    EXPECT_EQ(game.lastSectorDirection, DIR_LEFT);
    EXPECT_EQ(game.stepScore, 10);
    EXPECT_EQ(game.bonusLimit, 7);
    EXPECT_EQ(game.score, 0u);
    EXPECT_TRUE(fake.effects.empty());
    EXPECT_EQ(fake.slideFrames, 0);

    game.world[1][7].wallLeft = 1;
    place(0, 7, 5, 5);
    press(DIR_RIGHT);  // wall
    EXPECT_EQ(game.sectorX, 0);
    EXPECT_EQ(game.lastSectorDirection, DIR_RIGHT);
}

TEST_F(PlayTest, EntryTilesForAllFourDirections) {
    struct Case {
        int direction, fromX, fromY, toSectorX, toSectorY, entryX, entryY;
    };
    for (const Case& c : {Case{DIR_RIGHT, 5, 2, 4, 4, 0, 2}, Case{DIR_LEFT, 0, 3, 2, 4, 5, 3},
                          Case{DIR_UP, 1, 5, 3, 5, 1, 0}, Case{DIR_DOWN, 4, 0, 3, 3, 4, 5}}) {
        place(3, 4, c.fromX, c.fromY);
        game.hearts[0] = {1, 1, 1};
        game.board[c.entryX][c.entryY].stage = 9;
        press(c.direction);
        EXPECT_EQ(game.sectorX, c.toSectorX);
        EXPECT_EQ(game.sectorY, c.toSectorY);
        EXPECT_EQ(game.playerX, c.entryX);
        EXPECT_EQ(game.playerY, c.entryY);
        EXPECT_EQ(game.respawnX, c.entryX);
        EXPECT_EQ(game.respawnY, c.entryY);
        EXPECT_EQ(game.board[c.entryX][c.entryY].stage, 1);
        EXPECT_EQ(game.hearts[0].active, 0);
        EXPECT_EQ(fake.effects.back(), EFFECT_SECTOR);
    }
}

TEST_F(PlayTest, SectorBonusRules) {
    game.world[3][3].level = 2;
    game.world[4][3].level = 7;
    // Leaving on another row and column than the entry tile pays the old sector's bonus.
    place(3, 3, 5, 2);
    game.respawnX = 1;
    game.respawnY = 4;
    setLevelValues();
    game.lastSectorDirection = DIR_UP;
    press(DIR_RIGHT);
    EXPECT_EQ(game.score, 40u);
    EXPECT_EQ(game.stepScore, 14);
    // Straight back pays nothing.
    press(DIR_LEFT);
    EXPECT_EQ(game.score, 40u);
    // Same row as the entry tile pays nothing.
    place(3, 3, 0, 2);
    game.respawnX = 5;
    game.respawnY = 2;
    game.lastSectorDirection = DIR_UP;
    press(DIR_LEFT);
    EXPECT_EQ(game.score, 40u);
    // Same column as the entry tile pays nothing either.
    place(3, 3, 2, 5);
    game.respawnX = 2;
    game.respawnY = 0;
    setLevelValues();
    game.lastSectorDirection = DIR_RIGHT;
    press(DIR_UP);
    EXPECT_EQ(game.sectorY, 4);
    EXPECT_EQ(game.score, 40u);
}

TEST_F(PlayTest, BlockedAttemptCountsAsThePreviousDirection) {
    place(0, 3, 0, 2);
    game.respawnX = 3;
    game.respawnY = 4;
    press(DIR_LEFT);  // border
    place(0, 3, 5, 2);
    press(DIR_RIGHT);
    EXPECT_EQ(game.sectorX, 1);
    EXPECT_EQ(game.score, 0u);
}

TEST_F(PlayTest, SlideTakesSixHundredMillisecondsOfFrameTime) {
    place(3, 3, 5, 2);
    game.lastTicks = 0;
    press(DIR_RIGHT);
    EXPECT_EQ(fake.slideFrames, 38);  // 16 ms frames: 37 full ones and a last clamped one
    EXPECT_FLOAT_EQ(fake.lastSlideProgress, 600.0f);
    EXPECT_EQ(fake.swaps, 38);

    fake = FakeWorld();
    fake.ticks = game.lastTicks + 700;
    press(DIR_LEFT);
    EXPECT_EQ(fake.slideFrames, 1);
}

TEST_F(PlayTest, SlideAgesAtTheOldSectorsRateAndKeepsTheEntryTile) {
    game.world[3][3].level = 10;  // holes refill at every tick
    game.world[4][3].level = 0;
    place(3, 3, 5, 2);
    game.board[2][2].stage = STAGE_HOLE;
    fake.tickStep = 25;  // every frame passes the 20 ms interval
    srand(5);
    press(DIR_RIGHT);
    EXPECT_NE(game.board[2][2].stage, STAGE_HOLE);  // refilled by level 10's chance of 1 in 1
    EXPECT_EQ(game.board[0][2].stage, 1);
}

TEST_F(PlayTest, DeathPhasesFollowTheTimer) {
    place(3, 3, 2, 2);
    struct Phase {
        int timer, drawn, dying;
    };
    for (const Phase& p :
         {Phase{0, 1, 0}, Phase{299, 1, 0}, Phase{300, 0, 1}, Phase{899, 0, 1}, Phase{900, 0, 0}, Phase{1000, 0, 0}}) {
        fake = FakeWorld();
        game.deathTimer = p.timer;
        drawPlayerOrRespawn();
        EXPECT_EQ(fake.playerDrawn, p.drawn) << p.timer;
        EXPECT_EQ(fake.dyingPlayerDrawn, p.dying) << p.timer;
        EXPECT_EQ(game.lives, 4);
    }
}

TEST_F(PlayTest, RespawnAfterOneSecondOrEndOfRun) {
    place(3, 3, 2, 2);
    game.respawnX = 0;
    game.respawnY = 4;
    game.deathTimer = 1001;
    drawPlayerOrRespawn();
    EXPECT_EQ(game.lives, 3);
    EXPECT_EQ(game.deathTimer, 0);
    EXPECT_EQ(game.playerX, 0);
    EXPECT_EQ(game.playerY, 4);
    EXPECT_EQ(fake.playerDrawn, 0);

    game.lives = 0;
    game.deathTimer = 1001;
    drawPlayerOrRespawn();
    EXPECT_EQ(fake.endScreens, 1);
}

TEST_F(PlayTest, GoalIsReachedEvenOnAHole) {
    place(0, 0, 1, 0);
    game.character = 1;
    game.board[0][0].stage = STAGE_HOLE;
    press(DIR_LEFT);
    checkGoal();
    EXPECT_EQ(game.characterCompleted[1], 1);
    EXPECT_EQ(fake.endScreens, 1);
}

TEST_F(PlayTest, StartRunPlacesEachCharacterInItsCorner) {
    game.lives = 0;
    game.world[7][0].level = 5;
    game.character = 2;
    game.board[5][0].stage = 0;
    game.score = 700;
    startRun();
    EXPECT_EQ(game.sectorX, 7);
    EXPECT_EQ(game.sectorY, 0);
    EXPECT_EQ(game.playerX, 5);
    EXPECT_EQ(game.playerY, 0);
    EXPECT_EQ(game.board[5][0].stage, 1);
    EXPECT_EQ(game.lives, 4);
    EXPECT_EQ(game.stepScore, 2);  // level-1 values until the first crossing attempt
    EXPECT_EQ(game.heartLimit, 1);
    EXPECT_EQ(game.score, 700u);
    EXPECT_EQ(fake.music.size(), 1u);

    // New game during a run keeps the game music playing.
    game.lives = 3;
    newGame();
    EXPECT_EQ(game.score, 0u);
    EXPECT_EQ(game.sectorX, 0);
    EXPECT_EQ(game.sectorY, 7);
    EXPECT_EQ(fake.music.size(), 1u);
}

}  // namespace

namespace {

TEST_F(PlayTest, EscapeMenuLeavesOnlyAKeyPressToActInTheSameFrame) {
    place(3, 3, 2, 2);
    game.facing = DIR_UP;
    // The menu's last event was an arrow key's release: nothing turns or moves.
    queueKey(SDLK_ESCAPE);
    queueKeyUp(SDLK_RIGHT);
    ASSERT_TRUE(pollEvent(polled));
    handleEvent(polled);
    EXPECT_EQ(fake.titleMenus, 1);
    EXPECT_EQ(game.facing, DIR_UP);
    EXPECT_EQ(game.moveInput, DIR_NONE);

    // A key press still held in the record acts as usual.
    queueKey(SDLK_ESCAPE);
    queueKey(SDLK_RIGHT);
    ASSERT_TRUE(pollEvent(polled));
    handleEvent(polled);
    EXPECT_EQ(game.facing, DIR_RIGHT);
    EXPECT_EQ(game.moveInput, DIR_RIGHT);
}

// Every key of play, with and without modifiers: one press gives one turn and one step
// request; Alt+F4 quits and F4 alone does nothing; keys not in the table change nothing.
TEST_F(PlayTest, KeyTableOfPlay) {
    const struct {
        SDLKey key;
        SDLMod mod;
        int facing;  // DIR_NONE: unchanged
        bool fps = false, menu = false, quits = false;
    } rows[] = {
        {SDLK_UP, KMOD_NONE, DIR_UP},
        {SDLK_DOWN, KMOD_NONE, DIR_DOWN},
        {SDLK_RIGHT, KMOD_NONE, DIR_RIGHT},
        {SDLK_LEFT, KMOD_NONE, DIR_LEFT},
        {SDLK_UP, KMOD_LSHIFT, DIR_UP},
        {SDLK_DOWN, KMOD_LCTRL, DIR_DOWN},
        {SDLK_LEFT, KMOD_LALT, DIR_LEFT},
        {SDLK_RIGHT, KMOD_NUM, DIR_RIGHT},
        {SDLK_f, KMOD_NONE, DIR_NONE, true},
        {SDLK_f, KMOD_LSHIFT, DIR_NONE, true},
        {SDLK_F4, KMOD_NONE, DIR_NONE},
        {SDLK_F4, KMOD_LCTRL, DIR_NONE},
        {SDLK_F4, KMOD_LSHIFT, DIR_NONE},
        {SDLK_F4, KMOD_LALT, DIR_NONE, false, false, true},
        {SDLK_F4, KMOD_RALT, DIR_NONE, false, false, true},
        {SDLK_ESCAPE, KMOD_NONE, DIR_NONE, false, true},
        {START_KEY, KMOD_NONE, DIR_NONE, false, true},
        {SDLK_SPACE, KMOD_NONE, DIR_NONE},
        {SDLK_RETURN, KMOD_NONE, DIR_NONE},
        {SDLK_q, KMOD_LCTRL, DIR_NONE},
        {SDLK_a, KMOD_NONE, DIR_NONE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "key " << row.key << " mod " << row.mod);
        resetForTest();
        game.facing = DIR_NONE;
        const int fpsBefore = row.mod == KMOD_LSHIFT ? 1 : 0;  // F turns it off as well as on
        game.showFps = fpsBefore;
        queueKey(row.key, row.mod);
        ASSERT_TRUE(pollEvent(polled));
        if (row.quits) {
            EXPECT_EXIT(handleEvent(polled), ::testing::ExitedWithCode(0), "");
            continue;
        }
        handleEvent(polled);
        EXPECT_EQ(game.facing, row.facing);
        EXPECT_EQ(game.moveInput, row.facing);
        EXPECT_EQ(game.showFps, fpsBefore ^ (row.fps ? 1 : 0));
        EXPECT_EQ(fake.titleMenus, row.menu ? 1 : 0);
    }
}

// Losing focus of any kind pauses until it comes back; regaining the mouse focus restores the
// display's rate, other gains do not; closing the window quits.
TEST_F(PlayTest, FocusTableOfPlay) {
    const struct {
        int gain, state;
        bool pauses, restoresRate;
    } rows[] = {
        {0, SDL_APPMOUSEFOCUS, true, false}, {0, SDL_APPINPUTFOCUS, true, false},
        {0, SDL_APPACTIVE, true, false},     {0, SDL_APPINPUTFOCUS | SDL_APPMOUSEFOCUS, true, false},
        {1, SDL_APPMOUSEFOCUS, false, true}, {1, SDL_APPINPUTFOCUS, false, false},
        {1, SDL_APPACTIVE, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "gain " << row.gain << " state " << row.state);
        resetForTest();
        game.refreshRateKnown = 1;
        game.desktopRefreshRate = 75;
        queueActive(row.gain, row.state);
        queueKey(SDLK_LEFT);                // a pause drops it
        queueActive(1, SDL_APPINPUTFOCUS);  // ends a pause
        ASSERT_TRUE(pollEvent(polled));
        handleEvent(polled);
        EXPECT_EQ(fake.events.empty(), row.pauses);
        EXPECT_EQ(fake.refreshRates, row.restoresRate ? std::vector<unsigned>{75} : std::vector<unsigned>{});
    }
    resetForTest();
    queueQuit();
    ASSERT_TRUE(pollEvent(polled));
    EXPECT_EXIT(handleEvent(polled), ::testing::ExitedWithCode(0), "");
}

// Kept: one event per frame, so two keys pressed at once act in two frames; and a pause in a
// window counts whole in the frame after it.
TEST_F(PlayTest, OneEventAFrameAndAPauseCountsWhole) {
    place(3, 3, 2, 2);
    game.lastDirection = DIR_UP;
    queueKey(SDLK_RIGHT);
    queueKey(SDLK_UP);
    runFrame();
    EXPECT_EQ(game.playerX, 3);
    EXPECT_EQ(game.playerY, 2);
    runFrame();
    EXPECT_EQ(game.playerY, 3);

    fake.tickStep = 0;
    runFrame();
    queueActive(0, SDL_APPINPUTFOCUS);
    queueActive(1, SDL_APPINPUTFOCUS);
    releaseLastEventAt(fake.ticks + 3000);
    runFrame();
    EXPECT_GE(game.frameDelta, 3000);
}

TEST_F(PlayTest, FrameClockUsesTheLowSixteenBitsAndFpsWindows) {
    game.lastTicks = 0x0001FFF0;
    fake.ticks = 0x00020010;  // 32 ms later, across a 16-bit wrap
    game.tickAccumulator = 65530;
    updateFrameTiming(game.frameDelta);
    EXPECT_EQ(game.frameDelta, 32);
    EXPECT_EQ(game.tickAccumulator, 26);  // wraps at 65 536

    game.fpsFrames = 30;
    game.fpsElapsed = 480;
    game.frameDelta = 20;
    updateFps();
    EXPECT_EQ(game.fpsFrames, 31);  // exactly 500 ms: the window is not closed yet
    game.frameDelta = 20;
    updateFps();
    EXPECT_EQ(game.fps, static_cast<int>(32 * 1000 / 520.0f));
    EXPECT_EQ(game.fpsFrames, 0);
    EXPECT_FLOAT_EQ(game.fpsElapsed, 0);
}

// A long frame cut into 1 ms slices ages the Board when 21 ms have gathered, as 1 ms frames
// would; whole, it ages once and drops the rest. Level 0 ticks after 20 ms.
TEST_F(PlayTest, LongFramesAgeInSlicesLikeShortOnes) {
    struct Case {
        uint32_t slice, frame;
        int leftOver;  // ms gathered towards the next tick
    };
    for (const Case& c : {Case{0, 25, 0}, Case{1, 17, 17}, Case{1, 25, 4}, Case{1, 50, 8}, Case{5, 50, 0}}) {
        resetForTest();
        game.world[3][3].level = 0;
        place(3, 3, 2, 2);
        for (auto& column : game.board)
            for (Tile& tile : column) tile = {1, 0};
        fake.ticks = 1000;
        resetFrameTiming();
        fake.ticks = 1000 + c.frame;
        fake.ruleSlice = c.slice;
        runFrame();
        EXPECT_EQ(game.tickAccumulator, c.leftOver) << c.slice << " " << c.frame;
        EXPECT_FLOAT_EQ(game.fpsElapsed, c.frame) << "one frame, counted whole";
        EXPECT_EQ(fake.swaps, 1);
    }
}

}  // namespace
