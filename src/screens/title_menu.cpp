#include "screens/title_menu.h"

#include <cstdlib>

#include "audio/sound.h"
#include "game/engine.h"
#include "game/frame_clock.h"
#include "game/rules.h"
#include "game/run.h"
#include "game/state.h"
#include "render/lists.h"
#include "screens/waits.h"

enum MenuItem { ITEM_RESUME = 64, ITEM_NEW_GAME, ITEM_PAGE_1, ITEM_PAGE_2, ITEM_PAGE_3, ITEM_QUIT };

// With a run in progress the highlight shows for about a second and hides for 220 ms;
// otherwise it blinks evenly every 200 ms.
static const int BLINK_EVEN = 200, BLINK_SHOWN = 1000, BLINK_HIDDEN = 220;

static int gamesStarted = 0;  // New Game chosen since the program started

struct Menu {
    int selection;
    int blinkInterval;
    int highlightVisible;
    bool open;   // the menu loops while it is open
    bool stale;  // the picture on screen no longer shows the menu as it is
};

// A run is in progress exactly while spare lives are not 0, so the last life counts as none.
static bool runInProgress() { return game.lives != 0; }

static Menu openMenu() {
    if (game.lives == 0) startMusic(MUSIC_TITLE);
    // A finished game: its end screen already started the title music.
    if (game.lives == -1) game.lives = 0;
    Menu menu;
    if (runInProgress()) {
        menu.blinkInterval = BLINK_SHOWN;
        menu.selection = ITEM_RESUME;
    } else {
        menu.blinkInterval = BLINK_EVEN;
        menu.selection = ITEM_NEW_GAME;
        raiseBestScore();
    }
    resetView();
    game.tickAccumulator = 0;
    menu.highlightVisible = 1;
    menu.open = true;
    menu.stale = true;
    return menu;
}

// The menu's clock: keeps the frame timing current and flips the highlight when its
// interval has passed.
static void advanceBlink(Menu& menu) {
    updateFrameTiming(game.frameDelta);
    if (game.tickAccumulator > menu.blinkInterval) {
        if (menu.blinkInterval == BLINK_HIDDEN)
            menu.blinkInterval = BLINK_SHOWN;
        else if (menu.blinkInterval == BLINK_SHOWN)
            menu.blinkInterval = BLINK_HIDDEN;
        game.tickAccumulator = 0;
        menu.highlightVisible = !menu.highlightVisible;
        menu.stale = true;
    }
}

// The tick at which the highlight flips next, if no key comes first.
static uint32_t nextBlinkTick(const Menu& menu) {
    return game.lastTicks + static_cast<uint32_t>(menu.blinkInterval + 1 - game.tickAccumulator);
}

static void drawMenu(Menu& menu) {
    callList(LIST_MENU_BACKGROUND);
    for (int item = ITEM_RESUME; item <= ITEM_QUIT; ++item) callList(item);
    if (menu.highlightVisible) callList(menu.selection + 6);
    swapBuffers();
    menu.stale = false;
}

static void moveSelection(Menu& menu, int step) {
    menu.selection += step;
    menu.stale = true;
    if (menu.selection > ITEM_QUIT) menu.selection = runInProgress() ? ITEM_RESUME : ITEM_NEW_GAME;
    if (menu.selection < ITEM_RESUME || (menu.selection == ITEM_RESUME && !runInProgress())) menu.selection = ITEM_QUIT;
}

static void showPage(Menu& menu, int pageList, GameEvent& event) {
    callList(LIST_MENU_BACKGROUND);
    callList(pageList);
    swapBuffers();
    waitForKey(0, event);  // the key that closes the page does nothing else
    menu.stale = true;
}

static void chooseItem(Menu& menu, GameEvent& event) {
    switch (menu.selection) {
        case ITEM_RESUME: menu.open = false; break;
        case ITEM_NEW_GAME:
            ++gamesStarted;
            raiseBestScore();
            newGame();
            menu.open = false;
            break;
        case ITEM_PAGE_1: showPage(menu, LIST_PAGE_1, event); break;
        case ITEM_PAGE_2: showPage(menu, LIST_PAGE_2, event); break;
        case ITEM_PAGE_3: showPage(menu, LIST_PAGE_3, event); break;
        case ITEM_QUIT: quitGame(); break;  // where the program cannot end, the menu stays
    }
}

static void handleMenuKey(Menu& menu, GameEvent& event) {
    if (isAltF4(event)) {
        quitGame();
        return;
    }
    switch (event.sym) {
        case KEY_ESCAPE:
        case KEY_PAUSE:
            if (runInProgress()) menu.open = false;
            break;
        case KEY_DOWN: moveSelection(menu, +1); break;
        case KEY_UP: moveSelection(menu, -1); break;
        case KEY_RETURN: chooseItem(menu, event); break;
        default: break;
    }
}

// The whole queue is handled each pass, so a key queued behind Escape still counts.
static void handleMenuEvents(Menu& menu, GameEvent& event) {
    while (pollEvent(event)) {
        switch (event.type) {
            case EVENT_QUIT: quitGame(); break;
            case EVENT_ACTIVE:
                if (event.gain != 0) {
                    onFocusGained(event);
                } else {
                    waitWhileInactive(event);
                    menu.stale = true;  // in full screen the graphics were made anew
                }
                break;
            case EVENT_KEY_DOWN: handleMenuKey(menu, event); break;
            case EVENT_EXPOSE: menu.stale = true; break;  // the window lost what it showed
            default: break;
        }
    }
}

// A pass draws only when the picture changed; in between it sleeps until the next key or the
// next blink, so a menu left open costs next to nothing.
int newGamesChosen() { return gamesStarted; }

static const Menu* shownMenu = nullptr;

int menuItemShown() { return shownMenu != nullptr ? shownMenu->selection - ITEM_RESUME : -1; }

void runTitleMenu(GameEvent& event) {
    Menu menu = openMenu();
    const Menu* outer = shownMenu;  // Quit in a page's menu opened from play comes back here
    shownMenu = &menu;
    while (menu.open) {
        advanceBlink(menu);
        if (menu.stale) drawMenu(menu);
        handleMenuEvents(menu, event);
        if (menu.open && !menu.stale) waitForEventUntil(nextBlinkTick(menu));
    }
    shownMenu = outer;
}
