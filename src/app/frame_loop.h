// One frame of play and the event table it reads.
#pragma once

// Handles the event in game.event: keys, focus changes, quit requests.
void handleEvent();

// One frame: at most one event, the step, the clock, the goal, the rules, the picture.
void runFrame();
