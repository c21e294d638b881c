// The calls the rules make into the engine above them: the clock and events, the figure's
// pictures and the end of a run. The engine implements them; unit tests and benchmarks link
// fakes in their place.
#pragma once

#include <cstdint>

#include "platform/game_event.h"

// Clock and events (replay/seams.cpp): live from SDL and recorded, or from a replay's tape.
uint32_t currentTicks();                    // milliseconds since SDL started
int pollEvent(GameEvent& event);            // one poll; 1 with the event taken in `event`, else it stays
int waitEvent(GameEvent& event);            // blocks until an event is in `event`; 0 on error
void waitForEventUntil(uint32_t deadline);  // sleeps until an event is queued or the deadline; the event stays queued
void swapBuffers();                         // shows the frame just drawn
uint32_t ruleSliceMs();                     // longest time one pass of the rules may see; 0: a whole frame
// A quit request (Quit in the menu, Alt+F4, the window closed): ends the program where the build
// followed ends it (platform/program.h); else, as in a page, the caller carries on.
void quitGame();

// The figure (render/scene.cpp).
void drawPlayer();                                    // the current figure on the player's tile
void drawDyingPlayer();                               // the same with the dying picture
void drawSlideFrame(int dx, int dy, float progress);  // one frame of the slide, `progress` units of 600

// The end of a run (screens/end_screen.h): then the next run or, after the third, the menu.
void runEndScreen();
