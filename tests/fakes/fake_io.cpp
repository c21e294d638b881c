// Clock, events and buffer swaps, all recorded instead of performed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "audio/sound.h"
#include "fakes.h"
#include "game/engine.h"
#include "game/levels.h"
#include "game/state.h"
#include "platform/display.h"
#include "platform/program.h"
#include "platform/sdl_io.h"
#include "replay/session_test_hooks.h"

FakeWorld fake;

// A test whose code calls exit() would otherwise end the run with status 0 and count as
// passed: an exit in the middle of a test fails instead. Death tests exit in a child.
namespace {
pid_t testProcess;
bool inTest = false;

struct ExitWatch : ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { inTest = true; }
    void OnTestEnd(const ::testing::TestInfo&) override { inTest = false; }
};

void failEarlyExit() {
    if (!inTest || getpid() != testProcess) return;
    fprintf(stderr, "the test called exit() before it ended\n");
    _exit(1);
}

[[maybe_unused]] const bool exitWatched = [] {
    testProcess = getpid();
    ::testing::UnitTest::GetInstance()->listeners().Append(new ExitWatch);
    return atexit(failEarlyExit) == 0;
}();
}  // namespace

void resetForTest() {
    fake = FakeWorld();
    resetSession();  // a score seen by an earlier test is no game of this one's
    resetGameState();
    initLevelTable();
    setLayoutConstants();
}

static void queue(const GameEvent& event) {
    fake.events.push_back(event);
    fake.eventTimes.push_back(0);
}

void releaseLastEventAt(uint32_t tick) { fake.eventTimes.back() = tick; }

void queueKey(SDLKey key, SDLMod mod) {
    queue({EVENT_KEY_DOWN, static_cast<uint16_t>(key), static_cast<uint16_t>(mod), 0, 0});
}

void queueKeyUp(SDLKey key) { queue({EVENT_KEY_UP, static_cast<uint16_t>(key), 0, 0, 0}); }

void queueActive(int gain, int state) {
    queue({EVENT_ACTIVE, 0, 0, static_cast<uint8_t>(gain), static_cast<uint8_t>(state)});
}

void queueQuit() { queue({EVENT_QUIT, 0, 0, 0, 0}); }

void queueExpose() { queue({EVENT_EXPOSE, 0, 0, 0, 0}); }

uint32_t currentTicks() {
    const uint32_t now = fake.ticks;
    fake.ticks += fake.tickStep;
    return now;
}

// A loop that keeps polling an empty queue would spin forever: fail the test instead.
int pollEvent(GameEvent& event) {
    if (fake.events.empty() || fake.eventTimes.front() > fake.ticks) {
        if (++fake.emptyPolls > 100000) throw std::runtime_error("polling an empty event queue forever");
        return 0;
    }
    fake.emptyPolls = 0;
    event = fake.events.front();
    fake.events.pop_front();
    fake.eventTimes.pop_front();
    return 1;
}

// Blocks on the test clock: a held-back event is waited for.
int waitEvent(GameEvent& event) {
    if (fake.events.empty()) throw std::runtime_error("waiting for an event that never comes");
    if (static_cast<int32_t>(fake.eventTimes.front() - fake.ticks) > 0) fake.ticks = fake.eventTimes.front();
    return pollEvent(event);
}

// Sleeps on the test clock: to the deadline, or to the moment the next held-back event is
// let through, whichever is earlier.
void waitForEventUntil(uint32_t deadline) {
    ++fake.timedWaits;
    if (!fake.events.empty() && fake.eventTimes.front() <= fake.ticks) return;
    uint32_t wakeAt = deadline;
    if (!fake.events.empty() && fake.eventTimes.front() < wakeAt) wakeAt = fake.eventTimes.front();
    if (static_cast<int32_t>(wakeAt - fake.ticks) > 0) fake.ticks = wakeAt;
}

uint32_t ruleSliceMs() { return fake.ruleSlice; }

void quitGame() { endProgram(); }

void swapBuffers() {
    ++fake.swaps;
    fake.swapTicks.push_back(fake.ticks);
}

void setRefreshRate(unsigned wanted) { fake.refreshRates.push_back(wanted); }
