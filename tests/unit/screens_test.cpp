// Title menu and end screen driven with queued events and the test clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/sound.h"
#include "fakes.h"
#include "game/engine.h"
#include "game/state.h"
#include "input/pad_input.h"
#include "render/lists.h"
#include "screens/title_menu.h"
#include "screens/waits.h"

namespace {

// What the loops under test read their events into.
GameEvent polled;

struct ScreensTest : ::testing::Test {
    void SetUp() override {
        resetForTest();
        fake.tickStep = 1;
    }
    // The highlight drawn in the last menu pass: list 70..75, or -1.
    int lastHighlight() const {
        for (auto it = fake.lists.rbegin(); it != fake.lists.rend(); ++it) {
            if (*it >= LIST_MENU_LABEL + 6 && *it <= LIST_MENU_LABEL + 11) return *it;
            if (*it == LIST_MENU_BACKGROUND) return -1;
        }
        return -1;
    }
};

TEST_F(ScreensTest, FirstMenuStartsOnNewGameAndWrapsWithoutResume) {
    game.score = 300;
    game.bestScore = 100;
    queueKey(SDLK_ESCAPE);  // nothing: no run in progress
    queueKey(SDLK_UP);      // new game -> quit (resume is skipped)
    queueKey(SDLK_DOWN);    // quit -> new game
    queueKey(SDLK_RETURN);
    runTitleMenu(polled);
    EXPECT_EQ(game.bestScore, 300u);  // raised on opening with no run
    EXPECT_EQ(game.lives, 4);         // new game started
    EXPECT_EQ(game.score, 0u);
    ASSERT_EQ(fake.music.size(), 2u);
    EXPECT_EQ(fake.music[0], MUSIC_TITLE);
    EXPECT_EQ(fake.music[1], MUSIC_GAME);
}

TEST_F(ScreensTest, MenuDuringRunSelectsResumeAndKeepsMusic) {
    game.lives = 2;
    queueKey(SDLK_UP);    // resume -> quit
    queueKey(SDLK_DOWN);  // quit -> resume
    queueKey(SDLK_DOWN);  // resume -> new game
    queueKey(SDLK_UP);    // back to resume
    queueKey(SDLK_RETURN);
    runTitleMenu(polled);
    EXPECT_EQ(game.lives, 2);
    EXPECT_TRUE(fake.music.empty());
    EXPECT_EQ(lastHighlight(), LIST_MENU_LABEL + 6);  // resume highlighted at the end
}

TEST_F(ScreensTest, EscapeResumesButAQueuedArrowKeepsTheMenuOpen) {
    game.lives = 2;
    queueKey(SDLK_ESCAPE);
    queueKey(SDLK_DOWN);  // handled in the same pass: the menu stays open
    queueKey(SDLK_ESCAPE);
    runTitleMenu(polled);
    EXPECT_TRUE(fake.events.empty());
    EXPECT_EQ(game.lives, 2);
}

TEST_F(ScreensTest, NewGameDuringRunRaisesBestAndKeepsGameMusic) {
    game.lives = 3;
    game.character = 1;
    game.score = 800;
    game.bestScore = 500;
    queueKey(SDLK_DOWN);
    queueKey(SDLK_RETURN);
    runTitleMenu(polled);
    EXPECT_EQ(game.bestScore, 800u);
    EXPECT_EQ(game.score, 0u);
    EXPECT_EQ(game.character, 0);
    EXPECT_EQ(game.sectorY, 7);
    EXPECT_TRUE(fake.music.empty());
}

TEST_F(ScreensTest, FinishedGameTurnsMinusOneIntoZeroWithoutRestartingMusic) {
    game.lives = -1;
    game.score = 1500;
    game.bestScore = 1200;
    queueKey(SDLK_RETURN);
    runTitleMenu(polled);
    EXPECT_EQ(game.bestScore, 1500u);
    ASSERT_EQ(fake.music.size(), 1u);  // only the game music of the new run
    EXPECT_EQ(fake.music[0], MUSIC_GAME);
}

TEST_F(ScreensTest, PicturePageShowsUntilAnyKeyWhichDoesNothingElse) {
    queueKey(SDLK_DOWN);    // page 1
    queueKey(SDLK_RETURN);  // show it
    queueKey(SDLK_UP);      // closes the page only
    queueKey(SDLK_UP);      // page 1 -> new game
    queueKey(SDLK_RETURN);
    runTitleMenu(polled);
    EXPECT_NE(std::find(fake.lists.begin(), fake.lists.end(), LIST_PAGE_1), fake.lists.end());
    EXPECT_EQ(game.lives, 4);
}

// Every key of the title menu, with and without modifiers, one press each. With a run in
// progress a held-back Escape closes the menu afterwards; without one, a held-back Return
// acts on whatever the key left selected. Keys act on their code whatever the modifiers.
TEST_F(ScreensTest, KeyTableOfTheMenu) {
    enum Outcome { HIGHLIGHT, CLOSES, NEW_GAME, QUITS };
    const struct {
        int lives;
        SDLKey key;
        SDLMod mod;
        Outcome outcome;
        int item;  // the label highlighted afterwards: 0 resume .. 5 quit
    } rows[] = {
        {2, SDLK_DOWN, KMOD_NONE, HIGHLIGHT, 1},  {2, SDLK_DOWN, KMOD_LSHIFT, HIGHLIGHT, 1},
        {2, SDLK_UP, KMOD_NONE, HIGHLIGHT, 5},    {2, SDLK_UP, KMOD_LCTRL, HIGHLIGHT, 5},
        {2, SDLK_LEFT, KMOD_NONE, HIGHLIGHT, 0},  {2, SDLK_RIGHT, KMOD_NONE, HIGHLIGHT, 0},
        {2, SDLK_SPACE, KMOD_NONE, HIGHLIGHT, 0}, {2, SDLK_f, KMOD_NONE, HIGHLIGHT, 0},
        {2, SDLK_F4, KMOD_NONE, HIGHLIGHT, 0},    {2, SDLK_F4, KMOD_LCTRL, HIGHLIGHT, 0},
        {2, SDLK_ESCAPE, KMOD_NONE, CLOSES, 0},   {2, SDLK_RETURN, KMOD_NONE, CLOSES, 0},
        {2, SDLK_F4, KMOD_LALT, QUITS, 0},        {2, SDLK_F4, KMOD_RALT, QUITS, 0},
        {0, SDLK_ESCAPE, KMOD_NONE, NEW_GAME, 1}, {0, SDLK_ESCAPE, KMOD_LSHIFT, NEW_GAME, 1},
        {0, SDLK_LEFT, KMOD_NONE, NEW_GAME, 1},   {0, SDLK_F4, KMOD_NONE, NEW_GAME, 1},
        {0, SDLK_F4, KMOD_LALT, QUITS, 0},        {-1, SDLK_ESCAPE, KMOD_NONE, NEW_GAME, 1},
        {2, START_KEY, KMOD_NONE, CLOSES, 0},     {0, START_KEY, KMOD_NONE, NEW_GAME, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "lives " << row.lives << " key " << row.key << " mod " << row.mod);
        resetForTest();
        fake.tickStep = 0;
        game.lives = row.lives;
        queueKey(row.key, row.mod);
        releaseLastEventAt(50);
        if (row.outcome == QUITS) {
            EXPECT_EXIT(runTitleMenu(polled), ::testing::ExitedWithCode(0), "");
            continue;
        }
        queueKey(row.lives > 0 ? SDLK_ESCAPE : SDLK_RETURN);
        releaseLastEventAt(100);  // before the first blink
        runTitleMenu(polled);
        EXPECT_EQ(fake.events.size(), row.outcome == CLOSES ? 1u : 0u) << "the menu closed at once";
        EXPECT_EQ(lastHighlight(), LIST_MENU_LABEL + 6 + row.item);
        EXPECT_EQ(game.lives, row.outcome == NEW_GAME ? 4 : row.lives);
    }
}

// The end screen waits for Space or Start alone: every other key, modified or not, is ignored.
TEST_F(ScreensTest, KeyTableOfTheEndScreen) {
    const struct {
        SDLKey key;
        SDLMod mod;
        bool ends = false, quits = false;
    } rows[] = {
        {SDLK_SPACE, KMOD_NONE, true},
        {START_KEY, KMOD_NONE, true},
        {SDLK_SPACE, KMOD_LSHIFT, true},
        {SDLK_RETURN, KMOD_NONE},
        {SDLK_ESCAPE, KMOD_NONE},
        {SDLK_LEFT, KMOD_NONE},
        {SDLK_UP, KMOD_NONE},
        {SDLK_f, KMOD_NONE},
        {SDLK_F4, KMOD_NONE},
        {SDLK_F4, KMOD_LALT, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "key " << row.key << " mod " << row.mod);
        resetForTest();
        fake.tickStep = 1;
        game.lives = 0;
        queueKey(row.key, row.mod);
        if (row.quits) {
            EXPECT_EXIT(runEndScreen(), ::testing::ExitedWithCode(0), "");
            continue;
        }
        queueKey(SDLK_SPACE);
        releaseLastEventAt(20000);
        runEndScreen();
        EXPECT_EQ(fake.events.size(), row.ends ? 1u : 0u);
        EXPECT_EQ(game.character, 1);
    }
}

TEST_F(ScreensTest, QuitItemEndsWithStatusZero) {
    queueKey(SDLK_UP);
    queueKey(SDLK_RETURN);
    EXPECT_EXIT(runTitleMenu(polled), ::testing::ExitedWithCode(0), "");
}

// For every picture the menu showed: 1 when it had a highlight, 0 when not.
std::vector<int> highlightPerPicture() {
    std::vector<int> shown;
    for (int list : fake.lists) {
        if (list == LIST_MENU_BACKGROUND) shown.push_back(0);
        if (list >= LIST_MENU_LABEL + 6 && !shown.empty()) shown.back() = 1;
    }
    return shown;
}

// The menu sleeps between pictures, so the test clock moves only by its waits: each new
// picture shows when and what the player sees.
TEST_F(ScreensTest, HighlightBlinksAtItsIntervals) {
    struct Case {
        int lives;
        uint32_t returnAt;
        std::vector<uint32_t> swapTicks;
        std::vector<int> highlight;
    };
    const Case cases[] = {
        // A run in progress: shown until more than 1000 ms have passed, hidden for more than 220.
        {2, 2500, {0, 1001, 1222, 2223, 2444}, {1, 0, 1, 0, 1}},
        // No run: an even blink, a change every 201 ms.
        {0, 1000, {0, 201, 402, 603, 804}, {1, 0, 1, 0, 1}},
    };
    for (const Case& c : cases) {
        resetForTest();
        game.lives = c.lives;
        queueKey(SDLK_RETURN);
        releaseLastEventAt(c.returnAt);
        runTitleMenu(polled);
        EXPECT_EQ(fake.swapTicks, c.swapTicks) << "lives " << c.lives;
        EXPECT_EQ(highlightPerPicture(), c.highlight) << "lives " << c.lives;
        EXPECT_EQ(game.nowTicks, c.returnAt) << "the frame timing is current when the menu closes";
    }
}

TEST_F(ScreensTest, WaitingMenuDrawsOnlyWhenThePictureChanges) {
    // Ten seconds in the first menu: one picture per blink, one wait per picture, no spinning.
    fake.tickStep = 0;
    queueKey(SDLK_RETURN);
    releaseLastEventAt(10000);
    runTitleMenu(polled);
    EXPECT_EQ(fake.swaps, 50);  // at 0 and then every 201 ms up to 9849
    EXPECT_EQ(fake.timedWaits, 50);
    EXPECT_EQ(game.lives, 4);

    // Events that change nothing on screen draw nothing; an exposed window is drawn again.
    resetForTest();
    game.lives = 2;
    queueKeyUp(SDLK_DOWN);
    releaseLastEventAt(100);
    queueActive(1, SDL_APPMOUSEFOCUS);
    releaseLastEventAt(200);
    queueExpose();
    releaseLastEventAt(600);
    queueKey(SDLK_ESCAPE);
    releaseLastEventAt(800);
    runTitleMenu(polled);
    EXPECT_EQ(fake.swapTicks, (std::vector<uint32_t>{0, 600}));
    EXPECT_EQ(highlightPerPicture(), (std::vector<int>{1, 1}));
}

TEST_F(ScreensTest, WaitingMenuActsOnKeysInTheOrderPressed) {
    fake.tickStep = 0;
    game.lives = 2;
    game.score = 700;
    // Three keys at once: Down, Down, Return opens page 1 (Return first would have resumed).
    queueKey(SDLK_DOWN);
    releaseLastEventAt(300);
    queueKey(SDLK_DOWN);
    releaseLastEventAt(300);
    queueKey(SDLK_RETURN);
    releaseLastEventAt(300);
    queueKey(SDLK_SPACE);  // closes the page and nothing else
    releaseLastEventAt(500);
    queueKey(SDLK_UP);
    releaseLastEventAt(700);
    queueKey(SDLK_RETURN);  // on new game
    releaseLastEventAt(700);
    runTitleMenu(polled);
    // The menu at 0, the page at 300, the menu again at 500 with page 1 highlighted.
    EXPECT_EQ(fake.swapTicks, (std::vector<uint32_t>{0, 300, 500}));
    const std::vector<int> pageThenMenu(std::find(fake.lists.begin(), fake.lists.end(), LIST_PAGE_1) - 1,
                                        fake.lists.end());
    EXPECT_EQ(pageThenMenu.size(), 10u);
    EXPECT_EQ(pageThenMenu.back(), LIST_MENU_LABEL + 8);
    EXPECT_EQ(game.score, 0u);  // new game
    EXPECT_EQ(game.lives, 4);
}

// A page closed over a menu that was already up shows the menu again at once, not at the
// next blink.
TEST_F(ScreensTest, AClosedPageGivesWayToTheMenuAtOnce) {
    fake.tickStep = 0;
    game.lives = 2;
    const struct {
        SDLKey key;
        uint32_t at;
    } keys[] = {{SDLK_DOWN, 100}, {SDLK_DOWN, 100}, {SDLK_RETURN, 200}, {SDLK_SPACE, 300}, {SDLK_ESCAPE, 400}};
    for (const auto& k : keys) {
        queueKey(k.key);
        releaseLastEventAt(k.at);
    }
    runTitleMenu(polled);
    EXPECT_EQ(fake.swapTicks, (std::vector<uint32_t>{0, 100, 200, 300}));
}

TEST_F(ScreensTest, FocusLossPausesAndRebuildsInFullScreen) {
    game.fullscreen = 1;
    game.refreshRateKnown = 1;
    game.desktopRefreshRate = 75;
    queueActive(0, SDL_APPINPUTFOCUS);
    queueKey(SDLK_DOWN);  // dropped while paused
    queueActive(1, SDL_APPINPUTFOCUS);
    queueActive(1, SDL_APPMOUSEFOCUS);  // queued behind the activation: dropped too
    queueKey(SDLK_RETURN);
    releaseLastEventAt(100);  // pressed after the pause
    runTitleMenu(polled);
    EXPECT_EQ(fake.swaps, 2);  // the menu is drawn again after the pause
    EXPECT_EQ(fake.graphicsSetUps, 1);
    EXPECT_TRUE(fake.refreshRates.empty());
    EXPECT_EQ(game.lives, 4);  // Return acted on new game, not on a moved selection
}

TEST_F(ScreensTest, EndScreenAfterFirstCharacterStartsTheNext) {
    game.lives = 0;
    game.character = 0;
    game.score = 250;
    queueKey(SDLK_ESCAPE);  // ignored
    queueKey(SDLK_LEFT);    // ignored
    queueKey(SDLK_SPACE);
    runEndScreen();
    EXPECT_EQ(fake.scenesDrawn, 1);
    EXPECT_EQ(fake.playerDrawn, 0);  // a lost run shows no figure
    EXPECT_EQ(fake.completionPictures, 1);
    const std::vector<int> tail(fake.lists.end() - 2, fake.lists.end());
    EXPECT_EQ(tail, (std::vector<int>{LIST_MESSAGE + 1, LIST_STRIP_NEXT_CHARACTER}));
    EXPECT_EQ(game.character, 1);
    EXPECT_EQ(game.sectorX, 7);
    EXPECT_EQ(game.sectorY, 7);
    EXPECT_EQ(game.lives, 4);
    EXPECT_EQ(game.score, 250u);
    ASSERT_EQ(fake.music.size(), 2u);
    EXPECT_EQ(fake.music[0], MUSIC_TITLE);
    EXPECT_EQ(fake.music[1], MUSIC_GAME);
    EXPECT_GE(game.nowTicks, 500u);  // the half-second pause ran on the frame clock
}

TEST_F(ScreensTest, EndScreenAfterLastCharacterCountsGoalsAndOpensMenu) {
    game.character = 2;
    game.characterCompleted[0] = 1;
    game.characterCompleted[2] = 1;
    game.lives = 3;
    queueKey(SDLK_SPACE);
    queueKey(SDLK_RETURN);  // for the title menu: new game
    runEndScreen();
    EXPECT_EQ(fake.playerDrawn, 1);  // the figure stands on the goal during the pause
    EXPECT_NE(std::find(fake.lists.begin(), fake.lists.end(), LIST_MESSAGE + 4), fake.lists.end());
    EXPECT_NE(std::find(fake.lists.begin(), fake.lists.end(), LIST_STRIP_END_OF_GAME), fake.lists.end());
    EXPECT_EQ(game.character, 0);
    EXPECT_EQ(game.lives, 4);
}

TEST_F(ScreensTest, WaitForKeyHandlesFocusAndQuit) {
    game.refreshRateKnown = 1;
    game.desktopRefreshRate = 60;
    game.fullscreen = 0;
    queueActive(1, SDL_APPMOUSEFOCUS);
    queueActive(1, SDL_APPINPUTFOCUS);  // not mouse focus: no refresh-rate call
    queueKey(SDLK_a);
    queueKey(SDLK_SPACE);
    waitForKey(SDLK_SPACE, polled);
    EXPECT_EQ(fake.refreshRates, std::vector<unsigned>{60});
    EXPECT_EQ(fake.graphicsSetUps, 0);
    queueQuit();
    EXPECT_EXIT(waitForKey(0, polled), ::testing::ExitedWithCode(0), "");
}

}  // namespace
