// Test doubles for the calls the game makes into SDL, sound, drawing and the screens.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/game_event.h"

struct FakeWorld {
    uint32_t ticks = 0;               // what the next currentTicks() returns
    uint32_t tickStep = 0;            // added after every currentTicks() call
    uint32_t ruleSlice = 0;           // what ruleSliceMs() returns
    std::deque<GameEvent> events;     // handed out by pollEvent / waitEvent
    std::deque<uint32_t> eventTimes;  // each event is held back until the clock reaches this
    int emptyPolls = 0;               // polls in a row that found no event
    std::vector<int> effects;         // effects passed to playEffect, in order
    std::vector<int> music;           // tracks passed to startMusic
    std::vector<int> lists;           // display lists called, in order
    int slideFrames = 0;
    float lastSlideProgress = 0;
    int swaps = 0;
    std::vector<uint32_t> swapTicks;  // the test clock at every swap
    int timedWaits = 0;               // waitForEventUntil calls
    int endScreens = 0;
    int titleMenus = 0;
    int graphicsSetUps = 0;
    int playerDrawn = 0;
    int dyingPlayerDrawn = 0;
    int scenesDrawn = 0;
    int completionPictures = 0;
    std::vector<unsigned> refreshRates;  // setRefreshRate calls
};

extern FakeWorld fake;

// Fresh game state (level table and layout constants filled) and fresh fakes.
void resetForTest();

// Queues events for the loops under test.
void queueKey(SDLKey key, SDLMod mod = KMOD_NONE);
void queueKeyUp(SDLKey key);
void queueActive(int gain, int state);
void queueQuit();
void queueExpose();

// Holds the most recently queued event back until the test clock reaches `tick`.
void releaseLastEventAt(uint32_t tick);
