// The calls the rules and their loops make into the clock, the window, the sound device, the
// drawing and the modal screens. The game's own modules implement them; unit tests and
// benchmarks link fakes in their place.
#pragma once

#include <cstdint>

// SDL_mixer's own names, declared so that callers need not include the mixer.
struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

// Clock and events (platform/sdl_io.cpp).
uint32_t currentTicks();                    // milliseconds since SDL started
int pollEvent();                            // one poll into game.event; 1 when an event was taken
int waitEvent();                            // blocks until an event is in game.event; 0 on error
void waitForEventUntil(uint32_t deadline);  // sleeps until an event is queued or the deadline; the event stays queued
void swapBuffers();                         // shows the frame just drawn
uint32_t ruleSliceMs();                     // longest time one pass of the rules may see; 0: a whole frame

// Display (platform/display_*.cpp): back to `wanted` hertz by the game's rule; nothing when
// `wanted` is 0, the rate already matches or no mode qualifies.
void setRefreshRate(unsigned wanted);

// Sound (audio/sound.cpp).
void playEffect(Mix_Chunk* chunk);  // once on the first free channel; prints the mixer error on failure
void startMusic(Mix_Music* track);  // loops until another track replaces it; prints the mixer error on failure

// Graphics (render/lists.cpp): viewport, projection, all textures and lists (releasing an
// earlier set first), then a fresh frame clock. Ends the program when a picture cannot be loaded.
void setUpGraphics();
void callList(int list);  // list n of the block
void resetView();         // back to the untranslated view

// Drawing (render/scene.cpp).
void drawScene();                                     // play field and side panel, without the figure
void drawPlayer();                                    // the current figure on the player's tile
void drawDyingPlayer();                               // the same with the dying picture
void drawSlideFrame(int dx, int dy, float progress);  // one frame of the slide, `progress` units of 600
void drawCompletionPicture();                         // logo and the figures that reached the goal

// Modal screens (screens/*.cpp).
void runTitleMenu();  // the menu over the frozen game; returns when play is to begin or go on
void runEndScreen();  // the end of a run; then the next run or, after the third, the menu
