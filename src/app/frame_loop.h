// One frame of play and the event table it reads.
#pragma once

#include <cstdint>

#include "platform/game_event.h"

// Handles one event: keys, focus changes, quit requests. The menu and the waits it opens read
// further events into `event`.
void handleEvent(GameEvent& event);

// Where frames are long (a browser draws 60 a second), the rules first run once for every
// `slice` ms of the frame so far, as they would in that many short frames: the Board ages at
// the pace of a desktop's uncapped frames. A slice of 0 leaves the whole frame to runFrame.
void catchUpRules(uint32_t slice);

// One frame: at most one event, the step, the clock, the goal, the rules, the picture.
void runFrame();
