// The end of a run: half a second of the frozen picture (the figure only if it reached the goal),
// then the result picture with its message and strip until Space or Start.
#include "screens/end_screen.h"

#include "audio/sound.h"
#include "game/engine.h"
#include "game/frame_clock.h"
#include "game/run.h"
#include "game/state.h"
#include "render/lists.h"
#include "render/scene.h"
#include "screens/title_menu.h"
#include "screens/waits.h"

static const int FROZEN_PICTURE_MS = 500;

static void showFrozenPicture() {
    drawScene();
    if (game.characterCompleted[game.character]) drawPlayer();
    swapBuffers();
}

// Events wait in the queue during the pause; a Space pressed now counts once the text shows.
static void pause() {
    game.tickAccumulator = 0;
    startMusic(MUSIC_TITLE);
    while (game.tickAccumulator < FROZEN_PICTURE_MS) updateFrameTiming(game.frameDelta);
}

static int charactersAtGoal() {
    return game.characterCompleted[0] + game.characterCompleted[1] + game.characterCompleted[2];
}

static int resultShown = -1;

int shownResult() { return resultShown; }

static void showResult(int message, int strip, GameEvent& event) {
    drawCompletionPicture();
    callList(message);
    callList(strip);
    swapBuffers();
    resultShown = message - LIST_MESSAGE;
    waitForKey(KEY_SPACE, event);
    resultShown = -1;
}

void runEndScreen() {
    showFrozenPicture();
    pause();
    GameEvent event = {};
    if (game.character < 2) {
        showResult(game.characterCompleted[game.character] ? LIST_MESSAGE + 0 : LIST_MESSAGE + 1,
                   LIST_STRIP_NEXT_CHARACTER, event);
        game.character += 1;
        startRun();
        return;
    }
    showResult(LIST_MESSAGE + 2 + charactersAtGoal(), LIST_STRIP_END_OF_GAME, event);
    game.lives = -1;
    runTitleMenu(event);
}
