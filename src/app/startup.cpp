#include "app/startup.h"

#include <SDL.h>

#include <cstdlib>

#include "app/shutdown.h"
#include "audio/sound.h"
#include "game/state.h"
#include "persist/settings.h"
#include "platform/display.h"
#include "platform/fatal.h"
#include "platform/gamepad.h"
#include "platform/program.h"
#include "platform/save_file.h"
#include "platform/sdl_io.h"
#include "platform/window_icon.h"
#include "render/hud.h"
#include "render/lists.h"
#include "replay/seams.h"
#include "replay/session.h"
#include "replay/start.h"

static bool audioWanted() { return game.soundVolume != 0 || game.musicVolume != 0; }

static void startSdl() {
    if (SDL_Init(SDL_INIT_VIDEO) == -1) fatal("Cannot initialize SDL: %s.", SDL_GetError());
    // A sound device that fails must not keep the game from starting: openAudio then reports
    // the failure and the game plays in silence.
    if (audioWanted()) SDL_InitSubSystem(SDL_INIT_AUDIO);
    openGamepad();
    atexit(shutdownHandler);
    saveWhenLeft(saveProgress);
    endOnHangUp();
}

static void prepareWindow() {
    // A replay being watched says so, lest it be taken for a game that ignores its keys.
    const bool watching = sessionMode() == SESSION_WATCH;
    SDL_WM_SetCaption(watching ? "Zembrak - Replay" : "Zembrak", nullptr);
    showReplayMark(watching);
    SDL_WM_GrabInput(SDL_GRAB_ON);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_EnableKeyRepeat(100, 80);
    setWindowIcon();
}

static void requestGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
}

// The grab asked for before the window existed is only noted by SDL, and asking again for the
// same state is ignored: release it and take it again now that there is a window to hold.
static void applyInputGrab() {
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    SDL_WM_GrabInput(SDL_GRAB_ON);
}

static SDL_Surface* trySetVideoMode(Uint32 flags) {
    return SDL_SetVideoMode(game.screenWidth, game.screenHeight, game.bitsPerPixel, flags);
}

// Larger than any display; SDL itself crashes on sizes near the 32-bit limit.
static const int LARGEST_SCREEN_SIDE = 16384;

static bool screenSizeUsable() {
    return game.screenWidth >= 0 && game.screenWidth <= LARGEST_SCREEN_SIDE && game.screenHeight >= 0 &&
           game.screenHeight <= LARGEST_SCREEN_SIDE;
}

// Full screen first when configured, then a window; the saved setting keeps what was configured.
static void openVideoMode() {
    if (!screenSizeUsable())
        fatal(
            "Cannot create SDL window with OpenGL support: SCREEN_WIDTH %d and SCREEN_HEIGHT %d in %s "
            "are out of range 0..%d.",
            game.screenWidth, game.screenHeight, CONFIG_PATH, LARGEST_SCREEN_SIDE);
    SDL_Surface* surface = nullptr;
    if (game.fullscreen) {
        surface = trySetVideoMode(SDL_OPENGL | SDL_FULLSCREEN);
        if (surface == nullptr) surface = trySetVideoMode(SDL_OPENGL | SDL_FULLSCREEN | SDL_ANYFORMAT);
    }
    if (surface == nullptr) surface = trySetVideoMode(SDL_OPENGL);
    if (surface == nullptr) surface = trySetVideoMode(SDL_OPENGL | SDL_ANYFORMAT);
    if (surface == nullptr) fatal("Cannot create SDL window with OpenGL support: %s.", SDL_GetError());
    game.windowWidth = surface->w;
    game.windowHeight = surface->h;
    game.windowFullscreen = (surface->flags & SDL_FULLSCREEN) != 0;
    if (surface->flags & SDL_FULLSCREEN) coverScreen();
    applyInputGrab();
    watchDisplayConnection(endWithoutDisplay);
}

static void probeRefreshRate() {
    int hertz = 0;
    if (probeDesktopRefreshRate(&hertz)) {
        game.refreshRateKnown = 1;
        game.desktopRefreshRate = hertz;
    }
}

// A recording never replaces the game's own files, whatever path names them; what a recording
// killed while it was written left beside its file goes now.
static void checkRecording() {
    const char* path = recordingPath();
    if (path[0] == '\0') return;
    if (namesSavedFile(path, CONFIG_PATH)) fatal("Cannot record to %s: it is one of the game's own files.", path);
    removeStaleTemporaries(path);
}

static bool folderFound = false;

static void startDevices() {
    startSdl();
    openAudio(game.soundVolume, game.musicVolume);
}

// Between the World and the seed: the window and the graphics, whose set-up reads the clock
// the session records.
static void openWindow() {
    if (folderFound) tidySavedFiles(CONFIG_PATH);
    prepareWindow();
    requestGlAttributes();
    probeRefreshRate();
    setEnvironment("SDL_VIDEO_CENTERED=1");
    openVideoMode();
    if (game.refreshRateKnown) setRefreshRate(static_cast<unsigned>(game.desktopRefreshRate));
    setUpGraphics();
}

void startUp(char* programPath) {
    useEngineIo({sdlTicks, sdlPollEvent, sdlWaitEvent, sdlWaitForEventUntil, sdlSwapBuffers, sdlDelay});
    // Lost in somebody's folder, the game must not write its files over theirs: nothing is saved
    // on any way out, even where a World file lies in that folder.
    folderFound = changeToProgramDirectory(programPath) != 0;
    holdSaves(!folderFound);
    checkRecording();
    if (sessionMode() == SESSION_LIVE)
        loadSettings(CONFIG_PATH, game, &game.bestScore);
    else
        loadReplaySettings(CONFIG_PATH, game);
    startRecordableSession({startDevices, "data\\world.txt", openWindow, SDL_GetTicks});
}
